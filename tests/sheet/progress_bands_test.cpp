// The progress bar's fill against hand-worked examples.
#include "sheet/progress_bands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vellora {
namespace {

const BarColour kBlack{0, 0, 0};
const BarColour kRed{255, 0, 0};
const BarColour kYellow{255, 255, 0};
const BarColour kGreen{0, 255, 0};
const BarColour kCyan{0, 255, 255};
const BarColour kBlue{0, 0, 255};
const BarColour kMagenta{255, 0, 255};

std::string Show(const std::vector<BarBand>& bands) {
  std::string text;
  for (const BarBand& b : bands) {
    text += "[" + std::to_string(b.start) + "," + std::to_string(b.end) + ") " + std::to_string(b.colour.red) +
            "," + std::to_string(b.colour.green) + "," + std::to_string(b.colour.blue) + "\n";
  }
  return text;
}

TEST(ProgressBandsTest, HandWorkedFills) {
  const std::vector<BarColour> bar = ProgressBarStops();
  const BarDisplay plain;
  const BarDisplay palette{true, false};
  const BarDisplay few{false, true};
  struct Case {
    const char* what;
    std::vector<BarColour> stops;
    int length;
    BarDisplay display;
    std::vector<BarBand> bands;
  };
  const Case cases[] = {
      {"one band a pixel when the difference equals the length", {kBlack, {3, 0, 0}}, 3, plain,
       {{0, 1, kBlack}, {1, 2, {1, 0, 0}}, {2, 3, {2, 0, 0}}}},
      {"a length longer than the difference: bands of 2.5 pixels, cut", {kBlack, {4, 0, 0}}, 10, plain,
       {{0, 2, kBlack}, {2, 5, {1, 0, 0}}, {5, 7, {2, 0, 0}}, {7, 10, {3, 0, 0}}}},
      {"a length shorter than the difference: steps of 63.75, cut", {kBlack, kRed}, 4, plain,
       {{0, 1, kBlack}, {1, 2, {63, 0, 0}}, {2, 3, {127, 0, 0}}, {3, 4, {191, 0, 0}}}},
      {"a falling channel is cut towards zero (255 - 127.5 gives 128)", {kRed, kBlack}, 2, plain,
       {{0, 1, kRed}, {1, 2, {128, 0, 0}}}},
      // Single precision: 83.333328% of 6 pixels is 4.9999995, so the blue
      // segment has no pixel and the last one starts at 4.
      {"seven stops over 6 pixels", bar, 6, plain,
       {{0, 1, kRed}, {1, 2, kYellow}, {2, 3, kGreen}, {3, 4, kCyan}, {4, 5, kMagenta}, {5, 6, {255, 0, 128}}}},
      {"seven stops over 3 pixels: empty segments drop out", bar, 3, plain,
       {{0, 1, kYellow}, {1, 2, kCyan}, {2, 3, kMagenta}}},
      {"fewer than 256 colours: the first stop throughout", bar, 50, few, {{0, 50, kRed}}},
      {"a palette display with few pixels keeps one band a pixel", bar, 6, palette,
       {{0, 1, kRed}, {1, 2, kYellow}, {2, 3, kGreen}, {3, 4, kCyan}, {4, 5, kMagenta}, {5, 6, {255, 0, 128}}}},
      {"one stop", {kBlue}, 7, plain, {{0, 7, kBlue}}},
      {"no stop", {}, 7, plain, {}},
      {"zero length", bar, 0, plain, {}},
      {"negative length", bar, -5, plain, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Show(ProgressBands(c.stops, c.length, c.display)), Show(c.bands)) << c.what;
  }
}

// Bands of `bands` that start a segment (those in a stop's colour).
std::vector<BarBand> StopBands(const std::vector<BarBand>& bands) {
  std::vector<BarBand> found;
  for (const BarBand& b : bands) {
    for (const BarColour& stop : ProgressBarStops()) {
      if (b.colour == stop) {
        found.push_back(b);
        break;
      }
    }
  }
  return found;
}

TEST(ProgressBandsTest, LongFillsCoverTheLengthInOrder) {
  struct Case {
    const char* what;
    int length;
    BarDisplay display;
    size_t count;
    std::vector<BarBand> samples;  // bands at the positions below
    std::vector<size_t> at;
    std::vector<int> segment_starts;
  };
  const Case cases[] = {
      // Single precision: 83.333328% of 300 is 249.99998 and of 600 is
      // 499.99997, so the last segment starts a pixel early.
      {"full bar of 300 pixels", 300, {}, 300, {{1, 2, {255, 5, 0}}, {49, 50, {255, 249, 0}}}, {1, 49},
       {0, 50, 100, 150, 200, 249}},
      {"600 pixels: a band a pixel, green rising by 2.55", 600, {}, 600,
       {{1, 2, {255, 2, 0}}, {99, 100, {255, 252, 0}}}, {1, 99}, {0, 100, 200, 300, 400, 499}},
      // 236 / 6 = 39 bands of 100 / 39 pixels in each segment.
      {"600 pixels on a palette display", 600, {true, false}, 234,
       {{0, 2, kRed}, {2, 5, {255, 6, 0}}, {97, 100, {255, 248, 0}}, {100, 102, kYellow}}, {0, 1, 38, 39},
       {0, 100, 200, 300, 400, 499}},
  };
  for (const Case& c : cases) {
    const std::vector<BarBand> bands = ProgressBands(ProgressBarStops(), c.length, c.display);
    ASSERT_EQ(bands.size(), c.count) << c.what;
    int next = 0;
    for (const BarBand& b : bands) {
      EXPECT_EQ(b.start, next) << c.what;
      EXPECT_GT(b.end, b.start) << c.what;
      next = b.end;
    }
    EXPECT_EQ(next, c.length) << c.what;
    for (size_t i = 0; i < c.at.size(); ++i) {
      EXPECT_EQ(Show({bands[c.at[i]]}), Show({c.samples[i]})) << c.what;
    }
    std::vector<int> starts;
    for (const BarBand& b : StopBands(bands)) starts.push_back(b.start);
    EXPECT_EQ(starts, c.segment_starts) << c.what;
  }
}

TEST(ProgressBandsTest, FilledLengthAndPercentText) {
  struct Case {
    int low, high, position, width;
    int filled;
    const char* text;
  };
  const Case cases[] = {
      {0, 10, 0, 300, 0, "0%"},
      {0, 10, 10, 300, 300, "100%"},
      {0, 3, 1, 300, 100, "33%"},
      {0, 3, 2, 100, 66, "66%"},
      {5, 15, 10, 99, 49, "50%"},
      {0, 2000000000, 1999999999, 1000, 999, "99%"},
      {0, 10, 11, 300, 0, "100%"},  // outside the bounds: no fill; the text is clamped
      {0, 10, -1, 300, 0, "0%"},
      {7, 7, 7, 300, 0, "0%"},  // empty bounds
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressFilledLength(c.low, c.high, c.position, c.width), c.filled)
        << c.low << " " << c.high << " " << c.position;
    EXPECT_EQ(ProgressPercentText(c.low, c.high, c.position), c.text) << c.low << " " << c.high << " " << c.position;
  }
}

}  // namespace
}  // namespace vellora
