// Reading the links of a page: the tolerant attribute reader, and a link
// value decoded into the path a browser would open.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/text_helpers.h"
#include "startup/link_check.h"
#include "startup/page_links.h"

namespace vellora {
namespace {

using Links = std::vector<std::string>;

TEST(PageLinksTest, ReadsHrefAndSrcOfEveryElement) {
  const struct {
    const char* html;
    Links links;
  } kCases[] = {
      {"<a href=\"x.txt\">x</a><IMG SRC='i.png'><frame src=r.htm>", {"x.txt", "i.png", "r.htm"}},
      {"<link rel=stylesheet HREF = \"s.css\"/><area href=\"m\" alt=\"a > b\">", {"s.css", "m"}},
      {"<a title=\"href=no\" data-src=\"no\" href=\"yes\">", {"yes"}},
      {"<!-- <a href=\"c\"> --><!DOCTYPE x \"http://w\"><a href=\"after\">", {"after"}},
      {"<script>var s = '<a href=\"s\">';</SCRIPT><a href=\"t\">", {"t"}},
      {"<style>a[href=\"q\"]{}</style><script src=\"js.js\"></script>", {"js.js"}},
      {"<a href=\"a&amp;b\"><a href=\"unclosed", {"a&amp;b", "unclosed"}},
      {"<a href=\"\">< a href=\"x\"><a href>", {""}},
      {"<script src=\"s.js\"/><a href=\"after-self-closed\">", {"s.js", "after-self-closed"}},
      {"<!-- unclosed <a href=\"x\">", {}},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.links, PageLinks(c.html)) << c.html;
}

TEST(PageLinksTest, DecodesReferencesAndEscapesAsTheWriterWritesThem) {
  const bool utf8 = NamesAreUtf8();
  const bool win = kSeparator == '\\';
  const char* sep = win ? "\\" : "/";
  const struct {
    const char* value;
    LinkPath::Kind kind;
    std::string path;
    bool folder;
  } kCases[] = {
      {"a%20b/", LinkPath::kRelative, "a b" + std::string(sep), true},
      {"x%25y%23z%3Fq%3A.txt", LinkPath::kRelative, "x%y#z?q:.txt", false},
      {"R&amp;D&#40;1&#41;&#x28;.txt", LinkPath::kRelative, "R&D(1)(.txt", false},
      {"q&quot;&lt;&gt;&apos;&amp", LinkPath::kRelative, "q\"<>'&amp", false},
      {"%22%3C%3E%0A%09", LinkPath::kRelative, "\"<>\n\t", false},
      {"page.html#ID-a", LinkPath::kRelative, "page.html", false},
      {"page.html?x=1#f", LinkPath::kRelative, "page.html", false},
      {"%2", LinkPath::kRelative, "%2", false},
      {" %20x%20 ", LinkPath::kRelative, " x ", false},
      {"../index.html", LinkPath::kRelative, std::string("..") + sep + "index.html", false},
      {"#IDsub", LinkPath::kSkipped, "", false},
      {"", LinkPath::kSkipped, "", false},
      {"http://example.com/x", LinkPath::kSkipped, "", false},
      {"MAILTO:a@b", LinkPath::kSkipped, "", false},
      {"javascript:alert(1)", LinkPath::kSkipped, "", false},
      {"data:text/html,x", LinkPath::kSkipped, "", false},
      {"//host/x", LinkPath::kSkipped, "", false},
      {"file://host/share/x", LinkPath::kSkipped, "", false},
      {"javascript%3Aalert&#40;1&#41;", LinkPath::kRelative, "javascript:alert(1)", false},
  };
  for (const auto& c : kCases) {
    const LinkPath link = DecodeLink(c.value, utf8, win);
    EXPECT_EQ(c.kind, link.kind) << c.value;
    if (c.kind == LinkPath::kSkipped) continue;
    EXPECT_EQ(c.path, link.path) << c.value;
    EXPECT_EQ(c.folder, link.folder) << c.value;
  }
  // Non-ASCII references as UTF-8 where names are UTF-8.
  EXPECT_EQ("\xE4\xB8\xAD", DecodeReferences("&#20013;", true));
  EXPECT_EQ("&#20013;", DecodeReferences("&#20013;", false));
  EXPECT_EQ("&#0;&#xD800;&#;", DecodeReferences("&#0;&#xD800;&#;", true));
}

TEST(PageLinksTest, FullPathLinksOfEachSystem) {
  const struct {
    const char* value;
    bool windows;
    std::string path;  // empty: passed over
  } kCases[] = {
      {"File:///srv/My%20Data/a.txt", false, "/srv/My Data/a.txt"},
      {"file://localhost/srv/x", false, "/srv/x"},
      {"File://C:/My%20Data/a.txt", true, "C:\\My Data\\a.txt"},
      {"file:///C:/x/", true, "C:\\x\\"},
      {"C:\\data\\x.txt", true, "C:\\data\\x.txt"},
      {"D:/data/x.txt", true, "D:\\data\\x.txt"},
      {"C:\\x", false, ""},  // a scheme where drives are unknown
  };
  for (const auto& c : kCases) {
    const LinkPath link = DecodeLink(c.value, true, c.windows);
    EXPECT_EQ(c.path.empty() ? LinkPath::kSkipped : LinkPath::kFull, link.kind) << c.value;
    EXPECT_EQ(c.path, link.path) << c.value;
  }
}

TEST(PageLinksTest, PrintableTextEscapesWhatSteersATerminal) {
  const struct {
    std::string text;
    bool utf8;
    std::string shown;
  } kCases[] = {
      {"a\x1b[31mb\n\t\x7f", true, "a\\x1B[31mb\\x0A\\x09\\x7F"},
      {"\xC2\x9B" "1m \xE2\x80\xAE" "txt.exe", true, "\\u009B1m \\u202Etxt.exe"},
      {"\xE4\xB8\xAD\xFF", true, "\xE4\xB8\xAD\\xFF"},
      {"\xD6\xD0\xCE\xC4\x1b", false, "\xD6\xD0\xCE\xC4\\x1B"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.shown, PrintableText(c.text, c.utf8)) << c.text;
}

}  // namespace
}  // namespace vellora
