// The folder scan: collects the files of a folder (and, for a
// branch, of every folder below it) that pass the file filter and the skip
// lists, and the skip-folder test.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "settings/build_settings.h"
#include "platform/characters.h"
#include "platform/path.h"
#include "platform/text_case.h"
#include "platform/wildcard.h"
#include "scan/folder_scanner.h"
#include "scan/listing_prefetch.h"
#include "scan/walk_guard.h"

namespace vellora {

namespace {

// One pattern of the file filter and the extension its matches must have.
struct FilePattern {
  std::string pattern;
  // The pattern's extension from its last '.' (the whole pattern when it has
  // none), upper-cased. Compared with each found name's extension when it
  // holds no wildcard, so that a Windows short-name match ('*.htm' finding
  // a.html through A~1.HTM) is left out.
  std::string extension;
  bool check_extension = false;
  // Lists every name, so its listing also yields the subfolders.
  bool lists_all = false;
};

std::vector<FilePattern> SplitFileSpec(const std::string& filter, Env* env) {
  std::vector<FilePattern> patterns;
  size_t pos = 0;
  while (pos < filter.size()) {
    size_t end = filter.find(';', pos);
    if (end == std::string::npos) end = filter.size();
    if (end > pos) {
      FilePattern p;
      p.pattern = filter.substr(pos, end - pos);
      const size_t dot = p.pattern.rfind('.');
      p.extension = dot == std::string::npos ? p.pattern : p.pattern.substr(dot);
      UpperCaseInPlace(&p.extension, env);
      p.check_extension = p.extension.find_first_of("*?") == std::string::npos;
      p.lists_all = p.pattern == "*.*" || p.pattern == "*";
      patterns.push_back(std::move(p));
    }
    pos = end + 1;
  }
  return patterns;
}

// The name's extension from its last '.', upper-cased; the whole name
// upper-cased when it has none.
std::string ExtensionOf(const std::string& name, Env* env) {
  const size_t dot = name.rfind('.');
  std::string e = dot == std::string::npos ? name : name.substr(dot);
  UpperCaseInPlace(&e, env);
  return e;
}

bool IsShortcut(const std::string& name) {
  const size_t n = name.size();
  if (n < 4 || name[n - 4] != '.') return false;
  static const char kLnk[] = "LNK";
  for (size_t i = 0; i < 3; ++i) {
    char c = name[n - 3 + i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kLnk[i]) return false;
  }
  return true;
}

// The folder of the entries of `folder`: relative to `root` (the leading
// root text removed) with '/' separators, beginning and ending with '/'.
std::string RelativeFolder(const std::string& folder, const std::string& root, Env* env) {
  std::string r = WithTrailingSeparator(folder, env);
  if (!root.empty() && r.compare(0, root.size(), root) == 0) r.erase(0, root.size());
  if (kSeparator != '/') ReplaceCharacter(&r, kSeparator, '/', env);
  return r;
}

// A subfolder met by the scan of a branch.
struct Subfolder {
  std::string name;
  bool is_link;
};

// What stays the same for every folder of one scan.
class FolderScanner {
 public:
  FolderScanner(CFolderScanner* builder, CFileList* list, const std::string& file_spec)
      : b_(*builder),
        list_(*list),
        patterns_(SplitFileSpec(file_spec, builder->env)),
        use_titles_(builder->settings != nullptr &&
                    builder->settings->use_html_titles_for_links != 0),
        brief_(!builder->NeedsFileDetails()) {}

  bool has_patterns() const { return !patterns_.empty(); }
  bool brief() const { return brief_; }
  // True when one pattern lists every name, so that each folder is read
  // whole once.
  bool lists_all() const {
    for (const FilePattern& p : patterns_) {
      if (p.lists_all) return true;
    }
    return false;
  }

