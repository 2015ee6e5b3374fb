// An Env that passes every call on to another one: the base of the Envs that
// watch or shortcut a few calls of a build and leave the rest alone.
// StartSafeWrite is the exception: its default keeps the text and ends in
// this Env's own WritePiecesSafely, so that an Env that overrides that sees
// every file written. An Env that leaves writes alone may forward it.
#ifndef VELLORA_PLATFORM_FORWARDING_ENV_H_
#define VELLORA_PLATFORM_FORWARDING_ENV_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"

namespace vellora {

class CForwardingEnv : public Env {
 public:
  // `inner` must outlive this object.
  explicit CForwardingEnv(Env* inner) : inner_(inner) {}

  Env* inner() const { return inner_; }

  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    return inner_->ListFolder(folder, pattern, visit);
  }
  bool ListSubfolders(const std::string& folder,
                      const std::function<void(const FolderItem&)>& visit) override {
    return inner_->ListSubfolders(folder, visit);
  }
  bool GetFolderIdentity(const std::string& folder, FolderIdentity* id) override {
    return inner_->GetFolderIdentity(folder, id);
  }
  bool GetCurrentFolder(std::string* folder) override { return inner_->GetCurrentFolder(folder); }
  bool SetCurrentFolder(const std::string& folder) override {
    return inner_->SetCurrentFolder(folder);
  }
  bool CanEnterFolder(const std::string& folder) override { return inner_->CanEnterFolder(folder); }
  void EndWalk() override { inner_->EndWalk(); }
  std::string ExecutablePath() override { return inner_->ExecutablePath(); }
  bool FileTimeToLocal(FileTime t, LocalTime* out) override { return inner_->FileTimeToLocal(t, out); }
  FileTime Now() override { return inner_->Now(); }
  std::string FormatLocalTime(const char* format, const LocalTime& t) override {
    return inner_->FormatLocalTime(format, t);
  }
  int CompareText(const std::string& a, const std::string& b) override {
    return inner_->CompareText(a, b);
  }
  bool CollationKey(const std::string& text, std::string* key) override {
    return inner_->CollationKey(text, key);
  }
  bool CollatesByteByByte() override { return inner_->CollatesByteByByte(); }
  bool IsLeadByte(unsigned char c) override { return inner_->IsLeadByte(c); }
  std::string NameAsText(const std::string& name) override { return inner_->NameAsText(name); }
  std::string NameAsUtf8(const std::string& name) override { return inner_->NameAsUtf8(name); }
  std::string CharsetName() override { return inner_->CharsetName(); }
  ReadResult ReadFile(const std::string& path, size_t max_bytes, std::string* data) override {
    return inner_->ReadFile(path, max_bytes, data);
  }
  bool ReadInBlocks(const std::string& path, size_t block_size,
                    const std::function<bool(std::string_view)>& consume) override {
    return inner_->ReadInBlocks(path, block_size, consume);
  }
  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>& pieces) override {
    return inner_->WritePiecesSafely(path, pieces);
  }
  bool IsLink(const std::string& path) override { return inner_->IsLink(path); }
  bool IsFolder(const std::string& path) override { return inner_->IsFolder(path); }
  bool RealPath(const std::string& path, std::string* real) override {
    return inner_->RealPath(path, real);
  }
  bool OpenWithDefaultProgram(const std::string& target) override {
    return inner_->OpenWithDefaultProgram(target);
  }
  bool MakeExecutable(const std::string& path) override { return inner_->MakeExecutable(path); }

 private:
  Env* inner_;
};

}  // namespace vellora

#endif  // VELLORA_PLATFORM_FORWARDING_ENV_H_
