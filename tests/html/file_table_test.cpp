#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>

#include "html/page_fixture.h"
#include "html/page_parts.h"

namespace vellora {
namespace pagetest {
namespace {

const char kRow[] = "<tr><td align=\"left\">";
const char kTable[] = "<table cellpadding=\"0\" cellspacing=\"0\" border=\"0\">";

class FileTableTest : public PageTest {
 protected:
  FileTableTest() {
    settings.include_subfolders = 0;
    settings.include_filesize = 0;
    settings.include_date = 0;
    settings.skip_files = "index.html";
  }

  // The link texts of the file rows, a row per line: "1 4|2 5|3".
  std::string RowLayout() const {
    static const std::regex kLink("<a href=\"[^\"]*\">([^<]*)</a>");
    std::string layout;
    size_t at = 0;
    while ((at = page.find(std::string("\n") + kRow + "<a", at)) != std::string::npos) {
      const size_t end = page.find('\n', at + 1);
      const std::string line = page.substr(at, end - at);
      std::string row;
      for (std::sregex_iterator m(line.begin(), line.end(), kLink), none; m != none; ++m) {
        row += (row.empty() ? "" : " ") + (*m)[1].str();
      }
      layout += (layout.empty() ? "" : "|") + row;
      at = end;
    }
    return layout;
  }

