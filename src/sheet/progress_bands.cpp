#include "sheet/progress_bands.h"

#include <algorithm>
#include <cstdlib>

namespace vellora {
namespace {

// Rounds to single precision. A store through a volatile float is needed
// where the processor computes floats in extended precision (the x87 unit
// of 32-bit x86), or the bands would differ from one build to another.
float Single(float x) {
  volatile float stored = x;
  return stored;
}

// The whole part, cut towards zero, of a single-precision product.
int WholePart(int factor, float quotient) {
  return static_cast<int>(Single(static_cast<float>(factor) * quotient));
}

int LargestChannelDifference(const BarColour& a, const BarColour& b) {
  return std::max({std::abs(b.red - a.red), std::abs(b.green - a.green), std::abs(b.blue - a.blue)});
}

uint8_t Channel(int from, int to, int band, int bands) {
  const float step = Single(static_cast<float>(to - from) / static_cast<float>(bands));
  return static_cast<uint8_t>(from + WholePart(band, step));
}

void AddBand(std::vector<BarBand>* bands, int start, int end, const BarColour& colour) {
  if (end > start) bands->push_back(BarBand{start, end, colour});
}

// The bands of one segment of `length` pixels from `from` to `to`, placed at
// `offset`.
void AddSegment(std::vector<BarBand>* bands, int offset, int length, const BarColour& from,
                const BarColour& to, int palette_limit) {
  int n = LargestChannelDifference(from, to);
  if (length < n) n = length;
  if (palette_limit > 0 && n > palette_limit) n = palette_limit;
  if (n < 1) n = 1;
  const float width = Single(static_cast<float>(length) / static_cast<float>(n));
  for (int i = 0; i < n; ++i) {
    const int start = WholePart(i, width);
    const int end = i + 1 == n ? length : WholePart(i + 1, width);
    const BarColour colour{Channel(from.red, to.red, i, n), Channel(from.green, to.green, i, n),
                           Channel(from.blue, to.blue, i, n)};
    AddBand(bands, offset + start, offset + end, colour);
  }
}

}  // namespace

const std::vector<BarColour>& ProgressBarStops() {
  static const std::vector<BarColour> stops = {
      {255, 0, 0}, {255, 255, 0}, {0, 255, 0}, {0, 255, 255}, {0, 0, 255}, {255, 0, 255}, {255, 0, 0},
  };
  return stops;
}

std::vector<BarBand> ProgressBands(const std::vector<BarColour>& stops, int length,
                                   const BarDisplay& display) {
  std::vector<BarBand> bands;
  if (stops.empty() || length <= 0) return bands;
  if (stops.size() == 1 || display.few_colours) {
    AddBand(&bands, 0, length, stops.front());
    return bands;
  }
  const int segments = static_cast<int>(stops.size()) - 1;
  const float share = Single(100.0f / static_cast<float>(segments));
  const int palette_limit = display.palette ? std::max(1, 236 / segments) : 0;
  int start = 0;
  for (int k = 0; k < segments; ++k) {
    int end = length;
    if (k + 1 < segments) {
      const float percent = Single(static_cast<float>(k + 1) * share);
      end = static_cast<int>(Single(Single(percent * static_cast<float>(length)) / 100.0f));
      end = std::min(std::max(end, start), length);
    }
    AddSegment(&bands, start, end - start, stops[k], stops[k + 1], palette_limit);
    start = end;
  }
  return bands;
}

int ProgressFilledLength(int low, int high, int position, int width) {
  if (high <= low || position < low || position > high || width <= 0) return 0;
  const int64_t span = static_cast<int64_t>(high) - low;
  return static_cast<int>((static_cast<int64_t>(position) - low) * width / span);
}

std::string ProgressPercentText(int low, int high, int position) {
  int64_t percent = 0;
  if (high > low) {
    const int64_t at = std::min<int64_t>(std::max<int64_t>(position, low), high);
    percent = (at - low) * 100 / (static_cast<int64_t>(high) - low);
  }
  return std::to_string(percent) + "%";
}

}  // namespace vellora