  // Adds the files of `folder`, pattern by pattern. With `subfolders`, also
  // collects its subfolders in listing order. False when a listing of the
  // folder failed.
  bool ScanFolder(const std::string& folder, std::vector<Subfolder>* subfolders) {
    Env* env = b_.env;
    const CFolderRef record =
        MakeEntryFolder(RelativeFolder(folder, b_.scan_root, env), env);
    bool subfolders_listed = false;
    bool read = true;
    for (const FilePattern& p : patterns_) {
      const bool collect = subfolders != nullptr && p.lists_all && !subfolders_listed;
      const auto take = [&](const FolderItem& item) {
        if (item.name.empty() || item.name[0] == '.') return;
        if (item.is_folder) {
          if (collect) subfolders->push_back(Subfolder{item.name, item.is_link});
          return;
        }
        if (Skipped(item.name)) return;
        if (IsShortcut(item.name)) return;
        if (p.check_extension && ExtensionOf(item.name, env) != p.extension) return;
        if (b_.progress != nullptr) ++b_.progress->links_total;
        auto entry = std::make_unique<CFileEntry>();
        entry->SetName(item.name, env);
        // A size beyond the signed range (which some file systems report) is held at its end.
        entry->size = item.size > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX
                                                                   : static_cast<int64_t>(item.size);
        entry->time = item.write_time;
        entry->is_link = item.is_link;
        entry->SetFolder(record);
        CFileEntry* added = list_.AddHead(std::move(entry));
        if (use_titles_) {
          // A link that leads out of the tree is not read for its title: a
          // planted link must not show another file's content on the page.
          const bool outside =
              item.is_link && b_.FileLeadsOutOfTree(WithTrailingSeparator(folder, env) + item.name);
          added->title = std::make_unique<std::string>(outside ? added->name
                                                               : b_.ReadLinkTitle(folder, *added));
        }
      };
      read &= env->ListFolderAs(brief_, folder, p.pattern, take);
      if (collect) subfolders_listed = true;
    }
    if (subfolders != nullptr && !subfolders_listed) {
      read &= env->ListSubfolders(folder, [subfolders](const FolderItem& item) {
        if (!item.name.empty() && item.name[0] != '.') {
          subfolders->push_back(Subfolder{item.name, item.is_link});
        }
      });
    }
    return read;
  }

 private:
  bool Skipped(const std::string& name) const {
    for (const std::string& pattern : b_.skip_file_patterns) {
      if (WildcardMatch(name, pattern, b_.env)) return true;
    }
    return false;
  }

  CFolderScanner& b_;
  CFileList& list_;
  std::vector<FilePattern> patterns_;
  bool use_titles_;
  bool brief_;
};

// Puts a scanner's Env back when the scan ends.
class EnvRestorer {
 public:
  explicit EnvRestorer(CFolderScanner* scanner) : scanner_(scanner), saved_(scanner->env) {}
  ~EnvRestorer() { scanner_->env = saved_; }
  EnvRestorer(const EnvRestorer&) = delete;
  EnvRestorer& operator=(const EnvRestorer&) = delete;

