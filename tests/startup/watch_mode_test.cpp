// Watch mode's loop over a scripted watch: which changes start a build, the
// settling wait, a lost queue of changes, and stopping.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/folder_watch.h"
#include "platform/forwarding_env.h"
#include "settings/main_sheet.h"
#include "startup/watch_mode.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

struct Step {
  CFolderWatch::Result result;
  std::vector<FolderChange> changes;
};

// What a watch was asked; it outlives the watch, which the mode owns.
struct Asked {
  std::vector<std::string> added;
  std::vector<int> timeouts;
};

// Answers each Wait with the next step.
class ScriptedWatch : public CFolderWatch {
 public:
  ScriptedWatch(std::vector<Step> steps, Asked* asked, bool names_every_change = false)
      : steps_(std::move(steps)), asked_(asked), names_every_change_(names_every_change) {}
  bool NamesEveryChange() const override { return names_every_change_; }
  bool Add(const std::string& folder) override {
    asked_->added.push_back(folder);
    return true;
  }
  Result Wait(int timeout_ms, std::vector<FolderChange>* changes) override {
    asked_->timeouts.push_back(timeout_ms);
    if (next_ == steps_.size()) return Result::kStopped;
    const Step& step = steps_[next_++];
    *changes = step.changes;
    return step.result;
  }
  void Stop() override {}
  bool StopOnInterrupt() override { return true; }


 private:
  std::vector<Step> steps_;
  Asked* asked_;
  bool names_every_change_;
  size_t next_ = 0;
};

// The system, with a scripted watch; counts the folders listed.
class WatchEnv : public CForwardingEnv {
 public:
  WatchEnv() : CForwardingEnv(Env::Default()) {}
  std::unique_ptr<CFolderWatch> NewFolderWatch() override { return std::move(watch); }
  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    listed.push_back(folder);
    return CForwardingEnv::ListFolder(folder, pattern, visit);
  }
  bool ListSubfolders(const std::string& folder,
                      const std::function<void(const FolderItem&)>& visit) override {
    listed.push_back(folder);
    return CForwardingEnv::ListSubfolders(folder, visit);
  }
  std::unique_ptr<CFolderWatch> watch;
  std::vector<std::string> listed;
};

TEST(WatchModeTest, OnlyChangesToWhatPagesListStartABuild) {
  TempFolder tmp;
  tmp.WriteFile("web/x.txt", "x");
  tmp.WriteFile("web/sub/y.txt", "y");
  tmp.WriteFile("web/.git/z.txt", "z");
  const std::string web = tmp.Path("web");
  const std::string config = tmp.WriteFile(
      "cfg.ini", "[VELLORA]\ncustom_html_filename=\npath=" + web +
                     "\nrecursive_build=TRUE\nmulti_recurse_link=TRUE\noutput_filename=index.html\n"
                     "manifest=json\n");
  using R = CFolderWatch::Result;
  const std::vector<Step> steps = {
      {R::kChanges, {{web, ".index.html.x1"}, {web, "index.html"}, {web, "index.html.json"},
                     {tmp.Path("web/sub"), ".hidden"}}},
      {R::kChanges, {{web, "new.txt"}}},
      {R::kChanges, {{web, "newer.txt"}}},  // still settling
      {R::kTimeout, {}},
      {R::kOverflow, {}},
      {R::kTimeout, {}},
  };
  WatchEnv env;
  Asked asked;
  env.watch = std::make_unique<ScriptedWatch>(steps, &asked);
  CMainSheet sheet(&env);
  WatchOptions options;
  options.settle_ms = 7;
  int builds = 0;
  options.after_build = [&](const BatchOutcome& o) {
    ++builds;
    EXPECT_EQ(kExitBuilt, o.status) << o.message;
  };
  const BatchOutcome outcome = RunWatchMode(&sheet, config, options);
  EXPECT_EQ(kExitBuilt, outcome.status) << outcome.message;
  // The first build, one after the settled changes, one after the lost queue.
  EXPECT_EQ(3, builds);
  EXPECT_EQ((std::vector<int>{-1, -1, 7, 7, -1, 7, -1}), asked.timeouts);
  // The branch without its dot folder, watched again after the lost queue.
  const std::vector<std::string> branch = {web, tmp.Path("web/sub")};
  std::vector<std::string> twice = branch;
  twice.insert(twice.end(), branch.begin(), branch.end());
  EXPECT_EQ(twice, asked.added);
  EXPECT_NE(std::string::npos, ReadFileForTest(tmp.Path("web/index.html")).find("x.txt"));

  // Without a watch the mode says so and builds nothing.
  WatchEnv none;
  CMainSheet bare(&none);
  const BatchOutcome refused = RunWatchMode(&bare, config, WatchOptions());
  EXPECT_EQ(kExitBuildFailed, refused.status);
  EXPECT_EQ("this system cannot watch folders for changes", refused.message);
}

