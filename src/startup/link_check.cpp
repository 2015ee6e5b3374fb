#include "startup/link_check.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "html/page_writer.h"
#include "html/text_helpers.h"
#include "platform/characters.h"
#include "platform/forwarding_env.h"
#include "platform/path.h"
#include "scan/folder_scanner.h"
#include "scan/walk_guard.h"
#include "settings/build_settings.h"
#include "settings/main_sheet.h"
#include "startup/batch_mode.h"
#include "startup/page_links.h"

namespace vellora {

namespace {

constexpr bool kWindows = kSeparator == '\\';
// Pages are read whole; a longer one is checked as far as it was read.
constexpr size_t kPageBytes = size_t{1} << 30;

// The build's view of the system for a dry run: every page it would write
// is handed to `on_page` instead, and nothing else leaves the program.
class CDryRunEnv : public CForwardingEnv {
 public:
  CDryRunEnv(Env* inner, std::function<void(const std::string&)> on_page)
      : CForwardingEnv(inner), on_page_(std::move(on_page)) {}
  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>&) override {
    on_page_(path);
    return true;
  }
  bool OpenWithDefaultProgram(const std::string&) override { return false; }
  bool MakeExecutable(const std::string&) override { return false; }

 private:
  std::function<void(const std::string&)> on_page_;
};

// A full path with "." and ".." steps resolved in its text (as a browser
// resolves a link), repeated separators made one, and no final separator
// except after a root. Separators are found character by character.
std::string NormalPath(const std::string& path, Env* env) {
  std::string prefix;
  size_t at = 0;
  if (kWindows && path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    prefix = "\\\\";
    at = 2;
  } else if (kWindows && path.size() >= 2 && path[1] == ':') {
    prefix = path.substr(0, 2) + "\\";
    at = 2;
  } else if (!path.empty() && path[0] == kSeparator) {
    prefix = std::string(1, kSeparator);
  }
  std::vector<std::string> steps;
  while (at <= path.size()) {
    size_t end = at < path.size() ? FindCharacter(path, kSeparator, at, env) : std::string::npos;
    if (end == std::string::npos) end = path.size();
    const std::string step = path.substr(at, end - at);
    if (step == "..") {
      if (!steps.empty()) steps.pop_back();
    } else if (!step.empty() && step != ".") {
      steps.push_back(step);
    }
    at = end + 1;
  }
  std::string out = prefix;
  for (size_t i = 0; i < steps.size(); ++i) {
    if (i > 0) out.push_back(kSeparator);
    out += steps[i];
  }
  return out;
}

// The folder part of a full path (no final separator but a root's).
std::string ParentOf(const std::string& path, Env* env) {
  const size_t last = FindLastCharacter(path, kSeparator, env);
  if (last == std::string::npos) return std::string();
  std::string parent = path.substr(0, last);
  if (parent.empty() || (kWindows && parent.size() == 2 && parent[1] == ':')) {
    parent.push_back(kSeparator);
  }
  return parent;
}

// What stands at a path: looked up in its folder's listing, read once.
class CPlaces {
 public:
  enum Kind { kNothing, kFile, kFolder };

  explicit CPlaces(Env* env) : env_(env) {}

  Kind At(const std::string& path) {
    const std::string parent = ParentOf(path, env_);
    if (parent.empty() || parent == path) return env_->IsFolder(path) ? kFolder : kNothing;
    auto found = listings_.find(parent);
    if (found == listings_.end()) {
      Listing listing;
      listing.read = env_->ListFolder(parent, "*.*", [&listing](const FolderItem& item) {
        listing.names[item.name] = item.is_folder;
      });
      found = listings_.emplace(parent, std::move(listing)).first;
    }
    const Listing& listing = found->second;
    const std::string name = TextAfterLastSeparator(path, env_);
    const auto item = listing.names.find(name);
    if (item != listing.names.end()) return item->second ? kFolder : kFile;
    if (listing.read) return kNothing;
    // A folder that cannot be listed may still be passed through.
    if (env_->IsFolder(path)) return kFolder;
    std::string none;
    return env_->ReadFile(path, 0, &none) != ReadResult::kFailed ? kFile : kNothing;
  }

