#include "platform/file_time.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/env.h"

namespace vellora {
namespace {

constexpr uint64_t kEpoch = 11644473600ULL;  // seconds from 1601 to 1970
constexpr uint64_t kTicks = 10000000ULL;

TEST(FileTimeTest, FromUnixHoldsAtTheEnds) {
  struct Case {
    int64_t seconds;
    long nanoseconds;
    FileTime expected;
  };
  const Case cases[] = {
      {0, 0, kEpoch * kTicks},
      {-1, 500000000, (kEpoch - 1) * kTicks + 5000000},
      {1104761229, 123456789, (1104761229 + kEpoch) * kTicks + 1234567},
      {-static_cast<int64_t>(kEpoch), 0, 0},
      {-static_cast<int64_t>(kEpoch) - 1, 999999999, 0},
      {INT64_MIN, 0, 0},
      {INT64_MAX, 0, UINT64_MAX},
      {INT64_MAX, 999999999, UINT64_MAX},
      // The last whole second a file time holds, and the one after it.
      {static_cast<int64_t>(UINT64_MAX / kTicks - 1 - kEpoch), 999999999,
       (UINT64_MAX / kTicks - 1) * kTicks + 9999999},
      {static_cast<int64_t>(UINT64_MAX / kTicks - kEpoch), 0, UINT64_MAX},
      // Nanoseconds out of their range are held within the second.
      {0, -5, kEpoch * kTicks},
      {0, 2000000000L, kEpoch * kTicks + 9999999},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileTimeFromUnix(c.seconds, c.nanoseconds), c.expected)
        << c.seconds << " s " << c.nanoseconds << " ns";
  }
}

TEST(FileTimeTest, OnlyTimesUpToTheLastConvertibleOneConvert) {
  struct Case {
    FileTime time;
    bool converts;
    int year;  // 0: not checked (the local zone may move it)
  };
  const Case cases[] = {
      {kEpoch * kTicks, true, 0},
      {kLastConvertibleFileTime - 86400 * kTicks, true, 30828},
      {kLastConvertibleFileTime + 1, false, 0},
      {UINT64_MAX, false, 0},
  };
  for (const Case& c : cases) {
    int64_t seconds = 0;
    EXPECT_EQ(UnixSecondsOf(c.time, &seconds), c.converts) << c.time;
    LocalTime t;
    EXPECT_EQ(Env::Default()->FileTimeToLocal(c.time, &t), c.converts) << c.time;
    if (c.converts && c.year != 0) {
      EXPECT_EQ(t.year, c.year);
    }
  }
  int64_t seconds = 1;
  ASSERT_TRUE(UnixSecondsOf(0, &seconds));
  EXPECT_EQ(seconds, -static_cast<int64_t>(kEpoch));
}

}  // namespace
}  // namespace vellora
