// Text that comes from the listed tree (folder names and paths, files of the
// tree included into a page) is never taken for the user's own HTML: no
// anchor marker is found in it and it includes no file from outside the tree.
#include <gtest/gtest.h>

#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "custom/custom_html.h"
#include "html/page_fixture.h"

namespace vellora {
namespace pagetest {
namespace {

const std::string kSep(1, kSeparator);

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class TreeTextTest : public PageTest {
 protected:
  TreeTextTest() {
    settings.reload_custom_html = 0;
    settings.include_subfolders = 0;
  }
  std::string& Section(int n) { return settings.custom_html.section(n); }
};

// A hostile tree: its footer names a file beside the tree by its full path,
// through "..", and through links; only the file inside the tree is read.
// The user's own section still includes any file it names.
TEST_F(TreeTextTest, IncludedTreeFilesReadNothingOutsideTheTree) {
  const std::string secret = temp.WriteFile("secret.txt", "SECRET");
  temp.WriteFile("Data/inside.txt", "INSIDE");
  std::string footer = "[%%FILE" + secret + "%][%%FILE.." + kSep + "secret.txt%][%%FILEinside.txt%]";
#ifndef _WIN32
  ASSERT_EQ(symlink(secret.c_str(), (root + "/out_link.txt").c_str()), 0);
  ASSERT_EQ(symlink("inside.txt", (root + "/in_link.txt").c_str()), 0);
  ASSERT_EQ(symlink(secret.c_str(), (root + "/footer2.txt").c_str()), 0);
  footer += "[%%FILEout_link.txt%][%%FILEin_link.txt%]";
  // The user names the footer; in the listed folder it is a link out.
  Section(kBeforeSummary) = "(%%FILEfooter2.txt%)\r\n";
#endif
  temp.WriteFile("Data/footer.txt", footer);
  Section(kStart) = "%%FILE" + secret + "%\r\n";
  Section(kEnd) = "%%FILEfooter.txt%\r\n";
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(page.find("<body>\r\nSECRET\r\n"), std::string::npos) << page;
#ifdef _WIN32
  EXPECT_NE(page.find("[][][INSIDE]\r\n</body></html>"), std::string::npos) << page;
#else
  EXPECT_NE(page.find("[][][INSIDE][][INSIDE]\r\n</body></html>"), std::string::npos) << page;
  EXPECT_NE(page.find("</table>\r\n()\r\n"), std::string::npos) << page;
#endif
  EXPECT_EQ(Count(page, "SECRET"), 1u) << page;
}

// Folders and files named like the anchor marker, in the listed folder's
// path, in headings and in an included file of the tree, on a page with
// folder headings and anchors: the table stands once, where the writer and
// the user's sections put the marker, and every name stays whole.
TEST_F(TreeTextTest, MarkerInNamesAndTreeFilesIsText) {
  const std::string listed = Folder("INSERT_FOLDER_ANCHORS");
  settings.path = listed;
  settings.root_folder = listed;
  File("INSERT_FOLDER_ANCHORS/INSERT_FOLDER_ANCHORS.txt");
  File("INSERT_FOLDER_ANCHORS/INSERT_FOLDER_ANCHORS/a.txt");
  File("INSERT_FOLDER_ANCHORS/my INSERT_FOLDER_ANCHORS/b.txt");
  temp.WriteFile("Data/INSERT_FOLDER_ANCHORS/foot.txt", "<u>INSERT_FOLDER_ANCHORS</u>");
  const std::string anchor_word = "<b>文件夹锚点</b>";
  for (int grouped = 0; grouped < 2; ++grouped) {
    if (grouped != 0) GroupedBranch();
    settings.include_subfolders = 0;
    Section(kStart) = "<p>%%DIR|%%FOLDER</p>\r\n";
    Section(kEnd) = "%%FILEfoot.txt%<i>INSERT_FOLDER_ANCHORS</i>\r\n";
    builder->scan_root.clear();
    ASSERT_EQ(WriteFolder(listed), 1);
    EXPECT_NE(page.find("<p>" + listed + "|INSERT_FOLDER_ANCHORS</p>"), std::string::npos) << page;
    EXPECT_NE(page.find("<u>INSERT_FOLDER_ANCHORS</u>"), std::string::npos) << page;
    EXPECT_NE(page.find(">INSERT_FOLDER_ANCHORS.txt</a>"), std::string::npos) << page;
    if (grouped == 0) {
      EXPECT_NE(page.find("<i></i>"), std::string::npos) << page;
      continue;
    }
    // The writer's marker and the user's one.
    EXPECT_EQ(Count(page, anchor_word), 2u) << page;
    EXPECT_NE(page.find("<i><table"), std::string::npos) << page;
    EXPECT_NE(page.find(": INSERT_FOLDER_ANCHORS</b>"), std::string::npos) << page;
    EXPECT_NE(page.find(": my INSERT_FOLDER_ANCHORS</b>"), std::string::npos) << page;
    EXPECT_NE(page.find(">my INSERT_FOLDER_ANCHORS</a>"), std::string::npos) << page;
  }
}

}  // namespace
}  // namespace pagetest
}  // namespace vellora
