#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "html/page_fixture.h"
#include "platform/file_time.h"

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

// Sizes and times at the ends of what file systems hold: the total is held
// at the largest number instead of wrapping, and times beyond conversion are
// shown as unknown.
TEST_F(SummaryTest, ExtremeSizesAndTimes) {
  File("a");
  File("b");
  settings.include_subfolders = 0;
  settings.include_time = 0;
  struct Case {
    uint64_t size_a, size_b;
    FileTime time;
    const char* size_cell;  // of "a"
    const char* date_cell;
    const char* total;
  };
  const uint64_t kMax = INT64_MAX;
  const Case cases[] = {
      {kMax, kMax, 0, "9,223,372,036,854,775,807", "&nbsp;&nbsp;1/01/01",
       "9,223,372,036,854,775,807"},
      {~uint64_t{0}, 1, FileTimeFromUnix(INT64_MAX, 999999999), "9,223,372,036,854,775,807", "?",
       "9,223,372,036,854,775,807"},
      {kMax - 1, 1, ~FileTime{0}, "9,223,372,036,854,775,806", "?",
       "9,223,372,036,854,775,807"},
      {1, 2, FileTimeFromUnix(-1, 0), "1", "&nbsp;12/31/69", "3"},
      {1, 2, FileTimeFromUnix(INT64_MIN, 0), "1", "&nbsp;&nbsp;1/01/01", "3"},
      {1, 2, kLastConvertibleFileTime, "1", "&nbsp;&nbsp;9/14/28", "3"},
  };
  for (const Case& c : cases) {
    env->change_item = [&c](FolderItem* item) {
      if (item->is_folder) return;
      item->size = item->name == "a" ? c.size_a : c.size_b;
      item->write_time = c.time;
    };
    ASSERT_EQ(Write(), 1);
    const std::string row_a = Slice("<tr><td align=\"left\"><a href=\"a\"", "<tr><td align=\"left\"><a href=\"a\"");
    EXPECT_NE(row_a.find(std::string("&nbsp;&nbsp;") + c.size_cell + "&nbsp;&nbsp;</td>"),
              std::string::npos)
        << row_a;
    EXPECT_NE(row_a.find(std::string(">") + c.date_cell + "</td>"), std::string::npos) << row_a;
    EXPECT_NE(Summary().find(std::string("所有文件的大小:  ") + c.total + "<br>"),
              std::string::npos)
        << Summary();
  }
  // The kilobyte total of the largest total rounds without wrapping.
  env->change_item = [](FolderItem* item) { item->size = INT64_MAX; };
  settings.sizes_by_k = 1;
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(Summary().find("所有文件的大小:  9,007,199,254,740,992 K<br>"), std::string::npos)
      << Summary();
}

}  // namespace
}  // namespace pagetest
}  // namespace vellora
