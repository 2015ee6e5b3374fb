#include <gtest/gtest.h>

#include <string>

#include "html/text_helpers.h"
#include "platform/lead_byte_env.h"

namespace vellora {
namespace {

const std::string kSep(1, kSeparator);

TEST(EscapeLinkText, ReplacesAmpersandAndParenthesesOnlyWhenAsked) {
  EXPECT_EQ(escape_link_text("a&b.txt", true), "a&amp;b.txt");
  EXPECT_EQ(escape_link_text("x (1).txt", true), "x &#40;1&#41;.txt");
  EXPECT_EQ(escape_link_text("&(", true), "&amp;&#40;");
  EXPECT_EQ(escape_link_text("&amp;", true), "&amp;amp;");
  // A title read from a page is HTML already: its markup is kept.
  EXPECT_EQ(escape_link_text("<b>\"T\"</b> #1", true), "<b>\"T\"</b> #1");
  EXPECT_EQ(escape_link_text("a&b (c)", false), "a&b (c)");
}

// The designed bytes of names without markup characters, in both places.
TEST(NameEscaping, PlainNamesGiveTheDesignedBytes) {
  EXPECT_EQ(EscapeLinkTarget("a&b.txt", true, true), "a&amp;b.txt");
  EXPECT_EQ(EscapeNameText("a&b.txt", true), "a&amp;b.txt");
  EXPECT_EQ(EscapeLinkTarget("x (1).txt", true, true), "x%20&#40;1&#41;.txt");
  EXPECT_EQ(EscapeNameText("x (1).txt", true), "x &#40;1&#41;.txt");
  EXPECT_EQ(EscapeLinkTarget("A&B (old)", true, true) + "/", "A&amp;B%20&#40;old&#41;/");
  EXPECT_EQ(EscapeNameText("A&B (old)", true), "A&amp;B &#40;old&#41;");
  EXPECT_EQ(EscapeLinkTarget("b c.doc", true, true), "b%20c.doc");
  EXPECT_EQ(EscapeNameText("b c.doc", true), "b c.doc");
  EXPECT_EQ(EscapeLinkTarget("a & b (c)", true, false), "a%20&%20b%20(c)");
  EXPECT_EQ(EscapeNameText("a & b (c)", false), "a & b (c)");
  // '&' before a letter would start a character reference.
  EXPECT_EQ(EscapeLinkTarget("a&b (c)", true, false), "a&amp;b%20(c)");
  EXPECT_EQ(EscapeNameText("a&b (c)", false), "a&amp;b (c)");
  for (const char* plain : {"report.final.pdf", "..", "Docs", "\xe6\x96\x87\xe4\xbb\xb6.txt"}) {
    EXPECT_EQ(EscapeLinkTarget(plain, true, true), plain);
    EXPECT_EQ(EscapeNameText(plain, true), plain);
  }
  EXPECT_EQ(SpacesToPercent20(" a  b "), "%20a%20%20b%20");
}

TEST(NameEscaping, HostileNamesCannotLeaveTheirPlace) {
  const std::string img = "<img src=x onerror=alert(1)>.txt";
  EXPECT_EQ(EscapeNameText(img, true), "&lt;img src=x onerror=alert&#40;1&#41;&gt;.txt");
  EXPECT_EQ(EscapeNameText(img, false), "&lt;img src=x onerror=alert(1)&gt;.txt");
  EXPECT_EQ(EscapeLinkTarget(img, true, true),
            "%3Cimg%20src=x%20onerror=alert&#40;1&#41;%3E.txt");
  EXPECT_EQ(EscapeLinkTarget(img, false, false), "%3Cimg src=x onerror=alert(1)%3E.txt");

  const std::string script = "<script>alert(1)</script>.txt";
  EXPECT_EQ(EscapeNameText(script, false).find('<'), std::string::npos);
  EXPECT_EQ(EscapeLinkTarget(script, false, false).find('<'), std::string::npos);

  EXPECT_EQ(EscapeNameText("say \"hi\".txt", true), "say &quot;hi&quot;.txt");
  EXPECT_EQ(EscapeLinkTarget("say \"hi\".txt", false, true), "say %22hi%22.txt");
}

TEST(NameEscaping, TargetsEscapeUrlCharactersBeforeTheSpaceRule) {
  EXPECT_EQ(EscapeLinkTarget("50% off #1?.txt", true, false), "50%25%20off%20%231%3F.txt");
  // A literal "%20" in a name stays distinguishable from an escaped space.
  EXPECT_EQ(EscapeLinkTarget("a%20b c", true, false), "a%2520b%20c");
  EXPECT_EQ(EscapeLinkTarget(std::string("t\tn\nz\x01\x1f", 7), false, false),
            "t%09n%0Az%01%1F");
  // Link texts show such names as they are, only markup-safe.
  EXPECT_EQ(EscapeNameText("50% off #1?.txt", true), "50% off #1?.txt");
  // '/' separates the pieces of a relative folder and is kept.
  EXPECT_EQ(EscapeLinkTarget("sub/My Docs/", true, false), "sub/My%20Docs/");
  // An anchor id made from a hostile folder text.
  EXPECT_EQ(EscapeLinkTarget("IDa\"><b>-", false, false), "IDa%22%3E%3Cb%3E-");
#ifndef _WIN32
  EXPECT_EQ(EscapeLinkTarget("a\\b", false, false), "a%5Cb");
#endif
}

TEST(LinkBase, SlashSeparatedWithOneTrailingSlash) {
  EXPECT_EQ(MakeLinkBase("C:" + kSep + "My Data", true), "C:/My%20Data/");
  EXPECT_EQ(MakeLinkBase("C:" + kSep + "Data" + kSep, true), "C:/Data/");
  EXPECT_EQ(MakeLinkBase(kSep, true), "/");
  EXPECT_EQ(MakeLinkBase("", true), "");
  EXPECT_EQ(MakeLinkBase(kSep + "a\"b" + kSep + "50%", true), "/a%22b/50%25/");
  // Built with %20 already: a second pass of the space rule changes nothing.
  std::string base = MakeLinkBase(kSep + "x y", true);
  EXPECT_EQ(SpacesToPercent20(base), base);
}

// Under a double-byte code page a trail byte may be a backslash.
TEST(LinkBase, DoubleByteCharactersKeepTheirTrailBytes) {
  if (kSeparator != '\\') GTEST_SKIP();
  LeadByteEnv gbk;
  const std::string name = "\x95\x5c";  // one character, trail byte 0x5C
  EXPECT_EQ(MakeLinkBase("C:\\" + name + "\\x", false, false, &gbk), "C:/" + name + "/x/");
  EXPECT_EQ(FolderTokenText("C:\\" + name, &gbk), name);
  std::string section = "[%%FOLDER]";
  ReplaceTokens(&section, "C:\\" + name, "", false, &gbk);
  EXPECT_EQ("[" + name + "]", section);
}

TEST(SectionTokens, ReplacedInOrderEachPassOnItsOwnText) {
  const std::string data = kSep + "srv" + kSep + "Data";
  std::string s = "%%DIR|%%FOLDER|%%DATE|%%DIRX";
  ReplaceTokens(&s, data, "December 06, 2026  01:05 pm");
  EXPECT_EQ(s, data + "|Data|December 06, 2026  01:05 pm|" + data + "X");

  EXPECT_EQ(FolderTokenText(data), "Data");
  EXPECT_EQ(FolderTokenText("Data"), "Data");
  EXPECT_EQ(FolderTokenText(kSep), "");
  EXPECT_EQ(FolderTokenText("C:" + kSep), "");

  std::string t = "aXa";
  ReplaceAll(&t, "a", "aa");
  EXPECT_EQ(t, "aaXaa");
  ReplaceAll(&t, "", "z");
  EXPECT_EQ(t, "aaXaa");
}

TEST(SectionTokens, FolderNamesCannotInjectMarkupOrTokens) {
  const std::string hostile = kSep + "w" + kSep + "%%FILEsecret%<script>\"";
  std::string s = "<p title=\"%%FOLDER\">%%DIR</p>%%DATE";
  ReplaceTokens(&s, hostile, "D");
  const std::string safe = "&#37;&#37;FILEsecret&#37;&lt;script&gt;&quot;";
  EXPECT_EQ(s, "<p title=\"" + safe + "\">" + kSep + "w" + kSep + safe + "</p>D");
  EXPECT_EQ(s.find("%%"), std::string::npos);

  // A path holding a token name is not replaced again by a later pass.
  std::string u = "%%DIR %%DATE";
  ReplaceTokens(&u, kSep + "%%DATE", "today");
  EXPECT_EQ(u, kSep + "&#37;&#37;DATE today");
}

}  // namespace
}  // namespace vellora
