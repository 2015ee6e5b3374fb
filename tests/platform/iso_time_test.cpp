// Local times in ISO 8601 with their offset from UTC.
#include <gtest/gtest.h>

#include <string>

#include "platform/file_time.h"
#include "platform/forwarding_env.h"
#include "platform/local_time.h"

namespace vellora {
namespace {

// Local time is UTC shifted by `offset_minutes`, the calendar done by hand.
class ZoneEnv : public CForwardingEnv {
 public:
  explicit ZoneEnv(int offset_minutes) : CForwardingEnv(Env::Default()), offset_(offset_minutes) {}
  bool FileTimeToLocal(FileTime t, LocalTime* out) override {
    int64_t seconds = 0;
    if (!UnixSecondsOf(t, &seconds)) return false;
    seconds += offset_ * 60;
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
      rest += 86400;
      --days;
    }
    // Days since 1970-01-01 to a civil date.
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    out->day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    out->month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    out->year = static_cast<int>(yoe + era * 400 + (out->month <= 2 ? 1 : 0));
    out->hour = static_cast<int>(rest / 3600);
    out->minute = static_cast<int>(rest / 60 % 60);
    out->second = static_cast<int>(rest % 60);
    return true;
  }

 private:
  int offset_;
};

TEST(IsoTimeTest, LocalFieldsWithTheirOffset) {
  // 2026-12-07 13:19:05 UTC.
  const FileTime t = FileTimeFromUnix(1796649545, 0);
  struct Case {
    int offset_minutes;
    const char* text;
  };
  const Case cases[] = {
      {0, "2026-12-07T13:19:05+00:00"},   {60, "2026-12-07T14:19:05+01:00"},
      {-300, "2026-12-07T08:19:05-05:00"}, {330, "2026-12-07T18:49:05+05:30"},
      {-720, "2026-12-07T01:19:05-12:00"}, {840, "2026-12-08T03:19:05+14:00"},
  };
  for (const Case& c : cases) {
    ZoneEnv env(c.offset_minutes);
    EXPECT_EQ(c.text, IsoTimeWithOffset(&env, t)) << c.offset_minutes;
  }
}

TEST(IsoTimeTest, UnconvertibleTimesGiveNothing) {
  ZoneEnv env(0);
  EXPECT_EQ("", IsoTimeWithOffset(&env, kLastConvertibleFileTime + 1));
  EXPECT_EQ("1601-01-01T00:00:00+00:00", IsoTimeWithOffset(&env, 0));
}

}  // namespace
}  // namespace vellora
