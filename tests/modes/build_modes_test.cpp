// The build entries: single folder, one page for a branch, one page per
// folder with its titles, skipped root, links, restoring and cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "settings/build_settings.h"
#include "custom/custom_html.h"
#include "modes/listing_cache.h"
#include "modes/modes_test_env.h"
#include "platform/env.h"
#include "platform/forwarding_env.h"
#include "modes/index_builder.h"
#include "support/progress_view.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class BuildModesTest : public ::testing::Test {
 protected:
  // web/{x.txt, a/{y.txt, a1/z.txt}, b/w.txt, .svn/{s.txt, deep/t.txt}}
  void SetUp() override {
    tmp_.WriteFile("web/x.txt", "x");
    tmp_.WriteFile("web/a/y.txt", "y");
    tmp_.WriteFile("web/a/a1/z.txt", "z");
    tmp_.WriteFile("web/b/w.txt", "w");
    tmp_.WriteFile("web/.svn/s.txt", "s");
    tmp_.WriteFile("web/.svn/deep/t.txt", "t");
    web_ = tmp_.Path("web");
    PlainSettings(&s_, &words_, web_);
  }

  void PerFolder() {
    s_.recursive_build = 1;
    s_.multi_recurse_link = 1;
  }

  std::string Page(const std::string& folder) const { return folder + kSeparator + "index.html"; }

  TempFolder tmp_;
  std::string web_;
  CDefaultWords words_;
  CBuildSettings s_;
  ModesTestEnv env_;
};

TEST_F(BuildModesTest, EmptyPathBuildsNothing) {
  s_.path.clear();
  for (int per_folder = 0; per_folder < 2; ++per_folder) {
    s_.recursive_build = per_folder;
    s_.multi_recurse_link = per_folder;
    CIndexBuilder b(&s_, &env_);
    EXPECT_EQ(0, b.Build(nullptr));
  }
  EXPECT_TRUE(env_.writes.empty());
}

TEST_F(BuildModesTest, PerFolderPagesComeDepthFirstAndSkipDotFolders) {
  PerFolder();
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(4, b.Build(nullptr));
  const std::vector<std::string> expected = {Page(web_), Page(tmp_.Path("web/a")),
                                             Page(tmp_.Path("web/a/a1")), Page(tmp_.Path("web/b"))};
  EXPECT_EQ(expected, env_.writes);
  EXPECT_EQ(4, b.pages_written);
  EXPECT_EQ(0, b.recurse_scan);
  // Each folder links to the page of the same name below it.
  EXPECT_TRUE(Has(env_.pages[Page(web_)], "a/index.html"));
  EXPECT_TRUE(Has(env_.pages[Page(tmp_.Path("web/a"))], "a1/index.html"));
}

TEST_F(BuildModesTest, EachFolderIsReadOncePerPage) {
  PerFolder();
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(4, b.Build(nullptr));
  EXPECT_EQ(4, env_.listings);
  EXPECT_EQ(&env_, b.env);
  // The folder table, the walk and the folder's own page ask the system once.
  for (const auto& [folder, checks] : env_.enter_checks) EXPECT_EQ(1, checks) << folder;
  // With a narrower filter the files are listed apart from the subfolders.
  s_.file_spec = "*.txt";
  ModesTestEnv env;
  CIndexBuilder narrow(&s_, &env);
  EXPECT_EQ(4, narrow.Build(nullptr));
  EXPECT_EQ(8, env.listings);
}

TEST(ListingCacheTest, AnswersLikeTheSystemAndForgetsFilesAfterAWrite) {
  TempFolder tmp;
  tmp.WriteFile("f/a.txt", "a");
  tmp.MakeFolder("f/sub");
  const std::string f = tmp.Path("f");
  ModesTestEnv system;
  CListingCache cache(&system, true);
  auto names = [](std::vector<std::string>* out) {
    out->clear();
    return [out](const FolderItem& i) { out->push_back(i.name); };
  };
  std::vector<std::string> got;
  EXPECT_TRUE(cache.ListSubfolders(f, names(&got)));
  EXPECT_EQ(std::vector<std::string>{"sub"}, got);
  EXPECT_TRUE(cache.ListFolder(f, "*.*", names(&got)));
  EXPECT_EQ((std::vector<std::string>{"a.txt", "sub"}), got);
  EXPECT_EQ(1, system.listings);
  cache.ListFolder(f, "*.txt", names(&got));  // other patterns go to the system
  EXPECT_EQ(2, system.listings);
  EXPECT_TRUE(cache.WriteFileSafely(tmp.Path("f/b.txt"), "b"));
  cache.ListSubfolders(f, names(&got));
  EXPECT_EQ(2, system.listings);
  cache.ListFolder(f, "*.*", names(&got));
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt", "sub"}), got);
  EXPECT_EQ(3, system.listings);
  EXPECT_FALSE(cache.ListFolder(tmp.Path("none"), "*.*", names(&got)));
  EXPECT_TRUE(got.empty());
  EXPECT_TRUE(ListsEveryName("*.txt;*.*"));
  EXPECT_FALSE(ListsEveryName("*.txt;*.*x;*"));
}

