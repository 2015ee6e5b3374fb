// Conversions between the system's times and file times that hold at the
// ends of their ranges: some file systems store any 64-bit time.
#ifndef VELLORA_PLATFORM_FILE_TIME_H_
#define VELLORA_PLATFORM_FILE_TIME_H_

#include <cstdint>

#include "platform/env.h"

namespace vellora {

// The last file time that converts to a calendar time (Windows' limit, in
// the year 30828); later ones are shown as unknown on every platform.
constexpr FileTime kLastConvertibleFileTime = FileTime{INT64_MAX};

// The file time of a time in seconds (and nanoseconds) since 1970-01-01 UTC,
// held at 0 for times before 1601 and at the largest file time for times
// beyond it.
FileTime FileTimeFromUnix(int64_t seconds, long nanoseconds);

// The whole seconds since 1970-01-01 UTC of a file time up to
// kLastConvertibleFileTime; false for a later one.
bool UnixSecondsOf(FileTime t, int64_t* seconds);

}  // namespace vellora

#endif  // VELLORA_PLATFORM_FILE_TIME_H_
