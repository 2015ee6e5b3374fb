#include "platform/characters.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/lead_byte_env.h"
#include "platform/path.h"

namespace vellora {
namespace {

const size_t npos = std::string::npos;

// Texts of code page 936: 淺 is 9C 5C, 籠 BB 5C; 81 41 and 81 7C are single
// characters that end in 'A' and '|'.
TEST(CharactersTest, SeparatorsAndLettersInsideCharactersAreNotFound) {
  LeadByteEnv gbk;
  LeadByteEnv utf8(true);
  struct Case {
    std::string text;
    char c;
    size_t first, last;  // in GBK
  };
  const Case cases[] = {
      {"a\\b", '\\', 1, 1},
      {"\x9C\x5C", '\\', npos, npos},
      {"x\\\x9C\x5C", '\\', 1, 1},
      {"\x9C\x5C\\\xBB\x5C", '\\', 2, 2},
      {"\x81\x81\\", '\\', 2, 2},       // a lead byte as trail byte, then '\'
      {"a\\\x81", '\\', 1, 1},          // a lead byte at the end stands alone
      {"\x81\x41" "A", 'A', 2, 2},
      {"\x81\x7C|\x81\x7C", '|', 2, 2},
      {"\x81[\x81[", '[', npos, npos},
      {"", '\\', npos, npos},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(k.first, FindCharacter(k.text, k.c, 0, &gbk)) << k.text;
    EXPECT_EQ(k.last, FindLastCharacter(k.text, k.c, &gbk)) << k.text;
    EXPECT_EQ(k.last != npos && k.last + 1 == k.text.size(), EndsWithCharacter(k.text, k.c, &gbk))
        << k.text;
    // In UTF-8 every ASCII byte is a character.
    EXPECT_EQ(k.text.find(k.c), FindCharacter(k.text, k.c, 0, &utf8)) << k.text;
    EXPECT_EQ(k.text.rfind(k.c), FindLastCharacter(k.text, k.c, &utf8)) << k.text;
  }
  EXPECT_EQ(3u, FindCharacter("\\\x9C\x5C\\", '\\', 1, &gbk));
  EXPECT_EQ(2u, CharacterLength("\x9C\x5C", 0, &gbk));
  EXPECT_EQ(1u, CharacterLength("\x9C", 0, &gbk));
  EXPECT_EQ(1u, CharacterLength("\x9C\x5C", 0, &utf8));
}

TEST(CharactersTest, ReplacingAndSearchingTextKeepCharactersWhole) {
  LeadByteEnv gbk;
  std::string path = "C:\\\x9C\x5C\\\xBB\x5C\\x";
  ReplaceCharacter(&path, '\\', '/', &gbk);
  EXPECT_EQ("C:/\x9C\x5C/\xBB\x5C/x", path);
  ReplaceCharacter(&path, '/', '\\', &gbk);
  EXPECT_EQ("C:\\\x9C\x5C\\\xBB\x5C\\x", path);

  // "SRC=" whose 'S' is the trail byte of a character is no match.
  EXPECT_EQ(5u, FindText("\x81SRC=SRC=", "SRC=", 0, &gbk));
  EXPECT_EQ(npos, FindText("\x81SRC=", "SRC=", 0, &gbk));
  LeadByteEnv utf8(true);
  EXPECT_EQ(1u, FindText("\x81SRC=", "SRC=", 0, &utf8));
  EXPECT_EQ(2u, FindText("\x9C\x5C\\\\", "\\\\", 0, &gbk));
  EXPECT_EQ(0u, FindText("ab", "", 0, &gbk));
}

// The path helpers walk the characters of the Env they are given.
TEST(CharactersTest, PathHelpersUseTheLeadBytesOfTheirEnv) {
  LeadByteEnv gbk;
  const std::string sep(1, kSeparator);
  const std::string shallow = "\x9C\x5C";
#ifdef _WIN32
  const std::string folder = "C:" + sep + "t" + sep + shallow;
#else
  const std::string folder = sep + "t" + sep + shallow;
#endif
  EXPECT_EQ(folder + sep, WithTrailingSeparator(folder, &gbk));
  EXPECT_EQ(folder + sep, WithTrailingSeparator(folder + sep, &gbk));
  EXPECT_EQ(shallow, TextAfterLastSeparator(folder, &gbk));
  EXPECT_FALSE(ContainsSeparator(shallow + "\xBB\x5C", &gbk));
  EXPECT_TRUE(ContainsSeparator(folder, &gbk));
  std::string real;
  ASSERT_TRUE(gbk.RealPath(folder + sep + "." + sep, &real));
  EXPECT_EQ(folder, real);
}

}  // namespace
}  // namespace vellora
