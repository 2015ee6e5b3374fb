// An Env over an in-memory file table and a fixed clock, for the tests of
// the custom HTML loader and the page writer's text helpers, and for the
// configuration reader's fuzz target.
#ifndef VELLORA_TESTS_CUSTOM_MEMORY_ENV_H_
#define VELLORA_TESTS_CUSTOM_MEMORY_ENV_H_

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "platform/env.h"
#include "platform/local_time.h"
#include "platform/pieces.h"

namespace vellora {
namespace testing_env {

// Days from 1970-01-01 to a proleptic Gregorian date.
inline int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// Seconds between 1601-01-01 and 1970-01-01.
constexpr int64_t kEpochDelta = 11644473600;

// The file time of a UTC calendar time.
inline FileTime MakeFileTime(int year, int month, int day, int hour, int minute) {
  int64_t seconds = (DaysFromCivil(year, month, day) * 24 + hour) * 3600 + minute * 60;
  return static_cast<FileTime>((seconds + kEpochDelta) * 10000000);
}

}  // namespace testing_env

class MemoryEnv : public Env {
 public:
  std::map<std::string, std::string> files;  // path -> content
  std::vector<std::string> reads;            // every path asked for
  std::string executable = std::string(1, kSeparator) + "opt" + kSeparator + "vellora" +
                           kSeparator + "vellora";
  int utc_offset_minutes = 0;
  FileTime now = 0;
  // Times at or above this cannot be converted.
  FileTime first_unconvertible = FileTime{1} << 62;
  bool format_fails = false;

  std::string ProgramFolder() const {
    return executable.substr(0, executable.rfind(kSeparator) + 1);
  }

  bool ListFolder(const std::string&, const std::string&,
                  const std::function<void(const FolderItem&)>&) override {
    return false;
  }
  bool GetFolderIdentity(const std::string&, FolderIdentity*) override { return false; }
  bool GetCurrentFolder(std::string*) override { return false; }
  bool SetCurrentFolder(const std::string&) override { return false; }
  std::string ExecutablePath() override { return executable; }

  bool FileTimeToLocal(FileTime t, LocalTime* out) override {
    if (t >= first_unconvertible) return false;
    int64_t seconds = static_cast<int64_t>(t / 10000000) - testing_env::kEpochDelta +
                      int64_t{utc_offset_minutes} * 60;
    int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    int64_t rest = seconds - days * 86400;
    // Civil date from days since 1970-01-01.
    int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    out->year = static_cast<int>(yoe + era * 400 + (m <= 2));
    out->month = static_cast<int>(m);
    out->day = static_cast<int>(d);
    out->hour = static_cast<int>(rest / 3600);
    out->minute = static_cast<int>(rest % 3600 / 60);
    out->second = static_cast<int>(rest % 60);
    out->day_of_week = static_cast<int>(((days % 7) + 11) % 7);
    return true;
  }

  FileTime Now() override { return now; }

  std::string FormatLocalTime(const char* format, const LocalTime& t) override {
    if (format_fails) return std::string();
    const std::tm tm = ToStructTm(t);
    char buffer[256];
    size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, n);
  }

  int CompareText(const std::string& a, const std::string& b) override { return a.compare(b); }
  bool IsLeadByte(unsigned char) override { return false; }
  std::string CharsetName() override { return "utf-8"; }

  ReadResult ReadFile(const std::string& path, size_t max_bytes, std::string* data) override {
    reads.push_back(path);
    auto it = files.find(path);
    if (it == files.end()) return ReadResult::kFailed;
    return ReadCapped(it->second, max_bytes, data);
  }
  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>& pieces) override {
    files[path] = JoinPieces(pieces);
    return true;
  }
  bool IsFolder(const std::string&) override { return false; }
  bool OpenWithDefaultProgram(const std::string&) override { return false; }
};

}  // namespace vellora

#endif  // VELLORA_TESTS_CUSTOM_MEMORY_ENV_H_
