// The portable wildcard matcher against the shell's own PathMatchSpecA, which
// is the reference for how file patterns behave.
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "platform/env.h"
#include "platform/wildcard.h"
#include "platform/wildcard_vectors.h"

namespace vellora {
namespace {

bool ShellMatch(const std::string& name, const std::string& pattern) {
  return PathMatchSpecA(name.c_str(), pattern.c_str()) != FALSE;
}

TEST(WildcardOracle, SharedVectorsAgreeWithTheShell) {
  for (const WildcardVector& v : kWildcardVectors) {
    bool shell = ShellMatch(v.name, v.pattern);
    EXPECT_EQ(shell, v.match) << "table: \"" << v.name << "\" vs \"" << v.pattern << "\"";
    EXPECT_EQ(WildcardMatch(v.name, v.pattern), shell)
        << "matcher: \"" << v.name << "\" vs \"" << v.pattern << "\"";
  }
}

// Random short names and patterns over a small alphabet, so that stars,
// dots and letter case meet in every arrangement.
TEST(WildcardOracle, RandomCasesAgreeWithTheShell) {
  static const char kNameChars[] = "aAbB.";
  static const char kPatternChars[] = "aAbB.*?";
  std::mt19937 random(20240607);
  auto text = [&random](const char* alphabet, size_t alphabet_size, size_t max_length) {
    std::string s(random() % (max_length + 1), ' ');
    for (char& c : s) c = alphabet[random() % alphabet_size];
    return s;
  };
  int differences = 0;
  for (int i = 0; i < 20000 && differences < 20; ++i) {
    std::string name = text(kNameChars, sizeof kNameChars - 1, 6);
    std::string pattern = text(kPatternChars, sizeof kPatternChars - 1, 5);
    if (WildcardMatch(name, pattern) != ShellMatch(name, pattern)) {
      ++differences;
      ADD_FAILURE() << "\"" << name << "\" vs \"" << pattern
                    << "\": shell says " << ShellMatch(name, pattern);
    }
  }
}

// Double-byte characters of code page 936: '?' takes a whole character and
// a trail byte that looks like an ASCII letter or '\' never matches alone.
TEST(WildcardOracle, DoubleByteNamesAgreeWithTheShell) {
  if (GetACP() != 936) GTEST_SKIP() << "needs code page 936";
  struct Case {
    const char* name;
    const char* pattern;
    bool known_difference;
  };
  const Case cases[] = {
      {"\xB1\xBB.txt", "?.txt", false},  // one character, two bytes
      {"\xB1\xBB.txt", "??.txt", false},
      {"\x81\x41", "*A", false},  // trail byte 'A'
      {"\x81\x41", "\x81" "a", false},  // a trail byte is not folded
      {"\x81\x61", "\x81\x41", false},
      {"\x95\x5C", "*\\", false},  // trail byte '\'
      {"a\xD6\xD0\xCE\xC4.htm", "A*.HTM", false},
      {"\xD6\xD0\xCE\xC4", "\xD6\xD0?", false},
      {"\xD6\xD0\xCE\xC4", "*\xCE\xC4", false},
      {"\xD6\xD0\xCE\xC4", "*\xD0\xCE*", false},  // bytes across a character boundary
      {"\x80", "?", false},
      {"a\x81", "a?", false},  // a lead byte at the end stands alone
      {"\xFF", "\xFF", false},
      // The shell ignores the case of every letter, the portable matcher only
      // that of ASCII: full-width A, Greek alpha and Cyrillic A against their
      // small forms.
      {"\xA3\xC1", "\xA3\xE1", true},
      {"\xA6\xA1", "\xA6\xC1", true},
      {"\xA7\xA1", "\xA7\xD1", true},
  };
  for (const Case& c : cases) {
    bool shell = ShellMatch(c.name, c.pattern);
    bool portable = WildcardMatch(c.name, c.pattern);
    if (c.known_difference) {
      EXPECT_TRUE(shell) << "\"" << c.name << "\" vs \"" << c.pattern << "\"";
      if (portable == shell) std::printf("now agrees: %s vs %s\n", c.name, c.pattern);
    } else {
      EXPECT_EQ(portable, shell) << "\"" << c.name << "\" vs \"" << c.pattern << "\"";
    }
  }
}

// Letters beyond ASCII in code page 1252.
TEST(WildcardOracle, WesternLettersAgainstTheShell) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252";
  EXPECT_EQ(WildcardMatch("caf\xE9", "caf?"), ShellMatch("caf\xE9", "caf?"));
  EXPECT_EQ(WildcardMatch("\xE9t\xE9", "*t\xE9"), ShellMatch("\xE9t\xE9", "*t\xE9"));
  // Known difference: the shell also ignores the case of accented letters.
  EXPECT_TRUE(ShellMatch("CAF\xC9", "caf\xE9"));
  EXPECT_TRUE(ShellMatch("\xD8", "\xF8"));
  std::printf("portable matcher folds accented letters: %d\n", WildcardMatch("CAF\xC9", "caf\xE9"));
}

}  // namespace
}  // namespace vellora