TEST_F(BuildModesTest, SkipRootLeavesOutOnlyTheTopPage) {
  PerFolder();
  s_.multi_recurse_skip_root = 1;
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(3, b.Build(nullptr));
  EXPECT_EQ(0u, env_.pages.count(Page(web_)));
  EXPECT_EQ("<missing>", ReadFileForTest(Page(web_)));
  EXPECT_EQ(1u, env_.pages.count(Page(tmp_.Path("web/a/a1"))));
}

TEST_F(BuildModesTest, PageTitlesFollowTheTitleMode) {
  PerFolder();
  const std::string a = tmp_.Path("web/a");
  struct Case {
    int32_t mode;
    std::string top, sub;
  } cases[] = {
      {CBuildSettings::kTitleFolderName, "web", "a"},
      {CBuildSettings::kTitleFullPath, web_, a},
      {CBuildSettings::kTitleDefault, "Listing", "Listing"},
  };
  for (const Case& c : cases) {
    s_.multi_recurse_title = c.mode;
    ModesTestEnv env;
    CIndexBuilder b(&s_, &env);
    b.Build(nullptr);
    EXPECT_TRUE(Has(env.pages[Page(web_)], "<title>" + c.top + "</title>")) << c.mode;
    EXPECT_TRUE(Has(env.pages[Page(a)], "<title>" + c.sub + "</title>")) << c.mode;
    EXPECT_EQ("Listing", s_.title);
  }
}

// A folder's name or path is file-system text in the title; the user's own
// title is HTML and comes back after the build.
TEST_F(BuildModesTest, TitlesFromFoldersAreEscapedNames) {
#ifdef _WIN32
  GTEST_SKIP() << "such names are POSIX only";
#else
  tmp_.WriteFile("web/<b>&x \xFF/f.txt", "f");
  const std::string hostile = tmp_.Path("web/<b>&x \xFF");
  PerFolder();
  s_.title = "<i>Mine</i>";
  for (int32_t mode : {CBuildSettings::kTitleFolderName, CBuildSettings::kTitleFullPath}) {
    s_.multi_recurse_title = mode;
    ModesTestEnv env;
    CIndexBuilder b(&s_, &env);
    b.Build(nullptr);
    EXPECT_TRUE(Has(env.pages[Page(hostile)], "&lt;b&gt;&amp;x \xEF\xBF\xBD</title>")) << mode;
    EXPECT_FALSE(Has(env.pages[Page(hostile)], "<b>")) << mode;
    EXPECT_EQ("<i>Mine</i>", s_.title);
  }
  s_.multi_recurse_title = CBuildSettings::kTitleDefault;
  ModesTestEnv env;
  CIndexBuilder b(&s_, &env);
  b.Build(nullptr);
  EXPECT_TRUE(Has(env.pages[Page(hostile)], "<title><i>Mine</i></title>"));
#endif
}

// A folder named like the anchor marker keeps its name in its page's title
// and in the folder texts of the user's sections.
TEST_F(BuildModesTest, MarkerNamedFoldersKeepTheirNames) {
  const std::string marked = tmp_.Path("web/INSERT_FOLDER_ANCHORS");
  tmp_.WriteFile("web/INSERT_FOLDER_ANCHORS/f.txt", "f");
  PerFolder();
  s_.reload_custom_html = 0;
  s_.custom_html.section(kStart) = "<p>%%FOLDER</p>\r\n";
  const std::pair<int32_t, const char*> cases[] = {
      {CBuildSettings::kTitleFolderName, "<title>INSERT_FOLDER_ANCHORS</title>"},
      {CBuildSettings::kTitleFullPath, "INSERT_FOLDER_ANCHORS</title>"},
      {CBuildSettings::kTitleDefault, "<title>Listing</title>"},
  };
  for (const auto& c : cases) {
    s_.multi_recurse_title = c.first;
    ModesTestEnv env;
    CIndexBuilder b(&s_, &env);
    b.Build(nullptr);
    const std::string& page = env.pages[Page(marked)];
    EXPECT_TRUE(Has(page, c.second)) << page;
    EXPECT_TRUE(Has(page, "<p>INSERT_FOLDER_ANCHORS</p>")) << page;
  }
}

