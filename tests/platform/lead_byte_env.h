// An Env that only answers encoding questions: a double-byte code page whose
// lead bytes are 0x81..0xFE (like GBK), or UTF-8.
#ifndef VELLORA_TESTS_PLATFORM_LEAD_BYTE_ENV_H_
#define VELLORA_TESTS_PLATFORM_LEAD_BYTE_ENV_H_

#include <string>

#include "platform/env.h"

namespace vellora {

class LeadByteEnv : public Env {
 public:
  explicit LeadByteEnv(bool utf8 = false) : utf8_(utf8) {}

  bool IsLeadByte(unsigned char c) override { return !utf8_ && c >= 0x81 && c <= 0xFE; }
  std::string CharsetName() override { return utf8_ ? "utf-8" : "gbk"; }

  bool ListFolder(const std::string&, const std::string&,
                  const std::function<void(const FolderItem&)>&) override {
    return false;
  }
  bool GetFolderIdentity(const std::string&, FolderIdentity*) override { return false; }
  bool GetCurrentFolder(std::string*) override { return false; }
  bool SetCurrentFolder(const std::string&) override { return false; }
  std::string ExecutablePath() override { return std::string(); }
  bool FileTimeToLocal(FileTime, LocalTime*) override { return false; }
  FileTime Now() override { return 0; }
  std::string FormatLocalTime(const char*, const LocalTime&) override { return std::string(); }
  int CompareText(const std::string& a, const std::string& b) override { return a.compare(b); }
  ReadResult ReadFile(const std::string&, size_t, std::string*) override {
    return ReadResult::kFailed;
  }
  bool WritePiecesSafely(const std::string&, const std::vector<std::string_view>&) override {
    return false;
  }
  bool IsFolder(const std::string&) override { return false; }
  bool OpenWithDefaultProgram(const std::string&) override { return false; }

 private:
  bool utf8_;
};

}  // namespace vellora

#endif  // VELLORA_TESTS_PLATFORM_LEAD_BYTE_ENV_H_