 private:
  struct Listing {
    bool read = false;
    std::unordered_map<std::string, bool> names;  // name -> is a folder
  };
  Env* env_;
  std::unordered_map<std::string, Listing> listings_;
};

// One page of the build: where it is and whether it is there.
struct ExpectedPage {
  std::string path;  // as the build names it
  bool present = false;
};

// Adds to `tree` what the page of `folder` lists under the options the
// build holds now: the files its scan finds (of the whole branch when one
// page lists it) and, with `folder_table`, the subfolders that its folder
// table shows.
void AddListed(CBuildSettings* now, const std::string& folder, const std::string& top,
               bool folder_table, Env* env, std::set<std::string>* tree) {
  CFolderScanner scanner(now, env);
  scanner.skip_file_patterns = SplitSkipFiles(now->skip_files);
  scanner.recurse_scan = now->recursive_build != 0 && now->multi_recurse_link == 0 ? 1 : 0;
  scanner.tree_folder = top;
  if (now->recursive_build != 0 || now->build_framed_site != 0) {
    scanner.tree_real_root = RealTreeRoot(env, top);
  }
  CFileList files;
  scanner.Scan(files, folder, now->file_spec);
  const std::string base = WithTrailingSeparator(folder, env);
  for (const CFileEntry* e = files.head(); e != nullptr; e = e->next) {
    std::string below;
    if (scanner.recurse_scan != 0 && !e->folder().empty()) {
      below = e->folder();
      if (!below.empty() && below[0] == '/') below.erase(0, 1);
      if (kSeparator != '/') ReplaceCharacter(&below, '/', kSeparator, env);
    }
    tree->insert(NormalPath(base + below + e->name, env));
  }
  if (!folder_table) return;
  std::vector<std::string> names;
  env->ListSubfolders(folder, [&names](const FolderItem& item) {
    if (!item.name.empty() && item.name[0] != '.') names.push_back(item.name);
  });
  for (const std::string& name : names) {
    const std::string sub = base + name;
    if (!env->CanEnterFolder(sub) || scanner.SkipFolder(sub)) continue;
    tree->insert(NormalPath(sub, env));
  }
}

// `path` below the top folder as a relative path, else as it is.
std::string Shown(const std::string& path, const std::string& top, Env* env) {
  const std::string base = WithTrailingSeparator(top, env);
  if (path.size() > base.size() && path.compare(0, base.size(), base) == 0) {
    return path.substr(base.size());
  }
  return path;
}

// A code point that reorders or hides text on a terminal: the bidirectional
// controls and the line and paragraph separators.
bool IsFormatControl(uint32_t cp) {
  return (cp >= 0x200E && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202E) ||
         (cp >= 0x2066 && cp <= 0x2069) || (cp >= 0x80 && cp <= 0x9F);
}

uint32_t DecodeUtf8(const std::string& text, size_t at, size_t length) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (length == 1) return lead;
  uint32_t cp = lead & (0xFF >> (length + 1));
  for (size_t k = 1; k < length; ++k) {
    cp = (cp << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
  }
  return cp;
}

}  // namespace

std::string PrintableText(const std::string& text, bool utf8) {
  std::string out;
  char buffer[16];
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
      out += buffer;
      ++i;
      continue;
    }
    if (!utf8 || c < 0x80) {
      out.push_back(text[i++]);
      continue;
    }
    const size_t length = Utf8SequenceLength(text, i);
    if (length == 0) {
      std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
      out += buffer;
      ++i;
      continue;
    }
    const uint32_t cp = DecodeUtf8(text, i, length);
    if (IsFormatControl(cp)) {
      std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(cp));
      out += buffer;
    } else {
      out.append(text, i, length);
    }
    i += length;
  }
  return out;
}