  // A page that lists a branch, folders first with headings.
  void Grouped() {
    settings.recursive_build = 1;
    settings.multi_recurse_link = 0;
    settings.sort_folders_first = 1;
    settings.show_folder_names = 1;
    builder->recurse_scan = 1;
  }
};

TEST_F(FileTableTest, ColumnLayout) {
  for (const char* name : {"1", "2", "3", "4", "5"}) File(name);
  settings.file_columns = 2;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(RowLayout(), "1 4|2 5|3");
  EXPECT_NE(page.find("3</a>&nbsp;</td></tr>\r\n</table>"), std::string::npos);
  settings.column_wise_sort = 0;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(RowLayout(), "1 2|3 4|5");
  // More columns than files: one header group, one closed row.
  settings.file_columns = 30;  // lowered to 20
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(settings.file_columns, 20);
  EXPECT_EQ(RowLayout(), "1 2 3 4 5");
}

TEST_F(FileTableTest, NaturalOrderIsLaidOutInColumns) {
  for (const char* name : {"f10", "f2", "f1", "f20", "f3"}) File(name);
  Folder("d10");
  Folder("d9");
  settings.include_subfolders = 1;
  settings.supress_parent_link = 1;
  settings.file_columns = 2;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(RowLayout(), "f1 f20|f10 f3|f2");
  EXPECT_LT(page.find(">d10<"), page.find(">d9<"));
  settings.natural_sort = 1;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(RowLayout(), "f1 f10|f2 f20|f3");
  EXPECT_LT(page.find(">d9<"), page.find(">d10<"));
}

TEST_F(FileTableTest, HeaderRow) {
  File("a");
  settings.file_columns = 3;
  settings.include_filesize = 1;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(Slice("<tr>", "<tr>"),
            Lines({"<tr><td align=\"left\"><b>文件名称</b>&nbsp;</td><td align=\"center\">"
                   "<b>大小</b>&nbsp;</td></tr>"}));
  settings.suppress_visible_links = 1;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(Slice("<tr>", std::string(kRow) + "<a"),
            Lines({"<tr><td></td><td align=\"center\"><b>大小</b>&nbsp;</td></tr>",
                   "<tr><td align=\"left\"><a href=\"a\"></a>&nbsp;</td>"
                   "<td align=\"right\">&nbsp;&nbsp;0&nbsp;&nbsp;</td></tr>"}));
  settings.supress_headers = 1;
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(page.find(std::string(kTable) + "\r\n" + kRow + "<a href"), std::string::npos);
}

TEST_F(FileTableTest, LinkOptions) {
  File("report.final.pdf");
  File("x (1) y.txt");
  settings.reload_custom_html = 0;
  settings.custom_html.section(kFileHrefAppend) = " title=\"%%F\"";
  settings.custom_html.section(kPostHrefFile) = "[%%F]";
  settings.suppress_extensions = 1;
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(page.find("<a href=\"report.final.pdf\" title=\"report.final.pdf\">report.final</a>"
                      "[report.final]&nbsp;</td>"),
            std::string::npos);
  EXPECT_NE(page.find("<a href=\"x%20&#40;1&#41;%20y.txt\" title=\"x (1) y.txt\">"
                      "x &#40;1&#41; y</a>"),
            std::string::npos);

  settings.suppress_extensions = 0;
  settings.href20 = 0;
  settings.replace_iso_chars = 0;
  settings.non_functional_links = 1;
  settings.custom_html.section(kFileHrefAppend).clear();
  settings.custom_html.section(kPostHrefFile).clear();
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(page.find("<a>x (1) y.txt</a>"), std::string::npos);

  // Full path names: the folder "My Data" with %20.
  settings.non_functional_links = 0;
  settings.href20 = 1;
  settings.full_pathname_links = 1;
  settings.path = root = temp.MakeFolder("My Data");
  File("a.txt");
  ASSERT_EQ(Write(), 1);
  std::string base = temp.path() + "/My%20Data/";
  for (char& c : base) c = c == '\\' ? '/' : c;
  EXPECT_NE(page.find("<a href=\"File://" + base + "a.txt\">a.txt</a>"), std::string::npos);
}

TEST_F(FileTableTest, SizeAndDateCells) {
  SetLocalWriteTime(File("big", 3221225472ULL), 2000, 2, 1, 0, 5);
  SetLocalWriteTime(File("small", 1536), 2009, 12, 31, 12, 30);
  settings.include_filesize = 1;
  settings.include_date = 1;
  settings.file_columns = 2;
  settings.column_wise_sort = 0;
  ASSERT_EQ(Write(), 1);
  // A date cell before another column ends with a gap; the last does not.
  EXPECT_NE(
      page.find("&nbsp;&nbsp;3,221,225,472&nbsp;&nbsp;</td><td align=\"right\">"
                "&nbsp;&nbsp;2/01/00</td><td align=\"right\">&nbsp;12:05&nbsp;am&nbsp;&nbsp;</td>"),
      std::string::npos)
      << page;
  EXPECT_NE(page.find("&nbsp;&nbsp;1,536&nbsp;&nbsp;</td><td align=\"right\">&nbsp;12/31/09</td>"
                      "<td align=\"right\">&nbsp;12:30&nbsp;pm</td></tr>"),
            std::string::npos);
  settings.sizes_by_k = 1;
  settings.euro_date_style = 1;
  settings.include_time = 0;
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(page.find("&nbsp;&nbsp;3.145.728&nbsp;K&nbsp;&nbsp;</td><td align=\"right\">"
                      "&nbsp;&nbsp;1/02/00&nbsp;&nbsp;</td>"),
            std::string::npos);
  EXPECT_NE(
      page.find("&nbsp;&nbsp;2&nbsp;K&nbsp;&nbsp;</td><td align=\"right\">&nbsp;31/12/09</td>"),
      std::string::npos);
}

TEST_F(FileTableTest, GroupedListing) {
  File("x.txt");
  File("My Docs/y.txt");
  Grouped();
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(
      Slice(std::string(kRow) + "<a", "<tr><td align=\"left\"><a href=\"My"),
      Lines({"<tr><td align=\"left\"><a href=\"x.txt\">x.txt</a>&nbsp;</td></tr>",
             "<tr><td colspan=\"1\"><a id=\"IDMy_Docs-\"></a><b>文件夹: My Docs</b></td></tr>",
             "<tr><td align=\"left\"><a href=\"My%20Docs/y.txt\">y.txt</a>&nbsp;</td></tr>"}));
  // The heading of the first folder, when the root has no files, opens the table.
  settings.folder_anchors = 0;
  settings.include_filesize = 1;
  settings.file_columns = 4;
  File("My Docs/z.txt");
  File("Pics/p.txt");
  ASSERT_EQ(0, std::remove(temp.Path("Data/x.txt").c_str()));
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(settings.file_columns, 2);  // no group is wider
  EXPECT_NE(page.find("<tr><td colspan=\"4\"><b>文件夹: My Docs&nbsp;&nbsp;</b></td></tr>\r\n"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("</tr>\r\n<tr><td colspan=\"2\"><b>文件夹: Pics</b></td></tr>\r\n"),
            std::string::npos);
}

TEST_F(FileTableTest, FolderNamesWithoutHeadings) {
  File("x.txt");
  File("sub/dir/y.txt");
  Grouped();
  settings.sort_folders_first = 0;
  ASSERT_EQ(Write(), 1);
  const std::string sep(1, kSeparator);
  EXPECT_NE(page.find("\">" + sep + "sub" + sep + "dir" + sep + "y.txt</a>"), std::string::npos);
  EXPECT_NE(page.find("\">x.txt</a>"), std::string::npos);
}

// A branch listed from a file-system root: the root's own files have the
// empty folder and get no heading of their own.
TEST_F(FileTableTest, BranchOfAFileSystemRoot) {
  Grouped();
  CFileList files;
  for (const char* name : {"r1", "docs/d", "r2"}) {
    const std::string folder = name[0] == 'd' ? "docs/" : "";
    auto entry = std::make_unique<CFileEntry>();
    entry->SetName(std::string(name).substr(folder.size()), env.get());
    entry->SetFolder(folder, env.get());
    files.AddHead(std::move(entry));
  }
  PageOutput out(builder.get());
  PageContext context;
  context.builder = builder.get();
  context.settings = &settings;
  context.words = &words;
  context.env = env.get();
  context.out = &out;
  OrderFileList(&context, &files);
  ASSERT_TRUE(WriteFileTable(&context, files));
  page = "\r\n" + out.Join("");
  EXPECT_EQ(Slice(std::string(kRow) + "<a", kRow + std::string("<a href=\"docs")),
            Lines({"<tr><td align=\"left\"><a href=\"r1\">r1</a>&nbsp;</td></tr>",
                   "<tr><td align=\"left\"><a href=\"r2\">r2</a>&nbsp;</td></tr>",
                   "<tr><td colspan=\"1\"><a id=\"IDdocs-\"></a><b>文件夹: docs</b></td></tr>",
                   "<tr><td align=\"left\"><a href=\"docs/d\">d</a>&nbsp;</td></tr>"}));
  EXPECT_EQ(context.anchors.size(), 1u);
}

}  // namespace
}  // namespace pagetest
}  // namespace vellora
