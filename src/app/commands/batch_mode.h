// Batch mode: one build from a configuration file, without any window, and
// an outcome that tells a scheduled job whether its pages were written.
#ifndef VELLORA_APP_COMMANDS_BATCH_MODE_H_
#define VELLORA_APP_COMMANDS_BATCH_MODE_H_

#include <string>

#include "platform/env.h"

namespace vellora {

class CMainSheet;

// Exit statuses of the program.
constexpr int kExitBuilt = 0;        // the pages were written (or had nothing to list)
constexpr int kExitBuildFailed = 1;  // bad folder, missing frameset, unwritten page
constexpr int kExitNoConfig = 2;     // the configuration file could not be read; also usage

struct BatchOutcome {
  int status = kExitBuilt;
  std::string message;  // one line for the user; empty on success
};

// Passes every call on to another Env and keeps the paths of the files that
// could not be written, so that a build can tell its failed pages apart
// from pages it chose not to write.
class CWriteWatchEnv : public Env {
 public:
  explicit CWriteWatchEnv(Env* inner) : inner_(inner) {}

  int failed_writes() const { return failed_writes_; }
  const std::string& first_failed_path() const { return first_failed_path_; }

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
  std::string ExecutablePath() override { return inner_->ExecutablePath(); }
  bool FileTimeToLocal(FileTime t, LocalTime* out) override { return inner_->FileTimeToLocal(t, out); }
  FileTime Now() override { return inner_->Now(); }
  std::string FormatLocalTime(const char* format, const LocalTime& t) override {
    return inner_->FormatLocalTime(format, t);
  }
  int CompareText(const std::string& a, const std::string& b) override {
    return inner_->CompareText(a, b);
  }
  bool IsLeadByte(unsigned char c) override { return inner_->IsLeadByte(c); }
  std::string CharsetName() override { return inner_->CharsetName(); }
  bool ReadWholeFile(const std::string& path, std::string* data) override {
    return inner_->ReadWholeFile(path, data);
  }
  bool WriteFileSafely(const std::string& path, const std::string& data) override;
  bool IsFolder(const std::string& path) override { return inner_->IsFolder(path); }
  bool OpenWithDefaultProgram(const std::string& target) override {
    return inner_->OpenWithDefaultProgram(target);
  }

 private:
  Env* inner_;
  int failed_writes_ = 0;
  std::string first_failed_path_;
};

// Reads the configuration file `config_name` into `sheet` (a name without a
// separator comes from the program's folder) and makes the build it
// describes: the framed site when it chooses one with the recursive build
// on, the general build otherwise. The current folder is left as it was.
BatchOutcome RunBatchMode(CMainSheet* sheet, const std::string& config_name);

}  // namespace vellora

#endif  // VELLORA_APP_COMMANDS_BATCH_MODE_H_