TEST_F(BuildModesTest, FolderNameTitleOfAFileSystemRootIsTheRoot) {
#ifdef _WIN32
  GTEST_SKIP() << "drive roots are covered by the end-to-end tests";
#else
  // Nothing is written and nothing below the root is visited.
  env_.dry_run = true;
  PerFolder();
  s_.path = "/";
  s_.root_folder = "/";
  s_.file_spec = "no-such-file-*.none";
  s_.supress_parent_link = 1;
  std::filesystem::path root("/");
  for (const auto& entry : std::filesystem::directory_iterator(root)) {
    env_.locked.insert("/" + entry.path().filename().string());
  }
  s_.multi_recurse_title = CBuildSettings::kTitleFolderName;
  CIndexBuilder b(&s_, &env_);
  b.first_right_frame_page = 1;  // written although it lists nothing
  b.Build(nullptr);
  ASSERT_EQ(std::vector<std::string>{"/index.html"}, env_.writes);
  EXPECT_TRUE(Has(env_.pages["/index.html"], "<title>/</title>"));
#endif
}

TEST_F(BuildModesTest, PathTitleAndFolderLinkAreRestored) {
  PerFolder();
  s_.multi_recurse_title = CBuildSettings::kTitleFullPath;
  s_.custom_html.section(kFolderFileLink) = "custom.htm";
  s_.reload_custom_html = 0;
  std::string before;
  Env::Default()->GetCurrentFolder(&before);
  CIndexBuilder b(&s_, &env_);
  b.Build(nullptr);
  EXPECT_EQ(web_, s_.path);
  EXPECT_EQ("Listing", s_.title);
  EXPECT_EQ("custom.htm", s_.custom_html.section(kFolderFileLink));
  EXPECT_EQ("", b.folder_link_override);
  std::string after;
  Env::Default()->GetCurrentFolder(&after);
  EXPECT_EQ(before, after);
}

TEST_F(BuildModesTest, CustomFolderLinkIsKeptWhenNotLinkingToTheOutputName) {
  PerFolder();
  s_.link_folders_to_output_name = 0;
  s_.reload_custom_html = 0;
  s_.custom_html.section(kFolderFileLink) = "main.htm";
  CIndexBuilder b(&s_, &env_);
  b.Build(nullptr);
  EXPECT_TRUE(Has(env_.pages[Page(web_)], "a/main.htm"));
  EXPECT_FALSE(Has(env_.pages[Page(web_)], "a/index.html"));
}

TEST_F(BuildModesTest, FullOutputPathIsOverwrittenByEveryPage) {
  PerFolder();
  const std::string out = tmp_.Path("out.html");
  s_.output_filename = out;
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(4, b.Build(nullptr));
  EXPECT_EQ(std::vector<std::string>(4, out), env_.writes);
  EXPECT_TRUE(Has(ReadFileForTest(out), "w.txt"));  // the last page, of web/b
}

TEST_F(BuildModesTest, FolderThatCannotBeEnteredIsPassedOverWithItsBranch) {
  PerFolder();
  env_.locked.insert(tmp_.Path("web/a"));
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(2, b.Build(nullptr));
  const std::vector<std::string> expected = {Page(web_), Page(tmp_.Path("web/b"))};
  EXPECT_EQ(expected, env_.writes);
}

TEST_F(BuildModesTest, TopFolderThatCannotBeEnteredWritesNothing) {
  PerFolder();
  env_.locked.insert(web_);
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(0, b.Build(nullptr));
  EXPECT_TRUE(env_.writes.empty());
}

