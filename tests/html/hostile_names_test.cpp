// Names that would break a page: bytes outside UTF-8, URL schemes, outer
// spaces, '&' before a reference, markup in read titles, anchor ids.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "html/page_fixture.h"
#include "html/page_output.h"
#include "html/page_writer.h"
#include "html/text_helpers.h"

namespace vellora {
namespace {

const std::string kFffd = "\xEF\xBF\xBD";

TEST(Utf8Check, SequenceLengths) {
  EXPECT_EQ(Utf8SequenceLength("a", 0), 1u);
  EXPECT_EQ(Utf8SequenceLength("\xC3\xA9", 0), 2u);
  EXPECT_EQ(Utf8SequenceLength("\xE4\xB8\xAD", 0), 3u);
  EXPECT_EQ(Utf8SequenceLength("\xF0\x9F\x98\x80", 0), 4u);
  for (const char* bad : {"\x80", "\xC0\xAF", "\xC3", "\xE0\x80\xAF", "\xED\xA0\x80",
                          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\xE4\xB8"}) {
    EXPECT_EQ(Utf8SequenceLength(bad, 0), 0u) << bad;
  }
}

TEST(Utf8Check, InvalidBytesEscapedValidKept) {
  if (!NamesAreUtf8()) GTEST_SKIP() << "pages are in the ANSI code page";
  const std::string name = "a\xFF\xE4\xB8\xAD\xC3.txt";
  EXPECT_EQ(EscapeLinkTarget(name, true, true), "a%FF\xE4\xB8\xAD%C3.txt");
  EXPECT_EQ(EscapeNameText(name, false), "a" + kFffd + "\xE4\xB8\xAD" + kFffd + ".txt");
  EXPECT_EQ(EscapeTitleText("T\x80", false), "T" + kFffd);
  EXPECT_EQ(AnchorIdAttribute("ID\xFE"), "ID" + kFffd);
  EXPECT_EQ(AnchorFragment("ID\xFE"), "ID" + kFffd);
  // The start of a cut sequence is one U+FFFD, as a decoder shows it.
  EXPECT_EQ(EscapeNameText("t\xE4\xB8.txt", false), "t" + kFffd + ".txt");
  EXPECT_EQ(EscapeNameText("\xF0\x9F\x98\xFF", false), kFffd + kFffd);
  EXPECT_EQ(EscapeLinkTarget("t\xE4\xB8.txt", false, false), "t%E4%B8.txt");
  EXPECT_EQ(MakeLinkBase("/srv/\xFE", false), "/srv/%FE/");
}

TEST(NameEscaping, ColonOfASchemeIsEscapedInTargetsOnly) {
  if (kSeparator != '/') GTEST_SKIP() << "names hold no ':'";
  EXPECT_EQ(EscapeLinkTarget("javascript:alert(1)", false, false), "javascript%3Aalert(1)");
  EXPECT_EQ(EscapeLinkTarget("javascript:alert(1)", false, true), "javascript%3Aalert&#40;1&#41;");
  EXPECT_EQ(EscapeNameText("javascript:alert(1)", false), "javascript:alert(1)");
  EXPECT_EQ(MakeLinkBase("/a:b", false), "/a:b/");
}

TEST(NameEscaping, OuterSpacesSurviveAttributeTrimming) {
  EXPECT_EQ(EscapeLinkTarget(" a b ", false, false), "%20a b%20");
  EXPECT_EQ(EscapeLinkTarget(" ", false, false), "%20");
  EXPECT_EQ(EscapeLinkTarget("a b", false, false), "a b");
  EXPECT_EQ(EscapeNameText(" a ", false), " a ");
}

TEST(NameEscaping, AmpersandBeforeAReferenceAndOnXhtmlPages) {
  EXPECT_EQ(EscapeNameText("a&copy;&#1&9& b&", false), "a&amp;copy;&amp;#1&amp;9& b&");
  EXPECT_EQ(EscapeLinkTarget("a&copy& b", true, false), "a&amp;copy&%20b");
  EXPECT_EQ(EscapeNameText("a& b&", false, true), "a&amp; b&amp;");
  EXPECT_EQ(EscapeLinkTarget("a& b", false, false, true), "a&amp; b");
  EXPECT_EQ(MakeLinkBase("/x& y", false, true), "/x&amp; y/");
  EXPECT_EQ(EscapeNameText("plain (1)", false, true), "plain (1)");
}

TEST(NameEscaping, ControlCharactersOfXhtmlTexts) {
  // XML allows no control character but tab, LF and CR, not even escaped.
  const std::string name = std::string("ctrl\x01\x1F\tx.txt");
  EXPECT_EQ(EscapeNameText(name, true, true), "ctrl" + kFffd + kFffd + "\tx.txt");
  EXPECT_EQ(EscapeNameText(name, true, false), name);  // HTML keeps them
  EXPECT_EQ(EscapeLinkTarget(name, true, true, true), "ctrl%01%1F%09x.txt");
}

TEST(SectionTokens, AmpersandAndInvalidBytesOfFolderNames) {
  std::string html = "<p>%%DIR</p>";
  ReplaceTokens(&html, "/a & b/c&d", "", false);
  EXPECT_EQ(html, "<p>/a & b/c&amp;d</p>");
  html = "<p>%%FOLDER</p>";
  ReplaceTokens(&html, "b & c", "", true);
  EXPECT_EQ(html, "<p>b &amp; c</p>");
  if (!NamesAreUtf8()) return;
  html = "%%FOLDER";
  ReplaceTokens(&html, "bad\xFF \xE4\xB8\xAD", "", true);
  EXPECT_EQ(html, "bad" + kFffd + " \xE4\xB8\xAD");
}

TEST(TitleText, MarkupOfTheTitleIsText) {
  EXPECT_EQ(EscapeTitleText("<script>alert(1)</script> &amp; B", false),
            "&lt;script&gt;alert(1)&lt;/script&gt; &amp; B");
  EXPECT_EQ(EscapeTitleText("A & (B)", true), "A &amp; &#40;B&#41;");
  EXPECT_EQ(EscapeTitleText("<b>", true), "&lt;b&gt;");
}

TEST(AnchorIds, AttributeTextAndFragment) {
  const std::string id = "ID中文目录-子目录_#1-";
  EXPECT_EQ(AnchorIdAttribute(id), id);
  EXPECT_EQ(AnchorFragment(id), "ID中文目录-子目录_%231-");
  EXPECT_EQ(AnchorIdAttribute("IDa&\"<>%"), "IDa&amp;&quot;&lt;&gt;%");
  EXPECT_EQ(AnchorFragment("IDa&\"<> %\t"), "IDa&amp;%22%3C%3E%20%25%09");
  for (const char* plain : {"IDMy_Docs-", "ID中_文-", "ID1-2"}) {
    EXPECT_EQ(AnchorIdAttribute(plain), plain);
    EXPECT_EQ(AnchorFragment(plain), plain);
  }
}

// The writer's appenders agree with the helpers on the new rules as well.
TEST(NameEscaping, InPlaceAppendersMatchOnHostileNames) {
  std::vector<std::string> names;
  for (int c = 0; c < 256; ++c) {
    const char b = static_cast<char>(c);
    for (const std::string& name : {std::string(1, b), std::string(" ") + b,
                                    std::string(1, b) + " ", std::string("&") + b,
                                    std::string("\xE4") + b + "\xAD", std::string("x:") + b}) {
      names.push_back(name);
    }
  }
  pagetest::ExpectAppendersMatchHelpers(names);
}

namespace pagetest_hostile {

using pagetest::PageTest;

using HostilePageTest = PageTest;

TEST_F(HostilePageTest, ReadTitleMarkupIsShownAsText) {
  settings.skip_files = "index.html";
  settings.replace_iso_chars = 0;
  settings.use_html_titles_for_links = 1;
  std::ofstream(root + kSeparator + "t.html")
      << "<html><head><title><img src=x onerror=alert(1)> &amp; Co</title></head></html>";
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(page.find(">&lt;img src=x onerror=alert(1)&gt; &amp; Co</a>"), std::string::npos)
      << page;
  EXPECT_EQ(page.find("<img"), std::string::npos);
}

TEST_F(HostilePageTest, AnchorIdsAreTextAndLinksAreFragments) {
  GroupedBranch();
  settings.folder_anchors = 1;
  File("a.txt");
  File("d #1&x/b.txt");
  File("My Docs/c.txt");
  ASSERT_EQ(Write(), 1);
  EXPECT_NE(page.find("<a id=\"IDd_#1&amp;x-\""), std::string::npos) << page;
  EXPECT_NE(page.find("<a href=\"#IDd_%231&amp;x-\">"), std::string::npos) << page;
  // Ordinary ids keep their designed bytes in both places.
  EXPECT_NE(page.find("<a id=\"IDMy_Docs"), std::string::npos);
  EXPECT_NE(page.find("href=\"#IDMy_Docs"), std::string::npos);
}

}  // namespace pagetest_hostile
}  // namespace
}  // namespace vellora
