#include "platform/local_time.h"

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

}  // namespace vellora
