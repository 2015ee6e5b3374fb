// The calendar fields of a LocalTime as the C library's struct tm, shared by
// both backends' strftime-based formatting.
#ifndef VELLORA_PLATFORM_LOCAL_TIME_H_
#define VELLORA_PLATFORM_LOCAL_TIME_H_

#include <ctime>
#include <string>

#include "platform/env.h"

namespace vellora {

// 0-based day of the year of a date (Gregorian leap years); 0 when the
// month is out of range.
int DayOfYear(int year, int month, int day);

// `t` as a struct tm, day of the year included, daylight saving unknown.
std::tm ToStructTm(const LocalTime& t);

// The local time of `t` in ISO 8601 with its offset from UTC, to the
// second: "2026-12-07T14:19:05+01:00". The offset is the local fields of
// `env` less the UTC time, so it holds daylight saving as the platform
// applied it. "" for a time the platform cannot convert or a year outside
// 1..9999.
std::string IsoTimeWithOffset(Env* env, FileTime t);

}  // namespace vellora

#endif  // VELLORA_PLATFORM_LOCAL_TIME_H_
