// Guards the templates shipped beside the program: each loads into the
// sections the pages need, stays well-formed when pages are written as XHTML,
// and the framed-site files agree on their page and frame names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "custom/custom_html.h"
#include "custom/text_file.h"
#include "platform/env.h"

namespace vellora {
namespace {

// The shipped templates folder of the source tree this test was built from.
std::string TemplatePath(const std::string& name) {
  std::string here = __FILE__;
  size_t tests = here.rfind("tests");
  std::string path = here.substr(0, tests == std::string::npos ? 0 : tests) + "templates/" + name;
#ifdef _WIN32
  // Cross-built tests run under Wine, which shows the build machine's root as Z:.
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (!path.empty() && path[0] == '\\') path = "Z:" + path;
#endif
  return path;
}

class TemplatesTest : public ::testing::Test {
 protected:
  // The raw text of a shipped template; skips the test on Windows when the
  // source tree cannot be reached from there.
  std::string Raw(const std::string& name) {
    std::string text = LoadTextFile(TemplatePath(name), "", Env::Default());
#ifdef _WIN32
    if (text.empty()) skipped_ = true;
#endif
    return text;
  }

  CCustomHtml Loaded(const std::string& name) {
    CCustomHtml html;
    html.Load(TemplatePath(name), Env::Default());
    return html;
  }

