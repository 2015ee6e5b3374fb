// The real file system with a few controls for the build-mode tests: the
// subfolder listing comes sorted (so page order is predictable), chosen
// folders refuse to be entered, and every page written is recorded.
#ifndef VELLORA_TESTS_MODES_MODES_TEST_ENV_H_
#define VELLORA_TESTS_MODES_MODES_TEST_ENV_H_

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/build_settings.h"
#include "platform/env.h"

namespace vellora {

class ModesTestEnv : public Env {
 public:
  explicit ModesTestEnv(Env* inner = Env::Default()) : inner_(inner) {}

  std::vector<std::string> writes;            // every page path, in write order
  std::map<std::string, std::string> pages;   // path -> last content written
  std::set<std::string> locked;               // folders that cannot be entered
  bool dry_run = false;                       // record pages without writing them

  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    return inner_->ListFolder(folder, pattern, visit);
  }
  bool ListSubfolders(const std::string& folder,
                      const std::function<void(const FolderItem&)>& visit) override {
    std::vector<FolderItem> items;
    const bool ok = inner_->ListSubfolders(folder, [&items](const FolderItem& i) { items.push_back(i); });
    std::sort(items.begin(), items.end(),
              [](const FolderItem& a, const FolderItem& b) { return a.name < b.name; });
    for (const FolderItem& i : items) visit(i);
    return ok;
  }
  bool GetFolderIdentity(const std::string& folder, FolderIdentity* id) override {
    return inner_->GetFolderIdentity(folder, id);
  }
  bool GetCurrentFolder(std::string* folder) override { return inner_->GetCurrentFolder(folder); }
  bool SetCurrentFolder(const std::string& folder) override {
    if (locked.count(folder) != 0) return false;
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
  bool WriteFileSafely(const std::string& path, const std::string& data) override {
    if (!dry_run && !inner_->WriteFileSafely(path, data)) return false;
    writes.push_back(path);
    pages[path] = data;
    return true;
  }
  bool IsFolder(const std::string& path) override { return inner_->IsFolder(path); }
  bool OpenWithDefaultProgram(const std::string&) override { return false; }

 private:
  Env* inner_;
};

// Settings for a build of `path` with plain pages: no custom HTML file, one
// column each, every folder and file listed.
inline void PlainSettings(CBuildSettings* s, const CDefaultWords* words, const std::string& path) {
  s->path = path;
  s->root_folder = path;
  s->title = "Listing";
  s->custom_html_filename.clear();
  s->default_words = words;
  s->file_columns = 1;
  s->folder_columns = 1;
}

}  // namespace vellora

#endif  // VELLORA_TESTS_MODES_MODES_TEST_ENV_H_
