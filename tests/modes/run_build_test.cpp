// The build call: its result record, a cancel from another thread, and a
// build that leaves the process's current folder alone.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "settings/build_settings.h"
#include "modes/modes_test_env.h"
#include "modes/run_build.h"
#include "platform/env.h"
#include "support/progress_view.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

// Refuses the page `link` as a link stands there, and counts every use of
// the current folder.
class RunBuildEnv : public ModesTestEnv {
 public:
  std::string link;
  int current_folder_calls = 0;

  bool IsLink(const std::string& path) override { return path == link || inner()->IsLink(path); }
  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>& pieces) override {
    return path != link && ModesTestEnv::WritePiecesSafely(path, pieces);
  }
  bool GetCurrentFolder(std::string* folder) override {
    ++current_folder_calls;
    return ModesTestEnv::GetCurrentFolder(folder);
  }
  bool SetCurrentFolder(const std::string& folder) override {
    ++current_folder_calls;
    return ModesTestEnv::SetCurrentFolder(folder);
  }
};

class RunBuildTest : public ::testing::Test {
 protected:
  // web/{x.txt, a/{y.txt, a1/z.txt}, b/w.txt}
  void SetUp() override {
    for (const char* f : {"web/x.txt", "web/a/y.txt", "web/a/a1/z.txt", "web/b/w.txt"}) {
      tmp_.WriteFile(f, "x");
    }
    web_ = tmp_.Path("web");
    PlainSettings(&s_, &words_, web_);
  }

  void PerFolder() {
    s_.recursive_build = 1;
    s_.multi_recurse_link = 1;
  }

  std::string Page(const std::string& relative) const {
    return tmp_.Path(relative) + kSeparator + "index.html";
  }

  TempFolder tmp_;
  std::string web_;
  CDefaultWords words_;
  CBuildSettings s_;
  RunBuildEnv env_;
};

TEST_F(RunBuildTest, FailedPagesAreReportedWithTheirReasons) {
  struct Case {
    const char* name;
    std::string link;        // a page with a link at its name
    std::string unreadable;  // a folder that cannot be listed
    std::string output;      // output_filename
    int pages;
    std::vector<FailedPage> failed;
  };
  const std::string nowhere = tmp_.Path("nowhere") + kSeparator + "index.html";
  const std::vector<Case> cases = {
      {"all written", "", "", "index.html", 4, {}},
      {"link", Page("web/a"), "", "index.html", 3, {{Page("web/a"), PageFailure::kLink}}},
      {"unwritable", "", "", nowhere, 0,
       std::vector<FailedPage>(4, FailedPage{nowhere, PageFailure::kNotWritten})},
      {"unreadable top", "", web_, "index.html", 0, {{web_, PageFailure::kFolderUnreadable}}},
  };
  for (const Case& c : cases) {
    RunBuildEnv env;
    env.link = c.link;
    if (!c.unreadable.empty()) env.unreadable.insert(c.unreadable);
    PlainSettings(&s_, &words_, web_);
    PerFolder();
    s_.output_filename = c.output;
    const BuildResult r = RunBuild(s_, FrameFiles(), nullptr, &env);
    EXPECT_EQ(c.pages, r.pages_written) << c.name;
    EXPECT_FALSE(r.cancelled) << c.name;
    ASSERT_EQ(c.failed.size(), r.failed_pages.size()) << c.name;
    for (size_t i = 0; i < c.failed.size(); ++i) {
      EXPECT_EQ(c.failed[i].path, r.failed_pages[i].path) << c.name;
      EXPECT_EQ(c.failed[i].reason, r.failed_pages[i].reason) << c.name;
    }
  }
}

TEST_F(RunBuildTest, CancelFromAnotherThreadStopsTheBuild) {
  PerFolder();
  CBuildProgress progress;
  progress.notify_enabled = 1;
  std::mutex m;
  std::condition_variable cv;
  bool announced = false, requested = false;
  // The first report (the top folder, before its page) waits until the
  // other thread has asked to stop.
  FunctionProgressView view([&](CBuildProgress&) {
    std::unique_lock<std::mutex> lock(m);
    announced = true;
    cv.notify_all();
    cv.wait(lock, [&] { return requested; });
  });
  progress.notify = &view;
  std::thread canceller([&] {
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return announced; });
    progress.cancel = 1;
    requested = true;
    cv.notify_all();
  });
  const BuildResult r = RunBuild(s_, FrameFiles(), &progress, &env_);
  canceller.join();
  // The folder announced is still written; the walk stops after its page.
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(1, r.pages_written);
  EXPECT_EQ(std::vector<std::string>{Page("web")}, env_.writes);
}

// Each pass of a framed site is a build that clears `cancel` when it
// starts; a cancel during the left pass must not be forgotten.
TEST_F(RunBuildTest, CancelDuringTheLeftFrameEndsAFramedSite) {
  const std::string frameset = tmp_.WriteFile(
      "frameset.txt", "<frameset><frame src=\"left.html\"><frame src=\"right.html\"></frameset>");
  PerFolder();
  s_.build_framed_site = 1;
  CBuildProgress progress;
  FunctionProgressView view([](CBuildProgress& p) { p.cancel = 1; });
  progress.notify = &view;
  const BuildResult r =
      RunBuild(s_, FrameFiles{frameset, tmp_.Path("none.txt"), tmp_.Path("none.txt")}, &progress,
               &env_);
  EXPECT_TRUE(r.cancelled);
  // The frameset and the left page; no right page.
  EXPECT_EQ((std::vector<std::string>{Page("web"), tmp_.Path("web/left.html")}), env_.writes);
}

TEST_F(RunBuildTest, NoBuildUsesTheCurrentFolder) {
  const std::string frameset = tmp_.WriteFile(
      "frameset.txt", "<frameset><frame src=\"left.html\"><frame src=\"right.html\"></frameset>");
  const FrameFiles frames{frameset, tmp_.Path("none.txt"), tmp_.Path("none.txt")};
  // single folder, one page for the branch, one page per folder, framed site
  const int modes[][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}};
  for (const auto& m : modes) {
    PlainSettings(&s_, &words_, web_);
    s_.recursive_build = m[0];
    s_.multi_recurse_link = m[1];
    s_.build_framed_site = m[2];
    env_.current_folder_calls = 0;
    const BuildResult r = RunBuild(s_, frames, nullptr, &env_);
    EXPECT_GT(r.pages_written, 0);
    EXPECT_EQ(0, env_.current_folder_calls) << m[0] << m[1] << m[2];
  }
}

}  // namespace
}  // namespace vellora
