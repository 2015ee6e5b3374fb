// Watch mode's loop over a scripted watch: which changes start a build, the
// settling wait, a lost queue of changes, and stopping.
#include <gtest/gtest.h>

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
  ScriptedWatch(std::vector<Step> steps, Asked* asked) : steps_(std::move(steps)), asked_(asked) {}
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
  size_t next_ = 0;
};

class WatchEnv : public CForwardingEnv {
 public:
  WatchEnv() : CForwardingEnv(Env::Default()) {}
  std::unique_ptr<CFolderWatch> NewFolderWatch() override { return std::move(watch); }
  std::unique_ptr<CFolderWatch> watch;
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

}  // namespace
}  // namespace vellora
