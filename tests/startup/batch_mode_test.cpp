// Batch mode: a configuration file in, pages and an exit status out.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "startup/batch_mode.h"
#include "startup/index_app.h"
#include "settings/main_sheet.h"
#include "platform/env.h"
#include "platform/forwarding_env.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class BatchModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp_.WriteFile("web/x.txt", "x");
    tmp_.WriteFile("web/sub/y.txt", "y");
    web_ = tmp_.Path("web");
  }

  // A configuration file listing `path` with plain pages, plus `extra` lines.
  std::string Config(const std::string& path, const std::string& extra = "") {
    return tmp_.WriteFile("cfg/" + std::to_string(++configs_) + ".ini",
                          "[VELLORA]\ncustom_html_filename=\npath=" + path + "\n" + extra);
  }

  BatchOutcome Run(const std::string& config) {
    CMainSheet sheet(Env::Default());
    return RunBatchMode(&sheet, config);
  }

  std::string Page(const std::string& relative) { return ReadFileForTest(tmp_.Path(relative)); }

  TempFolder tmp_;
  std::string web_;
  int configs_ = 0;
};

TEST_F(BatchModeTest, UnreadableConfigurationBuildsNothing) {
  for (const std::string& name : {tmp_.Path("cfg/none.ini"), tmp_.MakeFolder("cfg/dir.ini")}) {
    const BatchOutcome o = Run(name);
    EXPECT_EQ(kExitNoConfig, o.status) << name;
    EXPECT_TRUE(Has(o.message, name)) << o.message;
  }
}

TEST_F(BatchModeTest, UnwritablePagesFailAndTheFirstIsNamed) {
  const std::string out = tmp_.Path("nowhere/index.html");
  const BatchOutcome o = Run(Config(web_, "output_filename=" + out + "\n"
                                          "recursive_build=TRUE\nmulti_recurse_link=TRUE\n"));
  EXPECT_EQ(kExitBuildFailed, o.status);
  EXPECT_EQ("could not write \"" + out + "\" and 1 more page(s)", o.message);
  EXPECT_FALSE(std::filesystem::exists(tmp_.Path("nowhere")));
}

// The system with one folder that can be entered but not read.
class UnreadableFolderEnv : public CForwardingEnv {
 public:
  explicit UnreadableFolderEnv(const std::string& folder)
      : CForwardingEnv(Env::Default()), folder_(folder) {}
  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    return folder != folder_ && inner()->ListFolder(folder, pattern, visit);
  }
  bool ListSubfolders(const std::string& folder,
                      const std::function<void(const FolderItem&)>& visit) override {
    return folder != folder_ && inner()->ListSubfolders(folder, visit);
  }

 private:
  std::string folder_;
};

TEST_F(BatchModeTest, UnreadableFolderFailsAndKeepsItsPage) {
  tmp_.WriteFile("web/index.html", "old");
  UnreadableFolderEnv env(web_);
  CMainSheet sheet(&env);
  const BatchOutcome o = RunBatchMode(&sheet, Config(web_));
  EXPECT_EQ(kExitBuildFailed, o.status);
  EXPECT_EQ("cannot read the folder \"" + web_ + "\"; its page was left as it was", o.message);
  EXPECT_EQ("old", Page("web/index.html"));
}

// Sees one page's name as a link, which the backend never writes.
class LinkedPageEnv : public CForwardingEnv {
 public:
  LinkedPageEnv(Env* inner, std::string link) : CForwardingEnv(inner), link_(std::move(link)) {}
  bool IsLink(const std::string& path) override { return path == link_; }
  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>& pieces) override {
    return path != link_ && inner()->WritePiecesSafely(path, pieces);
  }

 private:
  std::string link_;
};

TEST_F(BatchModeTest, APageThatIsALinkIsNamedWithTheReason) {
  const std::string link = tmp_.Path("web/sub/index.html");
  LinkedPageEnv env(Env::Default(), link);
  CMainSheet sheet(&env);
  const BatchOutcome o =
      RunBatchMode(&sheet, Config(web_, "recursive_build=TRUE\nmulti_recurse_link=TRUE\n"));
  EXPECT_EQ(kExitBuildFailed, o.status);
  EXPECT_EQ("could not write \"" + link + "\" (a link: pages are never written through links)",
            o.message);
  EXPECT_TRUE(Has(Page("web/index.html"), "x.txt"));  // the other page is written
}

