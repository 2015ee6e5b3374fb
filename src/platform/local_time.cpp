#include "platform/local_time.h"

#include <cstdint>
#include <cstdio>

#include "platform/file_time.h"

namespace vellora {

int DayOfYear(int year, int month, int day) {
  static const int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  if (month < 1 || month > 12) return 0;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return kBefore[month - 1] + (leap && month > 2 ? 1 : 0) + day - 1;
}

std::tm ToStructTm(const LocalTime& t) {
  std::tm tm = {};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_wday = t.day_of_week;
  tm.tm_yday = DayOfYear(t.year, t.month, t.day);
  tm.tm_isdst = -1;
  return tm;
}

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

std::string IsoTimeWithOffset(Env* env, FileTime t) {
  LocalTime local;
  int64_t utc = 0;
  if (!UnixSecondsOf(t, &utc) || !env->FileTimeToLocal(t, &local)) return std::string();
  if (local.year < 1 || local.year > 9999 || local.month < 1 || local.month > 12 ||
      local.day < 1 || local.day > 31 || local.hour < 0 || local.hour > 23 || local.minute < 0 ||
      local.minute > 59 || local.second < 0 || local.second > 60) {
    return std::string();
  }
  const int64_t local_seconds = DaysFromCivil(local.year, local.month, local.day) * 86400 +
                                local.hour * 3600 + local.minute * 60 + local.second;
  int64_t offset = (local_seconds - utc) / 60;  // minutes; zones use whole minutes
  const char sign = offset < 0 ? '-' : '+';
  if (offset < 0) offset = -offset;
  if (offset >= 24 * 60) return std::string();
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", local.year,
                local.month, local.day, local.hour, local.minute, local.second, sign,
                static_cast<int>(offset / 60), static_cast<int>(offset % 60));
  return text;
}

}  // namespace vellora