// Where the watch names every change, a build after a change lists again
// only the folders the change named; a lost queue lists everything again.
TEST(WatchModeTest, BuildsAfterAChangeReadOnlyWhatItNamed) {
  TempFolder tmp;
  tmp.WriteFile("web/x.txt", "x");
  tmp.WriteFile("web/a/y.txt", "y");
  tmp.WriteFile("web/b/c/z.txt", "z");
  const std::string web = tmp.Path("web");
  for (const bool per_folder : {true, false}) {
    SCOPED_TRACE(per_folder);
    const std::string config = tmp.WriteFile(
        "cfg.ini", "[VELLORA]\ncustom_html_filename=\npath=" + web +
                       "\nrecursive_build=TRUE\nmulti_recurse_link=" +
                       (per_folder ? "TRUE" : "FALSE") + "\noutput_filename=" +
                       (per_folder ? "index.html" : tmp.Path("all.html")) +
                       "\nskip_files=index.html;all.html\n");
    using R = CFolderWatch::Result;
    const std::vector<Step> steps = {
        // The pages the first build wrote, which no page lists, and a
        // temporary file change no listing.
        {R::kChanges,
         {{web, per_folder ? "index.html" : "all.html"}, {web, ".index.html.t"},
          {tmp.Path("web/a"), "new.txt"}}},
        {R::kTimeout, {}},
        {R::kChanges, {{web, "b"}}},  // b and all below it, and web itself
        {R::kTimeout, {}},
        {R::kOverflow, {}},
        {R::kTimeout, {}},
    };
    WatchEnv env;
    Asked asked;
    env.watch = std::make_unique<ScriptedWatch>(steps, &asked, true);
    CMainSheet sheet(&env);
    WatchOptions options;
    options.settle_ms = 1;
    std::vector<std::vector<std::string>> listed_per_build;
    options.after_build = [&](const BatchOutcome& o) {
      EXPECT_EQ(kExitBuilt, o.status) << o.message;
      std::vector<std::string> folders;
      for (std::string f : env.listed) {
        if (f.size() > web.size() && f.back() == kSeparator) f.pop_back();
        folders.push_back(f.substr(web.size()));
      }
      std::sort(folders.begin(), folders.end());
      folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
      listed_per_build.push_back(folders);
      env.listed.clear();
    };
    tmp.WriteFile("web/a/new.txt", "n");
    EXPECT_EQ(kExitBuilt, RunWatchMode(&sheet, config, options).status);
    const std::string sep(1, kSeparator);
    const std::vector<std::string> all = {"", sep + "a", sep + "b", sep + "b" + sep + "c"};
    const std::vector<std::vector<std::string>> expected = {
        all, {sep + "a"}, {"", sep + "b", sep + "b" + sep + "c"}, all};
    EXPECT_EQ(expected, listed_per_build);
    EXPECT_NE(std::string::npos,
              ReadFileForTest(per_folder ? tmp.Path("web/a/index.html") : tmp.Path("all.html"))
                  .find("new.txt"));
  }
}

}  // namespace
}  // namespace vellora
