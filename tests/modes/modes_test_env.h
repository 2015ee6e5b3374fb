// The real file system with a few controls for the build-mode tests: the
// listings come sorted (so page order is predictable), chosen
// folders refuse to be entered or read, and every page written is recorded.
#ifndef VELLORA_TESTS_MODES_MODES_TEST_ENV_H_
#define VELLORA_TESTS_MODES_MODES_TEST_ENV_H_

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings/build_settings.h"
#include "platform/forwarding_env.h"
#include "platform/env.h"
#include "platform/pieces.h"

namespace vellora {

class ModesTestEnv : public CForwardingEnv {
 public:
  explicit ModesTestEnv(Env* inner = Env::Default()) : CForwardingEnv(inner) {}

  std::vector<std::string> writes;            // every page path, in write order
  std::map<std::string, std::string> pages;   // path -> last content written
  std::set<std::string> locked;               // folders that cannot be entered
  std::set<std::string> unreadable;           // folders that cannot be listed
  bool dry_run = false;                       // record pages without writing them
  int listings = 0;                           // folder listings asked for
  std::map<std::string, int> enter_checks;    // folder -> CanEnterFolder calls

  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    ++listings;
    if (unreadable.count(folder) != 0) return false;
    return Sorted(inner()->ListFolder(folder, pattern, Collect()), visit);
  }
  bool ListSubfolders(const std::string& folder,
                      const std::function<void(const FolderItem&)>& visit) override {
    ++listings;
    if (unreadable.count(folder) != 0) return false;
    return Sorted(inner()->ListSubfolders(folder, Collect()), visit);
  }
  bool SetCurrentFolder(const std::string& folder) override {
    if (locked.count(folder) != 0) return false;
    return inner()->SetCurrentFolder(folder);
  }
  bool CanEnterFolder(const std::string& folder) override {
    ++enter_checks[folder];
    return locked.count(folder) == 0 && inner()->CanEnterFolder(folder);
  }
  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>& pieces) override {
    if (!dry_run && !inner()->WritePiecesSafely(path, pieces)) return false;
    writes.push_back(path);
    pages[path] = JoinPieces(pieces);
    return true;
  }
  bool OpenWithDefaultProgram(const std::string&) override { return false; }

 private:
  std::function<void(const FolderItem&)> Collect() {
    items_.clear();
    return [this](const FolderItem& i) { items_.push_back(i); };
  }
  bool Sorted(bool ok, const std::function<void(const FolderItem&)>& visit) {
    std::vector<FolderItem> items;
    items.swap(items_);
    std::sort(items.begin(), items.end(),
              [](const FolderItem& a, const FolderItem& b) { return a.name < b.name; });
    for (const FolderItem& i : items) visit(i);
    return ok;
  }
  std::vector<FolderItem> items_;
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