TEST_F(BuildModesTest, UnwritablePageIsNotCountedAndTheWalkGoesOn) {
  PerFolder();
  // A file where the page of web/a would go makes that write fail.
  std::filesystem::create_directory(tmp_.Path("web/a/index.html"));
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(3, b.Build(nullptr));
  EXPECT_EQ(1u, env_.pages.count(Page(tmp_.Path("web/b"))));
}

// Where the system takes writes from several threads, pages are saved on
// worker threads; the build comes out as when the walk saves them itself:
// the same pages, count, failures (in walk order) and last page.
TEST_F(BuildModesTest, PagesSavedOnThreadsAreThoseTheWalkSaves) {
  PerFolder();
  s_.manifest = "json";
  std::filesystem::create_directory(tmp_.Path("web/a/index.html"));
  std::filesystem::create_directory(tmp_.Path("web/b/index.html.json"));
  s_.skip_folders = tmp_.Path("web/a/index.html") + ";" + tmp_.Path("web/b/index.html.json");
  struct Outcome {
    int built;
    std::vector<std::string> failed;
    std::string last;
    std::vector<bool> pages;
  };
  const std::vector<std::string> folders = {web_, tmp_.Path("web/a"), tmp_.Path("web/a/a1"),
                                            tmp_.Path("web/b")};
  const auto build = [&](Env* env) {
    Outcome o;
    CIndexBuilder b(&s_, env);
    o.built = b.Build(nullptr);
    for (const FailedPage& f : b.failed_pages) o.failed.push_back(f.path);
    o.last = b.main_file_path;
    for (const std::string& folder : folders) {
      for (const std::string& file : {Page(folder), Page(folder) + ".json"}) {
        const bool page = std::filesystem::is_regular_file(file);
        if (page) std::filesystem::remove(file);
        if (file == Page(folder)) o.pages.push_back(page);
      }
    }
    return o;
  };
  ASSERT_GT(Env::Default()->ListingThreads(), 0);
  const Outcome threaded = build(Env::Default());
  CForwardingEnv walk_saves(Env::Default());  // tells of no threads
  const Outcome walked = build(&walk_saves);
  EXPECT_EQ(3, walked.built);
  std::vector<std::string> failed = walked.failed;
  std::sort(failed.begin(), failed.end());  // in the order the system lists the folders
  EXPECT_EQ((std::vector<std::string>{Page(tmp_.Path("web/a")), Page(tmp_.Path("web/b")) + ".json"}),
            failed);
  EXPECT_EQ((std::vector<bool>{true, false, true, true}), walked.pages);
  EXPECT_EQ(walked.built, threaded.built);
  EXPECT_EQ(walked.failed, threaded.failed);
  EXPECT_EQ(walked.last, threaded.last);
  EXPECT_EQ(walked.pages, threaded.pages);
}

// The page of the folder the build was given is kept when the folder
// cannot be read, in every mode; a subfolder that cannot be read is passed
// over with its branch.
TEST_F(BuildModesTest, UnreadableFoldersKeepTheirPages) {
  const std::string old_page = "<p>old</p>";
  for (int32_t mode : {0, 1, 2}) {
    tmp_.WriteFile("web/index.html", old_page);
    s_.recursive_build = mode > 0;
    s_.multi_recurse_link = mode > 1;
    ModesTestEnv env;
    env.unreadable.insert(web_);
    CIndexBuilder b(&s_, &env);
    EXPECT_EQ(0, b.Build(nullptr)) << mode;
    EXPECT_EQ(old_page, ReadFileForTest(Page(web_))) << mode;
    EXPECT_EQ(1, b.top_unreadable) << mode;
  }
  PerFolder();
  tmp_.WriteFile("web/a/index.html", old_page);
  env_.unreadable.insert(tmp_.Path("web/a"));
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(2, b.Build(nullptr));
  EXPECT_EQ(old_page, ReadFileForTest(Page(tmp_.Path("web/a"))));
  EXPECT_EQ(0, b.top_unreadable);
}

#ifndef _WIN32
TEST_F(BuildModesTest, LinkToTheRootEndsTheBranch) {
  std::filesystem::create_directory_symlink(web_, tmp_.Path("web/a/a1/up"));
  PerFolder();
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(4, b.Build(nullptr));
  EXPECT_EQ(0u, env_.pages.count(Page(tmp_.Path("web/a/a1/up"))));
}

