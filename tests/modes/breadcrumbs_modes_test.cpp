// The trail of "%%BREADCRUMBS" and the readme in every build mode.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "modes/index_builder.h"
#include "modes/modes_test_env.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

const std::string kStep = "<span aria-hidden=\"true\"> / </span>";

std::string Current(const std::string& name) {
  return "<span aria-current=\"page\">" + name + "</span>";
}

class BreadcrumbsModesTest : public ::testing::Test {
 protected:
  // web/{x.txt, README.txt, a/{y.txt, a1/z.txt}}; the template shows the trail.
  void SetUp() override {
    tmp_.WriteFile("web/README.txt", "top readme");
    tmp_.WriteFile("web/a/a1/z.txt", "z");
    tmp_.WriteFile("tpl/page.txt", "/START\r\n%%BREADCRUMBS\r\n");
    tmp_.WriteFile("tpl/frameset.txt", "<frame src=\"left.html\"><frame src=\"right.html\">");
  }
  void Settings() {
    PlainSettings(&s_, &words_, tmp_.Path("web"));
    s_.custom_html_filename = tmp_.Path("tpl/page.txt");
    s_.readme_names = "README.txt";
    s_.recursive_build = s_.multi_recurse_link = s_.multi_recurse_skip_root = 0;
    s_.link_folders_to_output_name = 1;
  }
  // The trail on the page `name` of the folder `relative` below web.
  std::string Trail(const std::string& relative, const std::string& name = "index.html") {
    const std::string& page = env_.pages[tmp_.Path("web/" + relative + name)];
    const size_t from = page.find('>', page.find("<nav")) + 1;
    return from == 0 ? "<none>" : page.substr(from, page.find("</nav>") - from);
  }

  TempFolder tmp_;
  CDefaultWords words_;
  CBuildSettings s_;
  ModesTestEnv env_;
};

TEST_F(BreadcrumbsModesTest, EachModeShowsTheWayFromTheTop) {
  const struct {
    std::function<void(CBuildSettings*)> mode;
    std::string folder, want;
  } cases[] = {
      {[](CBuildSettings*) {}, "", Current("web")},
      {[](CBuildSettings* s) { s->recursive_build = 1; }, "", Current("web")},
      {[](CBuildSettings* s) { s->recursive_build = s->multi_recurse_link = 1; }, "a/a1/",
       "<a href=\"../../index.html\">web</a>" + kStep + "<a href=\"../index.html\">a</a>" + kStep +
           Current("a1")},
      // Folder links to the folders themselves, and a skipped top page.
      {[](CBuildSettings* s) {
         s->recursive_build = s->multi_recurse_link = 1;
         s->link_folders_to_output_name = 0;
       },
       "a/", "<a href=\"../\">web</a>" + kStep + Current("a")},
      {[](CBuildSettings* s) {
         s->recursive_build = s->multi_recurse_link = s->multi_recurse_skip_root = 1;
       },
       "a/", "web" + kStep + Current("a")},
  };
  for (const auto& c : cases) {
    Settings();
    c.mode(&s_);
    env_.pages.clear();
    CIndexBuilder b(&s_, &env_);
    b.BuildFromTop(nullptr);
    EXPECT_EQ(Trail(c.folder), c.want) << c.folder;
  }
}

TEST_F(BreadcrumbsModesTest, FramedSiteRightPagesHaveTrailAndReadme) {
  Settings();
  s_.recursive_build = s_.multi_recurse_link = 1;
  CIndexBuilder b(&s_, &env_);
  b.FramedSiteBuild(nullptr, tmp_.Path("tpl/frameset.txt"), tmp_.Path("tpl/page.txt"),
                    tmp_.Path("tpl/page.txt"));
  EXPECT_EQ(Trail("a/", "right.html"), "<a href=\"../right.html\">web</a>" + kStep + Current("a"));
  EXPECT_EQ(Trail("", "left.html"), Current("web"));
  // The readme stands beside the files, not in the folder list.
  EXPECT_NE(env_.pages[tmp_.Path("web/right.html")].find(">top readme</pre>"), std::string::npos);
  EXPECT_EQ(env_.pages[tmp_.Path("web/left.html")].find("<pre"), std::string::npos);
  EXPECT_EQ(s_.readme_names, "README.txt");
}

}  // namespace
}  // namespace vellora
