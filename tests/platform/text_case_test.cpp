#include "platform/text_case.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/lead_byte_env.h"

namespace vellora {
namespace {

TEST(TextCaseTest, AsciiLettersOnly) {
  LeadByteEnv utf8(true);
  EXPECT_EQ(UpperCased("index.html", &utf8), "INDEX.HTML");
  EXPECT_EQ(UpperCased("a1_b-Z.{x}~", &utf8), "A1_B-Z.{X}~");
  EXPECT_EQ(UpperCased("", &utf8), "");
  // UTF-8 letters beyond ASCII keep their bytes: "straße é" -> "STRAßE é".
  EXPECT_EQ(UpperCased("stra\xC3\x9F" "e \xC3\xA9", &utf8), "STRA\xC3\x9F" "E \xC3\xA9");
  // Invalid UTF-8 and bytes like 0xE0..0xFE (Latin-1 lower case) stay.
  EXPECT_EQ(UpperCased("\xFF\xE9x", &utf8), "\xFF\xE9X");
}

TEST(TextCaseTest, TrailBytesOfDoubleByteCodePageStay) {
  LeadByteEnv gbk;
  // Each "\x81?" pair is one character; its ASCII-looking trail is kept.
  std::string s = "a\x81" "a\x81z" "b";
  UpperCaseInPlace(&s, &gbk);
  EXPECT_EQ(s, "A\x81" "a\x81z" "B");
  // Lead byte then a lead byte used as trail: the third byte starts afresh.
  EXPECT_EQ(UpperCased("\x81\x81" "a", &gbk), "\x81\x81" "A");
  // A lead byte at the end has nothing to protect.
  EXPECT_EQ(UpperCased("ab\x81", &gbk), "AB\x81");
  EXPECT_EQ(UpperCased("\xFF" "a", &gbk), "\xFF" "A");  // 0xFF is no lead byte
}

TEST(TextCaseTest, LengthNeverChanges) {
  LeadByteEnv gbk;
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(UpperCased(all, &gbk).size(), all.size());
  EXPECT_EQ(UpperCased(all, Env::Default()).size(), all.size());
}

}  // namespace
}  // namespace vellora
