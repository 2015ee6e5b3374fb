#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/page_fixture.h"
#include "html/page_output.h"
#include "html/page_parts.h"
#include "html/text_helpers.h"
#include "platform/path.h"
#include "support/progress_view.h"

namespace vellora {
namespace pagetest {
namespace {

const char kHtmlDoctype[] =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
    "\"http://www.w3.org/TR/html4/loose.dtd\">";

// HTML 4.01 pages in UTF-8 name their charset; on Windows they are in the
// system's code page, the browser's default there, as designed.
#ifdef _WIN32
const char kHtmlCharsetLine[] = "";
#else
const char kHtmlCharsetLine[] =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n";
#endif

class PageWriterTest : public PageTest {
 protected:
  // The files and the subfolder of the worked example.
  void ExampleFolder() {
    SetLocalWriteTime(File("a.txt", 1234), 2005, 1, 3, 14, 7);
    SetLocalWriteTime(File("b c.doc", 56), 2005, 1, 26, 9, 5);
    Folder("Docs");
  }
  std::string& Section(int n) { return settings.custom_html.section(n); }
};

TEST_F(PageWriterTest, WorkedExampleByteForByte) {
  ExampleFolder();
  ASSERT_EQ(Write(), 1);
  const std::string expected =
      Lines({kHtmlDoctype, "<html>", "<head>"}) + kHtmlCharsetLine +
      Lines({"<meta name=\"generator\" content=\"vellora\">", "<title>文件列表</title>",
             "</head>", "<body>",
             "<table cellpadding=\"0\" cellspacing=\"0\" border=\"0\"><tr><td colspan=\"1\">"
             "<b>文件夹</b>&nbsp;</td></tr>",
             "<tr><td><a href=\"../\">{parent folder}</a>&nbsp;&nbsp;</td></tr>",
             "<tr><td><a href=\"Docs/\">Docs</a>&nbsp;&nbsp;</td></tr>", "</table>", "<p></p>",
             "<table cellpadding=\"0\" cellspacing=\"0\" border=\"0\">",
             "<tr><td align=\"left\"><b>文件名称</b>&nbsp;</td><td align=\"center\"><b>大小</b>"
             "&nbsp;</td><td align=\"center\" colspan=\"2\"><b>日期</b>&nbsp;</td></tr>",
             "<tr><td align=\"left\"><a href=\"a.txt\">a.txt</a>&nbsp;</td><td align=\"right\">"
             "&nbsp;&nbsp;1,234&nbsp;&nbsp;</td><td align=\"right\">&nbsp;&nbsp;1/03/05</td>"
             "<td align=\"right\">&nbsp;2:07&nbsp;pm</td></tr>",
             "<tr><td align=\"left\"><a href=\"b%20c.doc\">b c.doc</a>&nbsp;</td>"
             "<td align=\"right\">&nbsp;&nbsp;56&nbsp;&nbsp;</td><td align=\"right\">"
             "&nbsp;&nbsp;1/26/05</td><td align=\"right\">&nbsp;9:05&nbsp;am</td></tr>",
             "</table>"}) +
      "</body></html>";
  EXPECT_EQ(page, expected);
  EXPECT_EQ(builder->main_file_path, root + kSeparator + "index.html");
  EXPECT_EQ(builder->pages_written, 1);
}

TEST_F(PageWriterTest, SkeletonOptions) {
  File("a.txt");
  // XHTML: its document type, the charset the page is written in, "/>".
  settings.xml_compliant = 1;
  settings.title.clear();
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(page.substr(0, page.find("</head>")),
            Lines({"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
                   "\"http://www.w3.org/TR/xhtml1/DTD/transitional.dtd\">",
                   "<html>", "<head>"}) +
                "<meta http-equiv=\"Content-type\" content=\"text/html; charset=" +
                env->CharsetName() + "\"/>\r\n<meta name=\"generator\" content=\"vellora\"/>\r\n");

  // A /DOCTYPE of one line break: no document type line; /BODYHEADER
  // replaces the body tag; no reload so the sections stay.
  settings.xml_compliant = 0;
  settings.reload_custom_html = 0;
  Section(kDoctype) = "\r\n";
  Section(kBodyHeader) = "<body class=\"x\">\r\n";
  Section(kHead) = "<style></style>\r\n";
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(page.substr(0, page.find("<table")),
            Lines({"<html>", "<head>"}) + kHtmlCharsetLine +
                Lines({"<meta name=\"generator\" content=\"vellora\">", "<style></style>",
                       "</head>", "<body class=\"x\">"}));

  // A language of the user's goes on the html element, as an attribute value.
  settings.html_lang = "zh-CN\"><x";
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(page.substr(0, page.find("<head>")), "<html lang=\"zh-CN&quot;&gt;&lt;x\">\r\n");
}

TEST_F(PageWriterTest, SectionTokensAndIncludes) {
  File("a.txt");
  temp.WriteFile("Data/one.txt", "[1]");
  temp.WriteFile("Data/two.txt", "[2]");
  settings.reload_custom_html = 0;
  settings.include_subfolders = 0;
  // 13:05 on 6 December 2026 (UTC; the local zone is UTC on POSIX).
  env->now = (1796562300ULL + 11644473600ULL) * 10000000ULL;
  Section(kStart) = "%%FOLDER|%%FILEone.txt%|%%FILEtwo.txt%\r\n";
  Section(kEnd) = "INSERT_FOLDER_ANCHORS%%DATE\r\n";
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(page.find("<body>\r\nData|[1]|[2]\r\n<table"), std::string::npos) << page;
#ifndef _WIN32
  // The marker of a custom section is replaced (here by nothing).
  EXPECT_NE(page.find("</table>\r\nDecember 06, 2026  01:05 pm\r\n</body></html>"),
            std::string::npos);
#endif
}

TEST_F(PageWriterTest, ReadableSizesAndIsoDates) {
  ExampleFolder();
  settings.size_style = "human";
  settings.date_style = "iso";
  settings.include_summary = 1;
  settings.reload_custom_html = 0;
  Section(kStart) = "%%DATE\r\n";
  env->now = (1796562300ULL + 11644473600ULL) * 10000000ULL;
  const std::string page_date = FormatPageDate(env.get(), env->now, false, DateForm::kIso);
  ASSERT_EQ(page_date.size(), 16u) << page_date;
  const std::string row =
      "<td align=\"right\" title=\"1,234 B\">&nbsp;&nbsp;1.2&nbsp;KB&nbsp;&nbsp;</td>"
      "<td align=\"right\">&nbsp;&nbsp;<time datetime=\"2005-01-03T14:07\">2005-01-03</time>"
      "</td><td align=\"right\">&nbsp;14:07</td></tr>";
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(page.find("<body>\r\n" + page_date + "\r\n"), std::string::npos) << page;
  EXPECT_NE(page.find(row), std::string::npos) << page;
  EXPECT_NE(page.find("title=\"56 B\">&nbsp;&nbsp;56&nbsp;B&nbsp;&nbsp;</td>"), std::string::npos);
  EXPECT_NE(page.find("所有文件的大小:  <span title=\"1,290 B\">1.3&nbsp;KB</span><br>"),
            std::string::npos);
  // XHTML 1.0 has no time element: the ISO text alone.
  settings.xml_compliant = 1;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(page.find("<time"), std::string::npos);
  EXPECT_NE(page.find("&nbsp;&nbsp;2005-01-03</td><td align=\"right\">&nbsp;14:07</td>"),
            std::string::npos);
}

TEST_F(PageWriterTest, NothingToListWritesNoPage) {
  settings.supress_parent_link = 1;
  std::string before;
  ASSERT_TRUE(env->GetCurrentFolder(&before));
  EXPECT_EQ(Write(), 0);
  EXPECT_EQ(page, "<missing>");
  EXPECT_EQ(ReadFileForTest(root + kSeparator + "index.html"), "<missing>");
  std::string after;
  ASSERT_TRUE(env->GetCurrentFolder(&after));
  EXPECT_EQ(after, before);

  // With the parent link the same folder gets a page of only the folder table.
  settings.supress_parent_link = 0;
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(page.find("{parent folder}</a>&nbsp;&nbsp;</td></tr>\r\n</table>\r\n<p></p>\r\n"
                      "</body></html>"),
            std::string::npos);
}

TEST_F(PageWriterTest, UnwritableOutputLeavesOldPage) {
  File("a.txt");
  const std::string out = temp.WriteFile("out.html", "old page");
  settings.output_filename = temp.Path("missing/out.html");
  EXPECT_EQ(Write(), 0);
  EXPECT_TRUE(builder->main_file_path.empty());
  settings.output_filename = out + kSeparator + "x.html";  // below a regular file
  EXPECT_EQ(Write(), 0);
  EXPECT_EQ(builder->pages_written, 0);
  EXPECT_EQ(ReadFileForTest(out), "old page");
  // A full output path is used as it is.
  settings.output_filename = out;
  EXPECT_EQ(Write(), 1);
  EXPECT_EQ(builder->main_file_path, out);
}

struct Reports {
  std::vector<std::string> seen;
  bool cancel_at_first_batch = false;
};

TEST_F(PageWriterTest, ProgressAndCancel) {
  for (int i = 0; i < 40; ++i) File("f" + std::to_string(i) + ".txt");
  static Reports reports;
  reports = Reports();
  CBuildProgress progress;
  progress.update_interval = 15;
  FunctionProgressView view([](CBuildProgress& p) {
    reports.seen.push_back(std::to_string(p.phase) + ":" + std::to_string(p.links_done) + "/" +
                           std::to_string(p.links_total));
    if (reports.cancel_at_first_batch && p.links_done == 15) p.cancel = 1;
  });
  progress.notify = &view;
  builder->progress = &progress;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(reports.seen, (std::vector<std::string>{"1:0/40", "2:0/40", "2:15/40", "2:30/40",
                                                    "2:40/40", "3:40/40"}));
  EXPECT_EQ(progress.folders_entered, 1);

  // A cancel during the file table: no file, result 0.
  const std::string out = root + kSeparator + "index.html";
  env->WriteFileSafely(out, "old");
  reports = Reports();
  reports.cancel_at_first_batch = true;
  EXPECT_EQ(Write(), 0);
  EXPECT_EQ(ReadFileForTest(out), "old");
  // The next page is not joined with the cancelled one.
  progress.cancel = 0;
  reports.cancel_at_first_batch = false;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(page.find("<html>"), page.rfind("<html>"));
}

TEST_F(PageWriterTest, SkipNextPageAndFolderTableOffOnFirstRightFrame) {
  File("a.txt");
  builder->skip_next_page = 1;
  EXPECT_EQ(Write(), 0);
  EXPECT_EQ(builder->skip_next_page, 0);
  // The first right-frame page: no folder table, written even when empty.
  settings.file_spec.clear();
  builder->first_right_frame_page = 1;
  ASSERT_EQ(Write(), 1);
  EXPECT_EQ(page.find("<a href"), std::string::npos);
  EXPECT_EQ(builder->first_right_frame_page, 0);
}

// The page text moves aside every 300 files; the joined page is whole, and
// the anchor marker is filled in wherever a piece boundary falls.
TEST(PageOutputTest, ChunksJoinToTheSameText) {
  Env* env = Env::Default();
  CBuildSettings settings;
  CPageWriter builder(&settings, env);
  PageOutput out(&builder);
  std::string expected;
  out.AddHtml("<a>INSERT_FOLDER_ANCHORS");
  expected += "<a>[T]";
  for (int i = 0; i < 700; ++i) {
    out.Add("r" + std::to_string(i));
    expected += "r" + std::to_string(i);
    out.CountFile();
    if (i == 299) {
      out.AddMarker();
      expected += "[T]";
    }
  }
  EXPECT_EQ(builder.page_chunk_count, 2);
  out.AddHtml("INSERT_FOLDER_ANCHORSINSERT_FOLDER_ANCHORS");
  expected += "[T][T]";
  EXPECT_EQ(out.Join("[T]"), expected);
  EXPECT_TRUE(builder.page_chunks.empty());
}

// The writer's own appenders give the bytes of the escaping helpers.
TEST(PageOutputTest, NameEscapesMatchTheHelpers) {
  std::vector<std::string> names = {"plain", " outer ", "in ner", "\xE4\xB8\xAD\xE6\x96\x87",
                                    "cut\xE4\xB8", "\xFF\xFE", "a\xC0\xAF"};
  for (int c = 0; c < 256; ++c) names.push_back(std::string("a ") + static_cast<char>(c) + "b");
  pagetest::ExpectAppendersMatchHelpers(names);
}

// The writer's cells give the bytes of the cell helpers.
TEST(PageOutputTest, CellsMatchTheHelpers) {
  Env* env = Env::Default();
  const std::vector<int64_t> sizes = {
      0, 1, 511, 512, 999, 1000, 1535, 1536, 123456, 1234567, 3221225472LL, 9223372036854775807LL};
  const std::vector<FileTime> times = {0,
                                       1,
                                       116444736000000000ULL,
                                       127000000000000000ULL,
                                       130000000000000000ULL + 4321,
                                       150000000000000000ULL,
                                       ~0ULL};
  for (int flags = 0; flags < 16; ++flags) {
    CellFormat f;
    f.sizes_by_k = (flags & 1) != 0;
    f.insert_commas = (flags & 2) != 0;
    f.euro_date_style = (flags & 4) != 0;
    f.include_time = (flags & 8) != 0;
    f.size_date_td = flags % 3 == 0 ? "" : "<td class=\"x\">";
    f.open_tag = CellOpenTag(f.size_date_td);
    for (int64_t size : sizes) {
      std::string cell;
      AppendSizeCell(&cell, size, f);
      EXPECT_EQ(cell,
                SizeCell(size, f.sizes_by_k, f.insert_commas, f.euro_date_style, f.size_date_td));
    }
    for (size_t i = 0; i < times.size() * 30; ++i) {
      const FileTime t = times[i % times.size()] + (i / times.size()) * 17777777777ULL;
      std::string cell;
      AppendDateCell(&cell, env, t, f, static_cast<int>(i % 3) + 1, 2);
      EXPECT_EQ(cell, DateCell(env, t, f.euro_date_style, f.include_time, f.size_date_td,
                               static_cast<int>(i % 3) + 1, 2));
    }
  }
}

}  // namespace
}  // namespace pagetest
}  // namespace vellora