LinkCheckReport CheckLinks(CBuildSettings& settings, const FrameFiles& frames, Env* env) {
  LinkCheckReport report;
  const std::string top = settings.path;
  report.top = NormalPath(top, env);
  // A JSON manifest beside each page is the build's own file, as the page is.
  const bool manifests = settings.manifest == "json";
  // What the pages show beyond their links changes none of the pages.
  settings.use_html_titles_for_links = 0;
  settings.readme_names.clear();
  settings.manifest.clear();
  settings.manifest_checksums = 0;

  CPlaces places(env);
  std::map<std::string, ExpectedPage> pages;  // by normal path
  std::set<std::string> tree;
  CBuildProgress progress;
  const bool framed = settings.build_framed_site != 0 && settings.recursive_build != 0;
  bool right_pass_seen = false;
  CDryRunEnv dry_run(env, [&](const std::string& path) {
    const std::string folder = progress.current_folder;
    // The first right-frame page has no folder table.
    const bool first_right = framed && settings.framed_right_pass != 0 && !right_pass_seen;
    if (framed && settings.framed_right_pass != 0) right_pass_seen = true;
    const std::string normal = NormalPath(path, env);
    auto found = pages.find(normal);
    if (found == pages.end()) {
      ExpectedPage page;
      page.path = path;
      page.present = places.At(normal) == CPlaces::kFile;
      found = pages.emplace(normal, page).first;
    }
    // The frameset is written before any folder is; it lists nothing.
    if (!found->second.present || folder.empty()) return;
    AddListed(&settings, folder, top, settings.include_subfolders != 0 && !first_right, env,
              &tree);
  });
  const BuildResult built = RunBuild(settings, frames, &progress, &dry_run);
  for (const FailedPage& failed : built.failed_pages) {
    if (failed.reason == PageFailure::kFolderUnreadable) report.top_unreadable = true;
  }

  std::unordered_set<std::string> linked;
  const bool utf8 = NamesAreUtf8();
  for (const auto& [normal, page] : pages) {
    if (!page.present) {
      report.missing_pages.push_back(page.path);
      continue;
    }
    std::string html;
    if (env->ReadFile(page.path, kPageBytes, &html) == ReadResult::kFailed) {
      report.missing_pages.push_back(page.path);
      continue;
    }
    ++report.pages_checked;
    const std::string folder = ParentOf(normal, env);
    for (const std::string& value : PageLinks(html)) {
      const LinkPath link = DecodeLink(value, utf8, kWindows);
      if (link.kind == LinkPath::kSkipped) continue;
      ++report.links_checked;
      std::string target = link.path;
      if (link.kind == LinkPath::kRelative) {
        target = WithTrailingSeparator(folder, env) + target;
      } else if (kWindows && !IsFullPath(target) && !target.empty() && target[0] == '\\') {
        target = folder.substr(0, 2) + target;  // the root of the page's drive
      }
      target = NormalPath(target, env);
      const CPlaces::Kind kind = places.At(target);
      if (kind == CPlaces::kNothing || (link.folder && kind == CPlaces::kFile)) {
        // A missing page is reported once, not again by each link to it
        // nor by its folder.
        const auto missing = pages.find(target);
        if (missing != pages.end() && !missing->second.present) {
          linked.insert(ParentOf(target, env));
        } else {
          report.broken_links.emplace_back(page.path, value);
        }
        continue;
      }
      linked.insert(target);
      // A link to a folder's page links the folder.
      if (kind == CPlaces::kFile && pages.count(target) != 0) linked.insert(ParentOf(target, env));
    }
  }
  std::unordered_set<std::string> own_files;
  for (const auto& entry : pages) {
    own_files.insert(entry.first);
    if (manifests) own_files.insert(entry.first + ".json");
  }
  for (const std::string& item : tree) {
    if (linked.count(item) == 0 && own_files.count(item) == 0) report.unlinked.push_back(item);
  }
  std::sort(report.missing_pages.begin(), report.missing_pages.end());
  std::sort(report.broken_links.begin(), report.broken_links.end());
  return report;
}

std::vector<std::string> LinkCheckLines(const LinkCheckReport& report, Env* env) {
  const bool utf8 = NamesAreUtf8();
  const auto shown = [&](const std::string& path) {
    return PrintableText(env->NameAsText(Shown(path, report.top, env)), utf8);
  };
  // Missing pages and broken links, page by page.
  std::vector<std::pair<std::string, std::string>> by_page;
  for (const std::string& page : report.missing_pages) {
    by_page.emplace_back(page, "缺少的页面: " + shown(page));
  }
  for (const auto& [page, link] : report.broken_links) {
    by_page.emplace_back(page, "断开的链接: " + shown(page) + " -> " +
                                   PrintableText(env->NameAsText(link), utf8));
  }
  std::stable_sort(by_page.begin(), by_page.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> lines;
  for (auto& entry : by_page) lines.push_back(std::move(entry.second));
  for (const std::string& item : report.unlinked) lines.push_back("未链接: " + shown(item));
  lines.push_back("检查了 " + std::to_string(report.pages_checked) + " 个页面, " +
                  std::to_string(report.links_checked) + " 个链接: " +
                  std::to_string(report.broken_links.size()) + " 个断开, " +
                  std::to_string(report.unlinked.size()) + " 个未链接, " +
                  std::to_string(report.missing_pages.size()) + " 个页面缺少");
  return lines;
}

CheckOutcome RunCheckMode(CMainSheet* sheet, const std::string& config_name) {
  CheckOutcome outcome;
  auto settings = std::make_unique<CBuildSettings>();
  const BatchOutcome prepared = PrepareBatchBuild(sheet, config_name, settings.get());
  outcome.warnings = sheet->config_warnings;
  if (prepared.status != kExitBuilt) {
    outcome.status = prepared.status;
    outcome.message = prepared.message;
    return outcome;
  }
  Env* env = sheet->env();
  const LinkCheckReport report = CheckLinks(
      *settings,
      FrameFiles{sheet->frameset_file, sheet->left_frame_file, sheet->right_frame_file}, env);
  if (report.top_unreadable) {
    outcome.status = kExitBuildFailed;
    outcome.message = "cannot read the folder \"" + report.top + "\"";
    return outcome;
  }
  outcome.lines = LinkCheckLines(report, env);
  outcome.status = report.clean() ? kExitBuilt : kExitBuildFailed;
  return outcome;
}

}  // namespace vellora
