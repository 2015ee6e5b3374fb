#include "startup/watch_mode.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "custom/text_file.h"
#include "html/manifest.h"
#include "html/page_writer.h"
#include "modes/framed_site.h"
#include "platform/env.h"
#include "platform/folder_watch.h"
#include "platform/path.h"
#include "platform/wildcard.h"
#include "scan/folder_scanner.h"
#include "scan/walk_guard.h"
#include "settings/build_settings.h"
#include "settings/main_sheet.h"
#include "startup/retained_listings.h"

namespace vellora {

namespace {

// The names of the files the build writes into the folders it lists: the
// page, the frame pages of a framed site, and their manifests.
std::set<std::string> OwnNames(const CMainSheet& sheet, const CBuildSettings& s, Env* env) {
  std::set<std::string> names;
  const auto add = [&](const std::string& path) {
    if (path.empty()) return;
    const std::string name =
        ContainsSeparator(path, env) ? TextAfterLastSeparator(path, env) : path;
    names.insert(name);
    names.insert(name + kManifestSuffix);
  };
  add(s.output_filename);
  if (s.build_framed_site != 0 && s.recursive_build != 0) {
    std::string frameset = LoadTextFile(sheet.frameset_file, std::string(), env);
    LowerFrameSources(&frameset, env);
    std::string left, right;
    if (FrameSourceNames(frameset, &left, &right, env)) {
      add(left);
      add(right);
    }
  }
  return names;
}

class TreeWatcher {
 public:
  // Folders watched are retained in `listings` (which may be null).
  TreeWatcher(CFolderWatch* watch, CBuildSettings* settings, Env* env,
              CRetainedListings* listings)
      : watch_(watch), scanner_(settings, env), env_(env), listings_(listings),
        branch_(settings->recursive_build != 0), root_(settings->path) {}

  // Watches `top` and, in a build of a branch, every folder below it that
  // the build may list: not those it passes over, and not through links
  // (a folder reached by a link is watched where it really lies, if in the
  // tree). False when `top` cannot be watched.
  bool WatchBranch(const std::string& top) {
    if (!watch_->Add(top)) return false;
    if (listings_ != nullptr) listings_->Retain(top);
    if (!branch_) return true;
    CWalkGuard guard(env_);
    guard.Enter(top);
    std::vector<std::string> todo{top};
    while (!todo.empty()) {
      const std::string folder = std::move(todo.back());
      todo.pop_back();
      std::vector<std::string> found;
      env_->ListSubfolders(folder, [&](const FolderItem& item) {
        if (item.name.empty() || item.name[0] == '.' || item.is_link) return;
        found.push_back(WithTrailingSeparator(folder, env_) + item.name);
      });
      for (auto it = found.rbegin(); it != found.rend(); ++it) {
        if (scanner_.SkipFolder(*it) || !guard.Enter(*it)) continue;
        // One that cannot be watched is still walked, and always read anew.
        if (watch_->Add(*it) && listings_ != nullptr) listings_->Retain(*it);
        todo.push_back(*it);
      }
    }
    env_->EndWalk();
    return true;
  }

  // True when `change` may alter what a page lists; watches a folder it
  // made.
  // `unlisted` are the names of `own` that no page lists.
  bool Take(const FolderChange& change, const std::set<std::string>& own,
            const std::set<std::string>& unlisted) {
    // A name no page lists leaves every listing as the pages see it.
    const bool passed_over =
        !change.name.empty() && (change.name[0] == '.' || unlisted.count(change.name) != 0);
    if (listings_ != nullptr && !passed_over) {
      // What the change named is read again, whatever it is: the folder
      // that holds it, and the branch it may be.
      if (change.name.empty()) {
        listings_->ForgetBranch(change.folder);
      } else {
        listings_->ForgetFolder(change.folder);
        listings_->ForgetBranch(WithTrailingSeparator(change.folder, env_) + change.name);
      }
    }
    if (change.name.empty()) return true;  // a watched folder went away
    if (change.name[0] == '.' || own.count(change.name) != 0) return false;
    // Below a folder the build passes over (a backend may watch the whole tree).
    if (change.folder.size() > root_.size() &&
        change.folder.find(std::string(1, kSeparator) + ".", root_.size()) != std::string::npos) {
      return false;
    }
    if (branch_) {
      const std::string path = WithTrailingSeparator(change.folder, env_) + change.name;
      if (env_->IsFolder(path) && !env_->IsLink(path) && !scanner_.SkipFolder(path)) {
        WatchBranch(path);
      }
    }
    return true;
  }

