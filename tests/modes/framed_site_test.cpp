// The framed site: frameset page, left page, right pages, and the fields the
// build leaves behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "settings/build_settings.h"
#include "custom/custom_html.h"
#include "modes/framed_site.h"
#include "modes/modes_test_env.h"
#include "modes/index_builder.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

const char kFrameset[] =
    "<html><frameset cols=\"20%,80%\">\r\n"
    "<frame SRC=\"left.htm\" name=\"menu\">\r\n"
    "<frame src=\"right.htm\" name=\"main\">\r\n"
    "</frameset></html>\r\n";

TEST(FrameSourceNamesTest, TakesTheFirstTwoDoubleQuotedSources) {
  std::string t = kFrameset;
  LowerFrameSources(&t);
  EXPECT_FALSE(Has(t, "SRC="));
  std::string left, right;
  ASSERT_TRUE(FrameSourceNames(t, &left, &right));
  EXPECT_EQ("left.htm", left);
  EXPECT_EQ("right.htm", right);
}

TEST(FrameSourceNamesTest, OnlyTheExactUpperCaseSpellingIsLowered) {
  std::string t = "<frame Src=\"a\"><frame SRC =\"b\"><frame SRC=\"c\">";
  LowerFrameSources(&t);
  EXPECT_EQ("<frame Src=\"a\"><frame SRC =\"b\"><frame src=\"c\">", t);
}

TEST(FrameSourceNamesTest, SingleQuotedNamesRunToTheNextDoubleQuote) {
  std::string left, right;
  ASSERT_TRUE(FrameSourceNames("<frame src='l.htm' name=\"m\"><frame src='r.htm' id=\"x\">",
                               &left, &right));
  EXPECT_EQ("l.htm' name=", left);
  EXPECT_EQ("r.htm' id=", right);
}

TEST(FrameSourceNamesTest, FewerThanTwoUsableSourcesAreRefused) {
  std::string left = "keep", right = "keep";
  for (const char* t : {"", "<frame src=\"one.htm\">", "<frame src=\"a.htm\"><frame src=\"\">",
                        "<frame src=\"a.htm\"><frame src=\"unclosed", "src=", "src=\"b\" src="}) {
    EXPECT_FALSE(FrameSourceNames(t, &left, &right)) << t;
  }
  EXPECT_EQ("keep", left);
  EXPECT_EQ("keep", right);
}

class FramedSiteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp_.WriteFile("site/x.txt", "x");
    tmp_.WriteFile("site/a/y.txt", "y");
    tmp_.WriteFile("site/b/w.txt", "w");
    site_ = tmp_.Path("site");
    frameset_ = tmp_.WriteFile("tpl/frameset.txt", kFrameset);
    left_ = tmp_.WriteFile("tpl/left.txt", "/START\r\nLEFT-TEMPLATE\r\n");
    right_ = tmp_.WriteFile("tpl/right.txt", "/START\r\nRIGHT-TEMPLATE\r\n");
    PlainSettings(&s_, &words_, site_);
    s_.recursive_build = 1;
    s_.multi_recurse_link = 1;
    s_.build_framed_site = 1;
    s_.supress_parent_link = 0;
  }

  std::string In(const std::string& relative) const { return tmp_.Path(relative); }

  TempFolder tmp_;
  std::string site_, frameset_, left_, right_;
  CDefaultWords words_;
  CBuildSettings s_;
  ModesTestEnv env_;
};

TEST_F(FramedSiteTest, WritesFramesetLeftPageAndARightPageInEveryFolder) {
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(1 + 3, b.FramedSiteBuild(nullptr, frameset_, left_, right_));

  std::string expected = kFrameset;
  LowerFrameSources(&expected);
  EXPECT_EQ(expected, ReadFileForTest(In("site/index.html")));
  EXPECT_EQ(In("site/index.html"), b.main_file_path);

  const std::string left = ReadFileForTest(In("site/left.htm"));
  EXPECT_TRUE(Has(left, "LEFT-TEMPLATE"));
  EXPECT_TRUE(Has(left, "a/right.htm"));  // each folder opens its right page
  EXPECT_TRUE(Has(left, "b/right.htm"));
  EXPECT_FALSE(Has(left, "x.txt"));       // no files on the left

  const std::string top = ReadFileForTest(In("site/right.htm"));
  EXPECT_TRUE(Has(top, "RIGHT-TEMPLATE"));
  EXPECT_TRUE(Has(top, "x.txt"));
  EXPECT_FALSE(Has(top, "a/right.htm"));  // the top right page has no folder table
  EXPECT_TRUE(Has(ReadFileForTest(In("site/a/right.htm")), "y.txt"));
  EXPECT_TRUE(Has(ReadFileForTest(In("site/b/right.htm")), "w.txt"));
  EXPECT_EQ("<missing>", ReadFileForTest(In("site/a/left.htm")));
}

