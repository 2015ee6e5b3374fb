#include <gtest/gtest.h>

#include <string>

#include "html/page_fixture.h"

namespace vellora {
namespace pagetest {
namespace {

class SummaryTest : public PageTest {
 protected:
  SummaryTest() {
    settings.include_summary = 1;
    settings.skip_files = "index.html";
  }
  std::string Summary() const {
    const size_t from = page.find("<p>\r\n");
    const size_t to = page.find("</body>");
    return from == std::string::npos ? "<none>" : page.substr(from, to - from);
  }
};

TEST_F(SummaryTest, FoldersFilesAndSize) {
  Folder("Docs");
  File("a.txt", 1234);
  File("b.txt", 56);
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(Summary(),
            "<p>\r\n合计文件夹:  2\r\n<br>合计文件:  2\r\n<br>所有文件的大小:  1,290<br>"
            "\r\n</p>\r\n");
  settings.sizes_by_k = 1;
  settings.xml_compliant = 1;
  settings.include_subfolders = 0;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(Summary(), "<p>\r\n合计文件:  2\r\n<br />所有文件的大小:  1 K<br />\r\n</p>\r\n");
}

TEST_F(SummaryTest, EmptyPartsAndLargeTotals) {
  // The parent link counts as a folder; no file line without files.
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(Summary(), "<p>\r\n合计文件夹:  1\r\n<br>\r\n</p>\r\n");
  // Neither: the first right-frame page.
  builder->first_right_frame_page = 1;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(Summary(), "<p>\r\n\r\n</p>\r\n");
  // Totals beyond 32 bits are exact.
  File("a", 3221225472ULL);
  File("b", 3221225472ULL);
  settings.include_subfolders = 0;
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(Summary().find("所有文件的大小:  6,442,450,944<br>"), std::string::npos);
}

}  // namespace
}  // namespace pagetest
}  // namespace vellora