 private:
  CFolderScanner* scanner_;
  Env* saved_;
};

}  // namespace

bool CFolderScanner::Scan(CFileList& list, const std::string& file_spec) {
  if (file_spec.empty()) return true;
  std::string start;
  if (!env->GetCurrentFolder(&start)) return false;
  return Scan(list, start, file_spec);
}

bool CFolderScanner::Scan(CFileList& list, const std::string& start, const std::string& file_spec) {
  if (file_spec.empty()) return true;
  if (SkipFolder(start)) return true;
  if (recurse_scan && scan_root.empty()) scan_root = start;
  FolderScanner scanner(this, &list, file_spec);
  if (!scanner.has_patterns()) return true;
  if (!recurse_scan) return scanner.ScanFolder(start, nullptr);
  if (tree_real_root.empty()) tree_real_root = RealTreeRoot(env, start);

  // Folders are read ahead on worker threads when each is read whole.
  EnvRestorer restore_env(this);
  const std::unique_ptr<CListingPrefetch> ahead = NewListingPrefetch(env, scanner.lists_all());
  env = ahead.get();

  // Depth first, each folder's files before those of its subfolders, the
  // subfolders in listing order. An explicit stack instead of recursion
  // keeps deep trees cheap; the guard enters each real folder once.
  struct Level {
    std::string folder;
    std::vector<Subfolder> subfolders;
    size_t next = 0;
  };
  CWalkGuard guard(env);
  guard.Enter(start);
  std::vector<Level> levels(1);
  levels[0].folder = start;
  const bool read = scanner.ScanFolder(start, &levels[0].subfolders);
  while (!levels.empty()) {
    Level& top = levels.back();
    if (top.next == top.subfolders.size()) {
      levels.pop_back();
      continue;
    }
    const Subfolder& found = top.subfolders[top.next++];
    std::string sub = WithTrailingSeparator(top.folder, env) + found.name;
    if (LeadsOutOfTree(sub, found.is_link)) continue;
    if (!env->CanEnterFolder(sub)) continue;
    if (!guard.Enter(sub)) continue;  // met before, or a link cycle
    if (progress != nullptr) {
      if (progress->notify_enabled && progress->notify != nullptr) {
        progress->current_folder = sub;
        progress->Notify();
        if (progress->cancelled()) break;
      }
      ++progress->folders_entered;
    }
    if (SkipFolder(sub)) continue;
    Level level;
    level.folder = std::move(sub);
    scanner.ScanFolder(level.folder, &level.subfolders);
    levels.push_back(std::move(level));
  }
  return read;
}

bool CFolderScanner::LeadsOutOfTree(const std::string& folder, bool is_link) {
  if (!is_link || tree_real_root.empty()) return false;
  if (settings != nullptr && settings->follow_outside_links != 0) return false;
  return LinkLeadsOutside(env, tree_real_root, folder);
}

bool CFolderScanner::FileLeadsOutOfTree(const std::string& path) {
  if (tree_real_root.empty() && tree_file_root_.empty()) {
    const std::string top = !tree_folder.empty() ? tree_folder
                            : settings != nullptr ? settings->path
                                                  : std::string();
    std::string current;
    tree_file_root_ = RealTreeRoot(env, !top.empty() || !env->GetCurrentFolder(&current) ? top : current);
  }
  return LinkLeadsOutside(env, tree_real_root.empty() ? tree_file_root_ : tree_real_root, path);
}

bool CFolderScanner::NeedsFileDetails() const {
  if (settings == nullptr) return true;
  const CBuildSettings& s = *settings;
  return s.include_filesize != 0 || s.include_date != 0 || s.include_time != 0 ||
         s.include_summary != 0 || s.sort_key == CBuildSettings::kSortBySize ||
         s.sort_key == CBuildSettings::kSortByDate || !s.manifest.empty();
}

std::unique_ptr<CListingPrefetch> CFolderScanner::NewListingPrefetch(Env* system,
                                                                    bool whole) const {
  return std::make_unique<CListingPrefetch>(
      system, whole ? system->ListingThreads() : 0, !NeedsFileDetails(),
      [this](const std::string& path) { return !SkipFolder(path); });
}

bool CFolderScanner::SkipFolder(const std::string& path) const {
  if (settings == nullptr) return false;
  const std::string& entries = settings->skip_folders;
  size_t pos = 0;
  while (pos < entries.size()) {
    size_t end = entries.find(';', pos);
    if (end == std::string::npos) end = entries.size();
    size_t len = end - pos;
    bool branch = false;
    // The '\' of "\*" must be a character of its own, not a trail byte.
    if (len >= 2 && entries[end - 1] == '*' &&
        FindLastCharacter(entries.substr(pos, len - 1), kSeparator, env) == len - 2) {
      len -= 2;
      branch = true;
    }
    if (path.size() == len && path.compare(0, len, entries, pos, len) == 0) return true;
    if (branch && path.size() >= len && path.compare(0, len, entries, pos, len) == 0) return true;
    pos = end + 1;
  }
  return false;
}

}  // namespace vellora
