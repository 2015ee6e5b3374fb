// The calendar fields of a LocalTime as the C library's struct tm, shared by
// both backends' strftime-based formatting.
#ifndef VELLORA_PLATFORM_LOCAL_TIME_H_
#define VELLORA_PLATFORM_LOCAL_TIME_H_

#include <ctime>

#include "platform/env.h"

namespace vellora {

// 0-based day of the year of a date (Gregorian leap years); 0 when the
// month is out of range.
int DayOfYear(int year, int month, int day);

// `t` as a struct tm, day of the year included, daylight saving unknown.
std::tm ToStructTm(const LocalTime& t);

}  // namespace vellora

#endif  // VELLORA_PLATFORM_LOCAL_TIME_H_
