// An Env for the scan tests that forwards to the real one; tests override
// single calls to inject failures or huge folders.
#ifndef VELLORA_TESTS_SCAN_SCAN_TEST_ENV_H_
#define VELLORA_TESTS_SCAN_SCAN_TEST_ENV_H_

#include <functional>
#include <string>

#include "platform/env.h"

namespace vellora {
namespace scantest {

class ForwardingEnv : public Env {
 public:
  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    return real_->ListFolder(folder, pattern, visit);
  }
  bool ListSubfolders(const std::string& folder,
                      const std::function<void(const FolderItem&)>& visit) override {
    return real_->ListSubfolders(folder, visit);
  }
  bool GetFolderIdentity(const std::string& folder, FolderIdentity* id) override {
    return real_->GetFolderIdentity(folder, id);
  }
  bool GetCurrentFolder(std::string* folder) override { return real_->GetCurrentFolder(folder); }
  bool SetCurrentFolder(const std::string& folder) override {
    return real_->SetCurrentFolder(folder);
  }
  std::string ExecutablePath() override { return real_->ExecutablePath(); }
  bool FileTimeToLocal(FileTime t, LocalTime* out) override {
    return real_->FileTimeToLocal(t, out);
  }
  FileTime Now() override { return real_->Now(); }
  std::string FormatLocalTime(const char* format, const LocalTime& t) override {
    return real_->FormatLocalTime(format, t);
  }
  int CompareText(const std::string& a, const std::string& b) override {
    return real_->CompareText(a, b);
  }
  bool CollationKey(const std::string& text, std::string* key) override {
    return real_->CollationKey(text, key);
  }
  bool IsLeadByte(unsigned char c) override { return real_->IsLeadByte(c); }
  std::string CharsetName() override { return real_->CharsetName(); }
  bool ReadWholeFile(const std::string& path, std::string* data) override {
    return real_->ReadWholeFile(path, data);
  }
  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>& pieces) override {
    return real_->WritePiecesSafely(path, pieces);
  }
  bool IsFolder(const std::string& path) override { return real_->IsFolder(path); }
  bool OpenWithDefaultProgram(const std::string& target) override {
    return real_->OpenWithDefaultProgram(target);
  }

 private:
  Env* real_ = Env::Default();
};

}  // namespace scantest
}  // namespace vellora

#endif  // VELLORA_TESTS_SCAN_SCAN_TEST_ENV_H_
