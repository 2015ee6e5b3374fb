#include <gtest/gtest.h>

#include <string>

#include "html/page_fixture.h"

namespace vellora {
namespace pagetest {
namespace {

class FolderTableTest : public PageTest {
 protected:
  FolderTableTest() { settings.skip_files = "index.html"; }

  // The folder table, from its first row to "<p></p>".
  std::string Table() const {
    const size_t from = page.find("<table");
    const size_t to = page.find("<p></p>");
    return from == std::string::npos || to == std::string::npos ? "<none>"
                                                                : page.substr(from, to - from);
  }
};

TEST_F(FolderTableTest, RowsAndColumns) {
  Folder("c");
  Folder("a");
  Folder("b");
  Folder(".git");
  settings.supress_parent_link = 1;
  settings.folder_columns = 2;
  settings.column_wise_sort = 0;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(Table(),
            "<table cellpadding=\"0\" cellspacing=\"0\" border=\"0\"><tr><td colspan=\"2\">"
            "<b>文件夹</b>&nbsp;</td></tr>\r\n"
            "<tr><td><a href=\"a/\">a</a>&nbsp;&nbsp;</td><td><a href=\"b/\">b</a>&nbsp;&nbsp;</td>"
            "</tr>\r\n<tr><td><a href=\"c/\">c</a>&nbsp;&nbsp;</td></tr></table>\r\n");
  // A skipped folder is left out; the headers can go.
  settings.skip_folders = temp.Path("Data/b");
  settings.supress_headers = 1;
  settings.column_wise_sort = 1;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(Table(),
            "<table cellpadding=\"0\" cellspacing=\"0\" border=\"0\"><tr>"
            "<td><a href=\"a/\">a</a>&nbsp;&nbsp;</td><td><a href=\"c/\">c</a>&nbsp;&nbsp;</td>"
            "</tr>\r\n</table>\r\n");
}

TEST_F(FolderTableTest, LinkTargetsAndTexts) {
  Folder("A&B (old)");
  settings.full_pathname_links = 1;
  settings.reload_custom_html = 0;
  settings.custom_html.section(kFolderFileLink) = "wrong.html";
  builder->folder_link_override = "index.html";
  ASSERT_EQ(Write(), 1);
  std::string base = root + "/";
  for (char& c : base) c = c == '\\' ? '/' : c;
  EXPECT_NE(page.find("<a href=\"File://" + base + "../index.html\">{parent folder}</a>"),
            std::string::npos);
  EXPECT_NE(page.find("<a href=\"File://" + base +
                      "A&amp;B%20&#40;old&#41;/index.html\">A&amp;B &#40;old&#41;</a>"),
            std::string::npos);
}

TEST_F(FolderTableTest, ParentLink) {
  File("a.txt");
  // No parent link on the top page of a one-page-per-folder build...
  settings.recursive_build = 1;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(page.find("{parent folder}"), std::string::npos);
  // ...but on the pages below it.
  settings.root_folder = temp.path();
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(page.find("{parent folder}"), std::string::npos);
  // Never on a file-system root.
  settings.recursive_build = 0;
#ifdef _WIN32
  settings.path = "C:\\";
#else
  settings.path = "/";
#endif
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(page.find("{parent folder}"), std::string::npos);
}

// A page that lists the branch with folder headings and anchors.
class AnchorTableTest : public PageTest {
 protected:
  AnchorTableTest() { GroupedBranch(); }
  std::string AnchorTable() const {
    const size_t from = page.find("<table");
    const size_t to = page.find("<br>\r\n", from);
    return to == std::string::npos ? "<none>" : page.substr(from, to + 6 - from);
  }
};

TEST_F(AnchorTableTest, TwoColumns) {
  File("My Docs/a.txt");
  File("Pics/b.txt");
  settings.folder_columns = 2;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(AnchorTable(), Lines({"<table cellpadding=\"0\" cellspacing=\"0\" border=\"0\">",
                                  "<tr><td colspan=\"2\"><b>文件夹锚点</b><br></td></tr>",
                                  "<tr><td><a href=\"#IDMy_Docs\">My Docs</a>&nbsp;&nbsp;</td>"
                                  "<td><a href=\"#IDPics-\">Pics</a>&nbsp;&nbsp;</td></tr>",
                                  "</table>", "<br>"}));
  EXPECT_NE(page.find("<a id=\"IDMy_Docs\" name=\"IDMy_Docs\"></a>"), std::string::npos);
}

TEST_F(AnchorTableTest, RowsOfThree) {
  for (const char* f : {"a/x", "b/x", "c/x", "d d/e/x"}) File(f);
  settings.folder_columns = 3;
  settings.column_wise_sort = 0;
  settings.xml_compliant = 1;
  ASSERT_EQ(Write(), 1);
  const std::string sep(1, kSeparator);
  EXPECT_NE(page.find("<a href=\"#IDc-\">c</a>&nbsp;&nbsp;</td></tr>\r\n<tr><td><a "
                      "href=\"#IDd_d-e-\">d d" +
                      sep +
                      "e</a>&nbsp;&nbsp;</td></tr>\r\n"
                      "</table>\r\n<p></p>\r\n"),
            std::string::npos)
      << page;
  // Nothing of the table without anchors.
  settings.folder_anchors = 0;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(page.find("#ID"), std::string::npos);
}

}  // namespace
}  // namespace pagetest
}  // namespace vellora