  bool skipped_ = false;
};

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The text between `open` and the following `close`, or "" without them.
std::string Between(const std::string& text, const std::string& open, const std::string& close) {
  size_t a = text.find(open);
  if (a == std::string::npos) return "";
  a += open.size();
  size_t b = text.find(close, a);
  return b == std::string::npos ? "" : text.substr(a, b - a);
}

// What an XML parser would reject in the tags of `text`: an empty element of
// HTML written without "/>" and, for a whole document, an end tag that does
// not close the element open at that point or an element left open.
// Comments and the document type line are passed over.
std::vector<std::string> XmlTagFaults(const std::string& text, bool whole_document) {
  static const char* const kEmpty[] = {"meta", "link", "br", "hr", "img", "input", "col", "base", "area", "param"};
  std::vector<std::string> faults;
  std::vector<std::string> open;
  for (size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
    if (text.compare(at, 4, "<!--") == 0) {
      at = text.find("-->", at);
      if (at == std::string::npos) break;
      continue;
    }
    size_t end = text.find('>', at);
    if (end == std::string::npos) break;
    std::string tag = text.substr(at, end + 1 - at);
    if (tag[1] == '!') continue;
    bool closing = tag[1] == '/';
    size_t name_start = closing ? 2 : 1;
    size_t name_end = tag.find_first_of(" \t\r\n/>", name_start);
    std::string name = tag.substr(name_start, name_end - name_start);
    bool self_closed = tag.size() >= 2 && tag[tag.size() - 2] == '/';
    bool empty_kind = false;
    for (const char* e : kEmpty) empty_kind = empty_kind || name == e;
    if (empty_kind && !self_closed) faults.push_back(tag);
    if (!whole_document || self_closed) continue;
    if (!closing) {
      if (!empty_kind) open.push_back(name);
    } else if (open.empty() || open.back() != name) {
      faults.push_back(tag);
    } else {
      open.pop_back();
    }
  }
  for (const std::string& name : open) faults.push_back("<" + name + "> left open");
  return faults;
}

// Checks what every page-shaping template must give the page writer.
void ExpectPageTemplate(const CCustomHtml& html, const std::string& name) {
  SCOPED_TRACE(name);
  // The writer's own document type follows the XHTML option.
  EXPECT_EQ(html.section(kDoctype), "");
  EXPECT_EQ(html.section(kBodyHeader).rfind("<body", 0), 0u) << html.section(kBodyHeader);
  EXPECT_NE(html.section(kHead).find("name=\"viewport\""), std::string::npos);

  // The style sheet must be plain character data in an XHTML page.
  std::string style = Between(html.section(kHead), "<style type=\"text/css\">", "</style>");
  ASSERT_FALSE(style.empty());
  EXPECT_EQ(style.find('<'), std::string::npos);
  EXPECT_EQ(style.find('&'), std::string::npos);

  // Elements opened in one free section are closed in a later one; all four
  // are always written, so they must balance between them.
  std::string flow = html.section(kStart) + html.section(kBetweenFilesAndFolders) +
                     html.section(kBeforeSummary) + html.section(kEnd);
  EXPECT_EQ(Count(flow, "<div"), Count(flow, "</div>")) << flow;
  EXPECT_EQ(Count(flow, "<p"), Count(flow, "</p>")) << flow;
  EXPECT_NE(flow.find("%%FOLDER"), std::string::npos);
  EXPECT_NE(flow.find("%%DATE"), std::string::npos);
  EXPECT_EQ(html.section(kFolderTableHeader).rfind("<table", 0), 0u);
  for (int section = 0; section < kSectionCount; ++section) {
    EXPECT_EQ(XmlTagFaults(html.section(section), false), std::vector<std::string>())
        << SectionDirective(section);
  }
}

TEST_F(TemplatesTest, NoLineIsCutByTheLoader) {
  for (const char* name : {"fancy_table.txt", "left_frame.txt", "right_frame.txt", "frameset.txt"}) {
    std::string text = Raw(name);
    if (skipped_) GTEST_SKIP() << "templates not reachable: " << TemplatePath(name);
    ASSERT_FALSE(text.empty()) << TemplatePath(name);
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      EXPECT_LE(end - start, 998u) << name << " at byte " << start;
      start = end + 1;
    }
  }
}

TEST_F(TemplatesTest, DefaultPageShapesEveryTable) {
  if (Raw("fancy_table.txt").empty() && skipped_) GTEST_SKIP();
  CCustomHtml html = Loaded("fancy_table.txt");
  ExpectPageTemplate(html, "fancy_table.txt");
  for (int s : {kTableHeader, kFileHeaderTd, kFileTd, kSizeDateTd, kFolderHeaderTd, kFolderTd,
                kAnchorTableHeader, kAnchorHeaderTd, kAnchorTableTd, kAnchorTd, kAnchor}) {
    EXPECT_NE(html.section(s), "") << SectionDirective(s);
  }
  EXPECT_EQ(html.section(kTableHeader).rfind("<table", 0), 0u);
  // Links go to the folder itself, or to the page a per-folder build names.
  EXPECT_EQ(html.section(kFolderFileLink), "");
  EXPECT_EQ(html.section(kFolderHrefAppend), "");
}

TEST_F(TemplatesTest, FramedSiteFilesAgreeOnNames) {
  std::string frameset = Raw("frameset.txt");
  if (skipped_) GTEST_SKIP();
  ASSERT_FALSE(frameset.empty());

  // The framed-site build reads the page names from the first two src
  // attributes: five characters past "src=" up to the next double quote.
  std::string text = frameset;
  for (size_t at = text.find("SRC="); at != std::string::npos; at = text.find("SRC=", at)) {
    text.replace(at, 4, "src=");
  }
  size_t i = text.find("src=");
  ASSERT_NE(i, std::string::npos);
  ASSERT_EQ(text[i + 4], '"');
  std::string left = text.substr(i + 5, text.find('"', i + 5) - (i + 5));
  size_t j = text.find("src=", i + 5 + left.size());
  ASSERT_NE(j, std::string::npos);
  ASSERT_EQ(text[j + 4], '"');
  std::string right = text.substr(j + 5, text.find('"', j + 5) - (j + 5));
  EXPECT_EQ(left, "left.html");
  EXPECT_EQ(right, "right.html");
  EXPECT_EQ(Count(text, "src="), 2u);
  // The frameset is copied as it is into XHTML sites too.
  EXPECT_EQ(XmlTagFaults(text, true), std::vector<std::string>());

  // Left-frame links open in the frame that shows the right pages.
  CCustomHtml left_frame = Loaded("left_frame.txt");
  ExpectPageTemplate(left_frame, "left_frame.txt");
  std::string target = Between(left_frame.section(kFolderHrefAppend), "target=\"", "\"");
  ASSERT_FALSE(target.empty()) << left_frame.section(kFolderHrefAppend);
  std::string right_tag = text.substr(text.rfind('<', j), text.find('>', j) - text.rfind('<', j));
  EXPECT_NE(right_tag.find("name=\"" + target + "\""), std::string::npos) << right_tag;
  // Its heading leads back to the top folder's right page, in that frame.
  EXPECT_NE(left_frame.section(kStart).find("href=\"" + right + "\" target=\"" + target + "\""),
            std::string::npos)
      << left_frame.section(kStart);

  // Right-frame folder links stay in their frame.
  CCustomHtml right_frame = Loaded("right_frame.txt");
  ExpectPageTemplate(right_frame, "right_frame.txt");
  EXPECT_EQ(right_frame.section(kFolderHrefAppend).find("target="), std::string::npos);
}

}  // namespace
}  // namespace vellora
