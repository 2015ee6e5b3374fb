// The build entries: one page for a folder, one page for a whole branch, or
// one page in every folder of a branch (the per-folder walk).
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "settings/build_settings.h"
#include "custom/custom_html.h"
#include "html/page_saver.h"
#include "html/text_helpers.h"
#include "modes/index_builder.h"
#include "modes/listing_cache.h"
#include "platform/env.h"
#include "platform/path.h"
#include "scan/listing_prefetch.h"
#include "scan/walk_guard.h"

namespace vellora {

namespace {

bool Cancelled(const CBuildProgress* progress) {
  return progress != nullptr && progress->cancelled();
}

// The folder's own name for a page title: the text after the last separator,
// except for a file-system root, which is its own title.
std::string FolderTitle(const std::string& path, Env* env) {
#ifdef _WIN32
  const bool named = ContainsSeparator(path, env) && path.size() > 3;
#else
  const bool named = ContainsSeparator(path, env) && !IsFileSystemRoot(path);
#endif
  return named ? TextAfterLastSeparator(path, env) : path;
}

// A folder path or name as page title: file-system text, escaped as a
// visible name (the user's own title is HTML and stays untouched).
std::string TitleFromFolder(const std::string& text, const CBuildSettings& s) {
  return EscapeNameText(text, s.replace_iso_chars != 0, s.xml_compliant != 0);
}

// Writes the page of the folder in `path`, then walks its subfolders depth
// first in listing order, each one that can be entered. Returns false once
// the build is cancelled; the levels then return at once and leave `path`
// and `title` to the caller. `top` marks the folder the build was given.
bool WalkFrom(CIndexBuilder* b, CWalkGuard* guard, bool top) {
  CBuildSettings& s = *b->settings;
  Env* env = b->env;
  CBuildProgress* progress = b->progress;
  if (Cancelled(progress)) return false;

  const std::string folder = s.path;
  const std::string title = s.title;
  if (progress != nullptr) {
    progress->current_folder = folder;
    if (progress->notify_enabled != 0) progress->Notify();
  }
  b->write_page(folder);
  if (top && b->page_unreadable) b->top_unreadable = 1;
  if (Cancelled(progress)) return false;

  // The subfolders are taken first so that no listing stays open during
  // the walk.
  std::vector<FolderItem> found;
  const bool read = env->ListSubfolders(folder, [&found](const FolderItem& item) {
    if (!item.name.empty() && item.name[0] != '.') found.push_back(item);
  });
  if (top && !read) b->top_unreadable = 1;
  const std::string prefix = WithTrailingSeparator(folder, env);
  for (const FolderItem& item : found) {
    const std::string& name = item.name;
    const std::string sub = prefix + name;
    if (b->LeadsOutOfTree(sub, item.is_link)) continue;
    if (!env->CanEnterFolder(sub)) continue;
    if (!guard->Enter(sub)) continue;  // met before, or a link cycle
    if (s.multi_recurse_title == CBuildSettings::kTitleFullPath) {
      s.title = TitleFromFolder(sub, s);
    } else if (s.multi_recurse_title == CBuildSettings::kTitleFolderName) {
      s.title = TitleFromFolder(name, s);
    }
    s.path = sub;
    const bool go_on = WalkFrom(b, guard, false);
    if (!go_on || Cancelled(progress)) return false;
  }
  s.title = title;
  s.path = folder;
  return true;
}

}  // namespace

int CIndexBuilder::Build(CBuildProgress* build_progress) {
  CBuildSettings& s = *settings;
  if (s.path.empty()) return 0;
  pages_written = 0;
  tree_folder = s.path;
  progress = build_progress;
  if (progress != nullptr) {
    progress->folders_entered = 0;
    progress->links_done = 0;
    progress->links_total = 0;
    progress->cancel = 0;
  }
  // Long paths reached through kept handles are let go when the build ends.
  struct EndOfWalk {
    Env* env;
    ~EndOfWalk() { env->EndWalk(); }
  } end_of_walk{env};
  recurse_scan = (s.recursive_build != 0 && s.multi_recurse_link == 0) ? 1 : 0;
  // Links out of the tree are told apart in every build over a branch,
  // and on the left page of a framed site, whose links lead into it.
  tree_real_root.clear();
  if (s.recursive_build != 0 || s.build_framed_site != 0) tree_real_root = RealTreeRoot(env, s.path);
  if (s.recursive_build != 0 && s.multi_recurse_link != 0) {
    const std::string top = s.path;
    PerFolderBuild();
    s.path = top;
    return pages_written;
  }
  const int written = write_page(s.path);
  if (page_unreadable) top_unreadable = 1;
  return written;
}

int CIndexBuilder::BuildFromTop(CBuildProgress* build_progress) {
  settings->root_folder = settings->path;
  return Build(build_progress);
}

void CIndexBuilder::PerFolderBuild() {
  CBuildSettings& s = *settings;
  const std::string folder_file_link = s.custom_html.section(kFolderFileLink);
  folder_link_override = s.link_folders_to_output_name != 0 ? s.output_filename : std::string();
  if (s.multi_recurse_skip_root != 0) skip_next_page = 1;
  const std::string title = s.title;
  if (s.multi_recurse_title == CBuildSettings::kTitleFullPath) {
    s.title = TitleFromFolder(s.path, s);
    title_from_names = true;
  } else if (s.multi_recurse_title == CBuildSettings::kTitleFolderName) {
    s.title = TitleFromFolder(FolderTitle(s.path, env), s);
    title_from_names = true;
  }
  WalkFolder();
  s.title = title;
  title_from_names = false;
  s.custom_html.section(kFolderFileLink) = folder_file_link;
  folder_link_override.clear();
  // A skipped top folder that could not be entered leaves nothing to skip.
  skip_next_page = 0;
}

void CIndexBuilder::WalkFolder() {
  // Every folder is read once for its page and its walk; when it is read
  // whole, the folders below are read ahead on worker threads.
  Env* const system = env;
  const bool whole = ListsEveryName(settings->file_spec);
  const std::unique_ptr<CListingPrefetch> ahead = NewListingPrefetch(system, whole);
  CListingCache listings(ahead.get(), whole, !NeedsFileDetails());
  // A folder that cannot be entered gets no page, and nothing below it is
  // visited.
  if (!listings.CanEnterFolder(settings->path)) {
    top_unreadable = 1;
    return;
  }
  CWalkGuard guard(system);
  guard.Enter(settings->path);
  // Pages are saved on worker threads where the system allows writes from
  // several at once, while the walk makes the next pages.
  std::unique_ptr<CPageSaver> saver;
  const int save_threads = std::min(system->ListingThreads(), kMaxListingThreads);
  if (save_threads > 0) {
    saver = std::make_unique<CPageSaver>(system, save_threads, [&listings](const std::string&) {
      listings.FileWrittenElsewhere();
    });
  }
  page_saver = saver.get();
  env = &listings;
  WalkFrom(this, &guard, true);
  env = system;
  TakeSavedPages();
  page_saver = nullptr;
}

}  // namespace vellora