TEST_F(BatchModeTest, RelativeFolderIsTakenFromTheCurrentFolder) {
  Env* env = Env::Default();
  std::string before;
  ASSERT_TRUE(env->GetCurrentFolder(&before));
  ASSERT_TRUE(env->SetCurrentFolder(tmp_.path()));
  const BatchOutcome o = Run(Config("web", "recursive_build=TRUE\nmulti_recurse_link=TRUE\n"));
  std::string after;
  env->GetCurrentFolder(&after);
  env->SetCurrentFolder(before);
  EXPECT_EQ(kExitBuilt, o.status) << o.message;
  EXPECT_EQ(tmp_.path(), after);
  EXPECT_TRUE(Has(Page("web/index.html"), "x.txt"));
  EXPECT_TRUE(Has(Page("web/sub/index.html"), "y.txt"));
}

TEST_F(BatchModeTest, FlagsMeantAsTrueAreWarnedAboutAndReadAsFalse) {
  const BatchOutcome o = Run(Config(web_, "include_date=yes\nhref20=TRUE\nxml_compliant=no\n"));
  EXPECT_EQ(kExitBuilt, o.status) << o.message;
  ASSERT_EQ(1u, o.warnings.size());
  EXPECT_TRUE(Has(o.warnings[0], "\"yes\" of the key \"include_date\" reads as FALSE"));
  EXPECT_TRUE(Has(Page("web/index.html"), "x.txt"));
}

TEST(IndexAppTest, OptionsAndUsage) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  ASSERT_TRUE(out != nullptr && err != nullptr);
  CIndexApp app(Env::Default());
  EXPECT_EQ(0, app.InitInstance("--version", out, err));
  EXPECT_EQ(0, app.InitInstance("--help", out, err));
  EXPECT_EQ(2, app.InitInstance("", out, err));
  EXPECT_EQ(2, app.InitInstance("no such file, surely.ini", out, err));
  auto text = [](std::FILE* f) {
    std::string s;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
    std::fclose(f);
    return s;
  };
  const std::string o = text(out), e = text(err);
  EXPECT_EQ(0u, o.find("vellora v4.6\nusage: vellora CONFIG.ini"));
  EXPECT_EQ(0u, e.find("usage:"));
  EXPECT_TRUE(Has(e, "vellora: cannot read the configuration file \"")) << e;
  EXPECT_TRUE(Has(e, "no such file, surely.ini\"\n")) << e;
}

// Runs out of memory when it lists a folder.
template <typename Exception>
class ExhaustedEnv : public CForwardingEnv {
 public:
  using CForwardingEnv::CForwardingEnv;
  bool ListFolder(const std::string&, const std::string&,
                  const std::function<void(const FolderItem&)>&) override {
    throw Exception("exhausted");
  }
};

std::string Text(std::FILE* f) {
  std::string s;
  std::rewind(f);
  for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
  std::fclose(f);
  return s;
}

TEST_F(BatchModeTest, RunningOutOfMemoryEndsWithOneLineAndKeepsTheOldPage) {
  const std::string config = Config(web_);
  const std::string page = tmp_.WriteFile("web/index.html", "old page");
  ExhaustedEnv<std::length_error> too_long(Env::Default());
  struct BadAlloc : std::bad_alloc {
    explicit BadAlloc(const char*) {}
  };
  ExhaustedEnv<BadAlloc> no_memory(Env::Default());
  for (Env* env : std::vector<Env*>{&no_memory, &too_long}) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out != nullptr && err != nullptr);
    EXPECT_EQ(kExitBuildFailed, CIndexApp(env).InitInstance(config, out, err));
    EXPECT_EQ("", Text(out));
    EXPECT_EQ("vellora: out of memory\n", Text(err));
    EXPECT_EQ("old page", ReadFileForTest(page));
  }
}

}  // namespace
}  // namespace vellora