// 25 folders, each holding two links to the next: each real folder gets
// one page, at the first way the walk meets it.
TEST_F(BuildModesTest, EachRealFolderGetsOnePage) {
  const int kRungs = 25;
  for (int i = 0; i <= kRungs; ++i) tmp_.WriteFile("web/l/" + std::to_string(i) + "/f.txt", "f");
  for (int i = 0; i < kRungs; ++i) {
    for (const char* name : {"x", "y"}) {
      const std::string link = tmp_.Path("web/l/" + std::to_string(i) + "/" + name);
      std::filesystem::create_directory_symlink("../" + std::to_string(i + 1), link);
    }
  }
  PerFolder();
  env_.dry_run = true;
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(4 + 1 + kRungs + 1, b.Build(nullptr));
  // The second link to a folder is listed, linked to the page there.
  EXPECT_TRUE(Has(env_.pages[Page(tmp_.Path("web/l/0"))], "href=\"y/index.html\""));
}

// web/out leads beside the tree: listed, linked as a folder, not entered
// unless the user asks for it. web/b/in leads back into the tree.
TEST_F(BuildModesTest, LinksOutOfTheTreeAreListedButNotEntered) {
  tmp_.WriteFile("outside/o.txt", "o");
  std::filesystem::create_directory_symlink(tmp_.Path("outside"), tmp_.Path("web/out"));
  std::filesystem::create_directory_symlink("../a", tmp_.Path("web/b/in"));
  const std::string out_page = Page(tmp_.Path("web/out"));
  for (int32_t follow : {0, 1}) {
    s_.follow_outside_links = follow;
    PerFolder();
    ModesTestEnv env;
    env.dry_run = true;
    CIndexBuilder b(&s_, &env);
    EXPECT_EQ(follow ? 5 : 4, b.Build(nullptr)) << follow;
    EXPECT_EQ(follow ? 1u : 0u, env.pages.count(out_page)) << follow;
    const std::string top = env.pages[Page(web_)];
    EXPECT_EQ(follow == 1, Has(top, "href=\"out/index.html\"")) << follow;
    EXPECT_EQ(follow == 0, Has(top, "href=\"out/\"")) << follow;
    EXPECT_TRUE(Has(env.pages[Page(tmp_.Path("web/b"))], "href=\"in/index.html\"")) << follow;

    s_.multi_recurse_link = 0;
    ModesTestEnv one;
    one.dry_run = true;
    CIndexBuilder all(&s_, &one);
    EXPECT_EQ(1, all.Build(nullptr));
    EXPECT_EQ(follow == 1, Has(one.pages[Page(web_)], "o.txt")) << follow;
    EXPECT_TRUE(Has(one.pages[Page(web_)], "href=\"out/\"")) << follow;
  }
}
#endif

TEST_F(BuildModesTest, CancelStopsTheWalkAndRestoresTheTopValues) {
  PerFolder();
  s_.multi_recurse_title = CBuildSettings::kTitleFolderName;
  // The request comes while web/a/a1 is announced: its page is still
  // written, then the walk stops before web/b.
  std::string stop_at = tmp_.Path("web/a/a1");
  CBuildProgress progress;
  progress.notify_enabled = 1;
  FunctionProgressView view([&stop_at](CBuildProgress& p) {
    if (p.current_folder == stop_at) p.cancel = 1;
  });
  progress.notify = &view;
  progress.cancel = 1;  // a stale request is cleared when the build starts
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(3, b.Build(&progress));
  EXPECT_EQ(1, progress.cancel);
  EXPECT_EQ(0u, env_.pages.count(Page(tmp_.Path("web/b"))));
  EXPECT_EQ(web_, s_.path);
  EXPECT_EQ("Listing", s_.title);
}

TEST_F(BuildModesTest, ProgressNamesEachFolderBeforeItsPage) {
  PerFolder();
  std::vector<std::string> seen;
  CBuildProgress progress;
  progress.notify_enabled = 1;
  FunctionProgressView view([&seen](CBuildProgress& p) {
    if (seen.empty() || seen.back() != p.current_folder) seen.push_back(p.current_folder);
  });
  progress.notify = &view;
  CIndexBuilder b(&s_, &env_);
  b.Build(&progress);
  const std::vector<std::string> expected = {web_, tmp_.Path("web/a"), tmp_.Path("web/a/a1"),
                                             tmp_.Path("web/b")};
  EXPECT_EQ(expected, seen);
  EXPECT_EQ(4, progress.folders_entered);
}

}  // namespace
}  // namespace vellora
