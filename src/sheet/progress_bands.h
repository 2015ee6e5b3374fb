// The fill of the progress window's bar, worked out once for every window
// that paints it: a gradient through colour stops over the filled part only,
// drawn as bands of solid colour, and the percentage written on the bar.
#ifndef VELLORA_SHEET_PROGRESS_BANDS_H_
#define VELLORA_SHEET_PROGRESS_BANDS_H_

#include <cstdint>
#include <string>
#include <vector>

namespace vellora {

// A colour by its red, green and blue channels.
struct BarColour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const BarColour& o) const {
    return red == o.red && green == o.green && blue == o.blue;
  }
  bool operator!=(const BarColour& o) const { return !(*this == o); }
};

// Pixels [start, end) of the filled part, counted from its low end, painted
// in one colour.
struct BarBand {
  int start = 0;
  int end = 0;
  BarColour colour;
  bool operator==(const BarBand& o) const {
    return start == o.start && end == o.end && colour == o.colour;
  }
};

// What the display can show.
struct BarDisplay {
  // Colours come from a palette: each segment gets fewer bands.
  bool palette = false;
  // Fewer than 256 colours (bits per pixel times planes below 8): the whole
  // fill takes the first stop's colour.
  bool few_colours = false;
};

// The bar's seven stops: red, yellow, green, cyan, blue, magenta, red.
const std::vector<BarColour>& ProgressBarStops();

// The bands that fill `length` pixels with the gradient through `stops`.
// The stops split the length into equal segments (every one but the last
// ending at its share of the length cut to a whole pixel); a segment of L
// pixels from colour A to B gets n bands, n being the largest channel
// difference, at most L, on a palette display at most 236 divided by the
// number of segments, and at least 1. Band i runs from i * (L / n) to
// (i + 1) * (L / n), each cut to a whole pixel, the last to L, in the colour
// A + i * ((B - A) / n) per channel, cut towards zero; the quotients are
// single precision. Bands come in order; those of no width are left out, so
// a length of 0 (or below) gives none. One stop fills all in its colour; no
// stop gives no band.
std::vector<BarBand> ProgressBands(const std::vector<BarColour>& stops, int length,
                                   const BarDisplay& display);

// Pixels of a bar `width` wide filled at `position` between `low` and
// `high`: 0 when the position lies outside the bounds or the bounds are
// empty, else (position - low) * width / (high - low), cut.
int ProgressFilledLength(int low, int high, int position, int width);

// The text on the bar: (position - low) * 100 / (high - low), cut to a whole
// number, and "%"; the position is clamped between the bounds, and empty
// bounds (high not above low) read "0%".
std::string ProgressPercentText(int low, int high, int position);

}  // namespace vellora

#endif  // VELLORA_SHEET_PROGRESS_BANDS_H_
