// The link check: the pages of every build mode pass as built, and each
// kind of damage is reported by exactly its lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "html/text_helpers.h"
#include "modes/run_build.h"
#include "platform/env.h"
#include "settings/build_settings.h"
#include "startup/link_check.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

using Lines = std::vector<std::string>;
using Keys = std::function<void(CBuildSettings*)>;

// Names that the writer must escape in text and in links.
std::vector<std::string> OddNames() {
  std::vector<std::string> names = {"a b/y&z.txt",  "a b/deep/%#.txt", "c/R&D (1).txt",
                                    "c/w.txt",      "x.txt",            " lead&amp;.txt",
                                    "it's;=+,.txt", ".svn/s.txt",       "c/.hidden.txt"};
  if (NamesAreUtf8()) {
    for (const char* name : {"q\"uote<b>.txt", "\xE4\xB8\xAD\xE6\x96\x87/\xC3\xBC.txt",
                             "bad\xFF\x1b[31m.txt", "back\\slash.txt", "javascript:x.txt", "what?.txt"}) {
      names.push_back(name);
    }
  }
  // Names of code page 936 are checked end to end under Wine (tests/e2e).
  return names;
}

class LinkCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& name : OddNames()) tmp_.WriteFile("web/" + name, "data");
    web_ = tmp_.Path("web");
    tmp_.WriteFile("tpl/frameset.txt",
                   "<html><frameset cols=\"20%,80%\"><frame SRC=\"left.htm\">"
                   "<frame src=\"right.htm\"></frameset></html>\r\n");
    frames_ = FrameFiles{tmp_.Path("tpl/frameset.txt"), tmp_.Path("tpl/none.txt"),
                         tmp_.Path("tpl/none.txt")};
  }

  void Fill(CBuildSettings* s, const Keys& keys) {
    s->path = web_;
    s->root_folder = web_;
    s->title = "T";
    s->custom_html_filename.clear();
    s->default_words = &words_;
    keys(s);
  }

  void Build(const Keys& keys) {
    CBuildSettings s;
    Fill(&s, keys);
    const BuildResult result = RunBuild(s, frames_, nullptr, Env::Default());
    ASSERT_TRUE(result.failed_pages.empty());
  }

  LinkCheckReport Check(const Keys& keys) {
    CBuildSettings s;
    Fill(&s, keys);
    return CheckLinks(s, frames_, Env::Default());
  }

  Lines CheckLines(const Keys& keys) { return LinkCheckLines(Check(keys), Env::Default()); }

  std::string Native(std::string relative) const {
    for (char& c : relative) {
      if (c == '/') c = kSeparator;
    }
    return relative;
  }

  TempFolder tmp_;
  std::string web_;
  FrameFiles frames_;
  CDefaultWords words_;
};

void PerFolder(CBuildSettings* s) {
  s->recursive_build = 1;
  s->multi_recurse_link = 1;
  s->output_filename = "list.htm";
}

TEST_F(LinkCheckTest, EveryBuildModePassesAsBuilt) {
  const struct {
    const char* mode;
    Keys keys;
  } kModes[] = {
      {"one page", [](CBuildSettings*) {}},
      {"one page, no folders", [](CBuildSettings* s) { s->include_subfolders = 0; }},
      {"branch in one page",
       [](CBuildSettings* s) {
         s->recursive_build = 1;
         s->show_folder_names = 1;
         s->folder_anchors = 1;
       }},
      {"page per folder", PerFolder},
      {"page per folder, skipped top, folder links",
       [](CBuildSettings* s) {
         PerFolder(s);
         s->multi_recurse_skip_root = 1;
         s->link_folders_to_output_name = 0;
         s->supress_parent_link = 0;
       }},
      {"page per folder, escapes",
       [](CBuildSettings* s) {
         PerFolder(s);
         s->href20 = 0;
         s->replace_iso_chars = 1;
         s->xml_compliant = 1;
       }},
      {"page per folder, full paths",
       [](CBuildSettings* s) {
         PerFolder(s);
         s->full_pathname_links = 1;
       }},
      {"framed site",
       [](CBuildSettings* s) {
         s->recursive_build = 1;
         s->build_framed_site = 1;
       }},
      {"framed site, right pages without folders",
       [](CBuildSettings* s) {
         s->recursive_build = 1;
         s->build_framed_site = 1;
         s->include_subfolders = 0;
       }},
  };
  for (const auto& m : kModes) {
    Build(m.keys);
    const LinkCheckReport report = Check(m.keys);
    EXPECT_TRUE(report.clean()) << m.mode << "\n"
                                << ::testing::PrintToString(LinkCheckLines(report, Env::Default()));
    EXPECT_GT(report.pages_checked, 0) << m.mode;
    EXPECT_GE(report.links_checked, 3) << m.mode;
    // A rebuild lists the pages of the first build too: still clean.
    Build(m.keys);
    EXPECT_TRUE(Check(m.keys).clean()) << m.mode << " rebuilt";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(web_)) {
      const std::string name = entry.path().filename().string();
      if (name == "index.html" || name == "list.htm" || name == "left.htm" || name == "right.htm") {
        std::filesystem::remove(entry.path());
      }
    }
  }
}

TEST_F(LinkCheckTest, DamageIsReportedLineByLine) {
  Build(PerFolder);
  const Lines clean = CheckLines(PerFolder);
  ASSERT_EQ(1u, clean.size());

  std::filesystem::remove(tmp_.Path("web/c/w.txt"));
  tmp_.WriteFile("web/new file.txt", "new");
  // Windows names hold no control characters.
  const bool posix = kSeparator == '/';
  tmp_.WriteFile(posix ? "web/c/new\x01.txt" : "web/c/new.txt", "new");
  std::filesystem::remove(tmp_.Path("web/a b/list.htm"));
  const Lines lines = CheckLines(PerFolder);
  const Lines expected = {
      "缺少的页面: " + Native("a b/list.htm"),
      "断开的链接: " + Native("c/list.htm") + " -> w.txt",
      "未链接: " + Native(posix ? "c/new\\x01.txt" : "c/new.txt"),
      "未链接: new file.txt",
  };
  ASSERT_EQ(expected.size() + 1, lines.size()) << ::testing::PrintToString(lines);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], lines[i]);
  EXPECT_EQ(0u, lines.back().find("检查了 "));
  EXPECT_NE(std::string::npos, lines.back().find(": 1 个断开, 2 个未链接, 1 个页面缺少"))
      << lines.back();
}

TEST_F(LinkCheckTest, DeadLinksOfACustomTemplate) {
  const std::string tpl = tmp_.WriteFile(
      "tpl/dead.txt",
      "/START\r\n<link href=\"style.css\" rel=\"stylesheet\"><a href=\"../x.txt#top\">x</a>"
      "<img src=\"gone%20.png\"><a href=\"http://example.com/\">e</a>\r\n");
  tmp_.WriteFile("web/style.css", "");
  const Keys keys = [&tpl](CBuildSettings* s) { s->custom_html_filename = tpl; };
  Build(keys);
  const Lines lines = CheckLines(keys);
  ASSERT_EQ(3u, lines.size()) << ::testing::PrintToString(lines);
  EXPECT_EQ("断开的链接: index.html -> ../x.txt#top", lines[0]);
  EXPECT_EQ("断开的链接: index.html -> gone%20.png", lines[1]);
}

}  // namespace
}  // namespace vellora
