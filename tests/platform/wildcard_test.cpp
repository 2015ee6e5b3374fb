#include "platform/wildcard.h"

#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "platform/lead_byte_env.h"
#include "platform/wildcard_vectors.h"

namespace vellora {
namespace {

TEST(WildcardMatchTest, SharedVectors) {
  for (const WildcardVector& v : kWildcardVectors) {
    EXPECT_EQ(WildcardMatch(v.name, v.pattern), v.match)
        << "name \"" << v.name << "\" pattern \"" << v.pattern << "\"";
  }
}

TEST(WildcardMatchTest, CaseFoldingIsAsciiOnly) {
  LeadByteEnv utf8(true);
  // e-acute in UTF-8, lower and upper: different characters to the matcher.
  EXPECT_FALSE(WildcardMatch("\xC3\xA9.txt", "\xC3\x89.TXT", &utf8));
  EXPECT_TRUE(WildcardMatch("\xC3\xA9.txt", "\xC3\xA9.TXT", &utf8));
}

TEST(WildcardMatchTest, QuestionMarkTakesWholeUtf8Character) {
  LeadByteEnv utf8(true);
  EXPECT_TRUE(WildcardMatch("\xC3\xA9.txt", "?.txt", &utf8));
  EXPECT_TRUE(WildcardMatch("\xE4\xB8\xAD.txt", "?.txt", &utf8));
  EXPECT_TRUE(WildcardMatch("\xF0\x9F\x98\x80", "?", &utf8));
  EXPECT_FALSE(WildcardMatch("\xC3\xA9", "??", &utf8));
  // Invalid sequences count byte by byte.
  EXPECT_TRUE(WildcardMatch("\xFF\xFE", "??", &utf8));
  EXPECT_TRUE(WildcardMatch("\xC3(", "??", &utf8));
#ifndef _WIN32
  EXPECT_TRUE(WildcardMatch("\xC3\xA9.txt", "?.txt"));
#endif
}

TEST(WildcardMatchTest, DoubleByteCharactersStayWhole) {
  LeadByteEnv gbk;
  // "\x81" "a" is one character whose trail byte looks like 'a'.
  EXPECT_FALSE(WildcardMatch("\x81" "a.txt", "*a.txt", &gbk));
  EXPECT_FALSE(WildcardMatch("\x81" "a", "*A", &gbk));
  EXPECT_TRUE(WildcardMatch("\x81" "a.txt", "?.txt", &gbk));
  EXPECT_TRUE(WildcardMatch("\x81" "a.txt", "\x81" "a.TXT", &gbk));
  // The trail byte is compared exactly, not case-folded.
  EXPECT_FALSE(WildcardMatch("\x81" "a.txt", "\x81" "A.txt", &gbk));
  // A lead byte at the very end stands alone.
  EXPECT_TRUE(WildcardMatch("ab\x81", "ab?", &gbk));
  // A '*' right after a lead byte is that character's trail byte, not a wildcard.
  EXPECT_FALSE(WildcardMatch("\x81x", "\x81*", &gbk));
  EXPECT_TRUE(WildcardMatch("\x81*", "\x81*", &gbk));
}

TEST(WildcardMatchTest, PathologicalPatternsStayFast) {
  const std::string name(20000, 'a');
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(WildcardMatch(name, "*a*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(WildcardMatch(name + "b", "*a*a*a*a*a*a*a*a*b"));
  EXPECT_FALSE(WildcardMatch(name, "*?*?*?*?*?*?*?*?*?*b"));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 2000);
}

}  // namespace
}  // namespace vellora