 private:
  CFolderWatch* watch_;
  CFolderScanner scanner_;
  Env* env_;
  CRetainedListings* listings_;
  bool branch_;
  std::string root_;
};

}  // namespace

BatchOutcome RunWatchMode(CMainSheet* sheet, const std::string& config_name,
                          const WatchOptions& options) {
  // Kept as prepared for the watch; each build gets a fresh copy, since
  // the build modes change the settings they are given.
  CBuildSettings prepared;
  BatchOutcome outcome = PrepareBatchBuild(sheet, config_name, &prepared);
  if (outcome.status != kExitBuilt) return outcome;
  Env* env = sheet->env();
  std::unique_ptr<CFolderWatch> watch = env->NewFolderWatch();
  if (!watch) return Failure(kExitBuildFailed, "this system cannot watch folders for changes");
  watch->StopOnInterrupt();
  // Where the watch names every change, a build after one reads again only
  // the folders it named.
  std::unique_ptr<CRetainedListings> listings;
  if (watch->NamesEveryChange()) listings = std::make_unique<CRetainedListings>(env);
  Env* const build_env = listings ? listings.get() : env;
  TreeWatcher tree(watch.get(), &prepared, env, listings.get());
  if (!tree.WatchBranch(prepared.path)) {
    return Failure(kExitBuildFailed, "cannot watch the folder \"" + prepared.path + "\"");
  }
  const std::set<std::string> own = OwnNames(*sheet, prepared, env);
  std::set<std::string> unlisted;
  for (const std::string& name : own) {
    for (const std::string& pattern : SplitSkipFiles(prepared.skip_files)) {
      if (WildcardMatch(name, pattern, env)) unlisted.insert(name);
    }
  }

  const auto build = [&] {
    auto settings = std::make_unique<CBuildSettings>();
    sheet->Exchange(1, settings.get());
    settings->path = prepared.path;
    settings->root_folder = prepared.root_folder;
    const BatchOutcome built = RunPreparedBuild(sheet, settings.get(), build_env);
    // What the build used apart from the kept listings goes back, and so do
    // the pages of listings read again after a change: resident memory
    // stays with what is kept, however long the watch runs.
    ReturnFreeMemory();
    if (!built.message.empty() && options.err != nullptr) {
      std::fprintf(options.err, "vellora: %s\n", built.message.c_str());
      std::fflush(options.err);
    }
    if (options.after_build) options.after_build(built);
  };
  build();

  bool pending = false;
  bool rewatch = false;
  std::vector<FolderChange> changes;
  for (;;) {
    changes.clear();
    switch (watch->Wait(pending ? options.settle_ms : -1, &changes)) {
      case CFolderWatch::Result::kStopped:
        return BatchOutcome();
      case CFolderWatch::Result::kFailed:
        return Failure(kExitBuildFailed, "the watch of the folders failed");
      case CFolderWatch::Result::kOverflow:
        // Changes were lost: build, and watch and read every folder anew.
        pending = rewatch = true;
        if (listings) listings->ForgetAll();
        break;
      case CFolderWatch::Result::kChanges:
        for (const FolderChange& change : changes) {
          if (tree.Take(change, own, unlisted)) pending = true;
        }
        break;
      case CFolderWatch::Result::kTimeout:
        if (!pending) break;
        if (rewatch) tree.WatchBranch(prepared.path);
        pending = rewatch = false;
        build();
        break;
    }
  }
}

}  // namespace vellora