TEST_F(FramedSiteTest, LeftPageListsSubfoldersEvenWhenRightPagesDoNot) {
  s_.include_subfolders = 0;
  tmp_.WriteFile("site/a/deep/z.txt", "z");
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(1 + 4, b.FramedSiteBuild(nullptr, frameset_, left_, right_));
  const std::string left = ReadFileForTest(In("site/left.htm"));
  EXPECT_TRUE(Has(left, "a/right.htm"));
  EXPECT_FALSE(Has(left, "deep"));  // only the immediate subfolders
  EXPECT_FALSE(Has(ReadFileForTest(In("site/a/right.htm")), "deep/right.htm"));
}

TEST_F(FramedSiteTest, FieldsLeftBehindAreThoseOfTheRightPass) {
  s_.multi_recurse_skip_root = 1;
  s_.file_spec = "*.txt";
  s_.folder_columns = 3;
  s_.include_summary = 1;
  s_.supress_headers = 0;
  CIndexBuilder b(&s_, &env_);
  b.FramedSiteBuild(nullptr, frameset_, left_, right_);
  EXPECT_EQ(1, s_.recursive_build);
  EXPECT_EQ(1, s_.multi_recurse_link);
  EXPECT_EQ(1, s_.build_framed_site);
  EXPECT_EQ("right.htm", s_.output_filename);
  EXPECT_EQ("right.htm", s_.custom_html.section(kFolderFileLink));
  EXPECT_EQ(1, s_.reload_custom_html);
  EXPECT_EQ(0, s_.framed_right_pass);
  EXPECT_EQ("", s_.root_folder);
  EXPECT_EQ(0, s_.multi_recurse_skip_root);
  EXPECT_EQ(0, s_.supress_parent_link);
  EXPECT_EQ("*.txt", s_.file_spec);
  EXPECT_EQ(3, s_.folder_columns);
  EXPECT_EQ(1, s_.include_summary);
  EXPECT_EQ(0, s_.supress_headers);
  EXPECT_EQ(site_, s_.path);
}

TEST_F(FramedSiteTest, UnusableFramesetWritesNothing) {
  const std::string one_frame = tmp_.WriteFile("tpl/one.txt", "<frame src=\"only.htm\">");
  const std::string empty = tmp_.WriteFile("tpl/empty.txt", "");
  for (const std::string& t : {In("tpl/missing.txt"), empty, one_frame}) {
    CIndexBuilder b(&s_, &env_);
    EXPECT_EQ(0, b.FramedSiteBuild(nullptr, t, left_, right_)) << t;
  }
  EXPECT_TRUE(env_.writes.empty());
  EXPECT_EQ("<missing>", ReadFileForTest(In("site/index.html")));
}

#ifndef _WIN32
// A link out of the tree gets no right page; the left page opens the
// folder itself.
TEST_F(FramedSiteTest, LinkOutOfTheTreeGetsNoRightPage) {
  tmp_.WriteFile("outside/o.txt", "o");
  std::filesystem::create_directory_symlink(In("outside"), In("site/out"));
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(1 + 3, b.FramedSiteBuild(nullptr, frameset_, left_, right_));
  const std::string left = ReadFileForTest(In("site/left.htm"));
  EXPECT_TRUE(Has(left, "href=\"out/\""));
  EXPECT_TRUE(Has(left, "href=\"a/right.htm\""));
  EXPECT_EQ("<missing>", ReadFileForTest(In("outside/right.htm")));
}
#endif

TEST_F(FramedSiteTest, EmptyPathWritesNothing) {
  s_.path.clear();
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(0, b.FramedSiteBuild(nullptr, frameset_, left_, right_));
  EXPECT_TRUE(env_.writes.empty());
}

TEST_F(FramedSiteTest, FramesetWithAFullOutputPathGoesThere) {
  s_.output_filename = In("tpl/frames.html");
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(4, b.FramedSiteBuild(nullptr, frameset_, left_, right_));
  EXPECT_TRUE(Has(ReadFileForTest(In("tpl/frames.html")), "src=\"left.htm\""));
  EXPECT_EQ("<missing>", ReadFileForTest(In("site/index.html")));
}

}  // namespace
}  // namespace vellora
