#include "platform/file_time.h"

namespace vellora {

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kUnixEpochSeconds = 11644473600LL;
constexpr uint64_t kTicksPerSecond = 10000000ULL;

}  // namespace

FileTime FileTimeFromUnix(int64_t seconds, long nanoseconds) {
  if (seconds < -kUnixEpochSeconds) return 0;
  // Added as unsigned numbers: the sum of two large seconds counts would
  // overflow a signed one.
  const uint64_t s = static_cast<uint64_t>(seconds) + static_cast<uint64_t>(kUnixEpochSeconds);
  if (s > (UINT64_MAX - kTicksPerSecond) / kTicksPerSecond) return UINT64_MAX;
  const uint64_t sub = nanoseconds > 0 ? static_cast<uint64_t>(nanoseconds) / 100 : 0;
  return s * kTicksPerSecond + (sub < kTicksPerSecond ? sub : kTicksPerSecond - 1);
}

bool UnixSecondsOf(FileTime t, int64_t* seconds) {
  if (t > kLastConvertibleFileTime) return false;
  *seconds = static_cast<int64_t>(t / kTicksPerSecond) - kUnixEpochSeconds;
  return true;
}

}  // namespace vellora
