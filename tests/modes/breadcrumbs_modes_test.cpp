// The trail of "%%BREADCRUMBS" and the readme in every build mode.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "custom/custom_html.h"
#include "modes/index_builder.h"
#include "modes/modes_test_env.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

const char kStep[] = "<span aria-hidden=\"true\"> / </span>";

std::string Trail(const std::string& page) {
  const size_t from = page.find("<nav");
  const size_t to = page.find("</nav>");
  if (from == std::string::npos || to == std::string::npos) return "<none>";
  return page.substr(page.find('>', from) + 1, to - page.find('>', from) - 1);
}

std::string Current(const std::string& name) {
  return "<span aria-current=\"page\">" + name + "</span>";
}

class BreadcrumbsModesTest : public ::testing::Test {
 protected:
  // web/{x.txt, README.txt, a/{y.txt, a1/z.txt}}
  void SetUp() override {
    tmp_.WriteFile("web/x.txt", "x");
    tmp_.WriteFile("web/README.txt", "top readme");
    tmp_.WriteFile("web/a/y.txt", "y");
    tmp_.WriteFile("web/a/a1/z.txt", "z");
    tmp_.WriteFile("tpl/page.txt", "/START\r\n%%BREADCRUMBS\r\n");
    tmp_.WriteFile("tpl/frameset.txt", "<frame src=\"left.html\"><frame src=\"right.html\">");
    web_ = tmp_.Path("web");
    PlainSettings(&s_, &words_, web_);
    s_.custom_html_filename = tmp_.Path("tpl/page.txt");
    s_.readme_names = "README.txt";
  }
  std::string Page(const std::string& relative, const std::string& name = "index.html") {
    return env_.pages[tmp_.Path("web/" + relative + name)];
  }

  TempFolder tmp_;
  std::string web_;
  CDefaultWords words_;
  CBuildSettings s_;
  ModesTestEnv env_;
};

TEST_F(BreadcrumbsModesTest, EachModeShowsTheWayFromTheTop) {
  const std::string up2 = "<a href=\"../../index.html\">web</a>";
  struct Case {
    const char* what;
    std::function<void(CBuildSettings*)> mode;
    std::string page, want;
  };
  const Case cases[] = {
      {"single folder", [](CBuildSettings*) {}, "", Current("web")},
      {"one page for the branch",
       [](CBuildSettings* s) { s->recursive_build = 1; }, "", Current("web")},
      {"per folder", [](CBuildSettings* s) { s->recursive_build = s->multi_recurse_link = 1; },
       "a/a1/", up2 + kStep + "<a href=\"../index.html\">a</a>" + kStep + Current("a1")},
      {"per folder, links to the folders",
       [](CBuildSettings* s) {
         s->recursive_build = s->multi_recurse_link = 1;
         s->link_folders_to_output_name = 0;
       },
       "a/", "<a href=\"../\">web</a>" + std::string(kStep) + Current("a")},
      {"per folder without the top page",
       [](CBuildSettings* s) {
         s->recursive_build = s->multi_recurse_link = s->multi_recurse_skip_root = 1;
       },
       "a/", "web" + std::string(kStep) + Current("a")},
  };
  for (const Case& c : cases) {
    PlainSettings(&s_, &words_, web_);
    s_.custom_html_filename = tmp_.Path("tpl/page.txt");
    s_.recursive_build = s_.multi_recurse_link = s_.multi_recurse_skip_root = 0;
    s_.link_folders_to_output_name = 1;
    c.mode(&s_);
    env_.pages.clear();
    CIndexBuilder b(&s_, &env_);
    b.BuildFromTop(nullptr);
    EXPECT_EQ(Trail(Page(c.page)), c.want) << c.what;
  }
}

TEST_F(BreadcrumbsModesTest, FramedSiteRightPagesHaveTrailAndReadme) {
  s_.recursive_build = s_.multi_recurse_link = 1;
  CIndexBuilder b(&s_, &env_);
  b.FramedSiteBuild(nullptr, tmp_.Path("tpl/frameset.txt"), tmp_.Path("tpl/page.txt"),
                    tmp_.Path("tpl/page.txt"));
  EXPECT_EQ(Trail(Page("a/", "right.html")),
            "<a href=\"../right.html\">web</a>" + std::string(kStep) + Current("a"));
  EXPECT_EQ(Trail(Page("", "left.html")), Current("web"));
  // The readme stands beside the files, not in the folder list.
  EXPECT_NE(Page("", "right.html").find(">top readme</pre>"), std::string::npos);
  EXPECT_EQ(Page("", "left.html").find("<pre"), std::string::npos);
  EXPECT_EQ(s_.readme_names, "README.txt");
}

}  // namespace
}  // namespace vellora
