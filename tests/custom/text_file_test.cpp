#include "custom/text_file.h"

#include <gtest/gtest.h>

#include <string>

#include "custom/memory_env.h"

namespace vellora {
namespace {

const std::string kSep(1, kSeparator);

class TextFileTest : public ::testing::Test {
 protected:
  std::string Program(const std::string& name) { return env_.ProgramFolder() + name; }
  std::string Listed(const std::string& name) { return listed_ + kSep + name; }
  std::string Expand(std::string section) {
    ExpandIncludes(&section, listed_, &env_);
    return section;
  }

  MemoryEnv env_;
  const std::string listed_ = kSep + "data";
};

TEST_F(TextFileTest, ResolveProgramRelative) {
  EXPECT_EQ(ResolveProgramRelative("custom.txt", &env_), Program("custom.txt"));
  EXPECT_EQ(ResolveProgramRelative("", &env_), env_.ProgramFolder());
  const std::string with_separator = "sub" + kSep + "custom.txt";
  EXPECT_EQ(ResolveProgramRelative(with_separator, &env_), with_separator);
  // An unknown program folder never turns into the current folder.
  env_.executable = "";
  EXPECT_EQ(ResolveProgramRelative("custom.txt", &env_), "");
}

TEST_F(TextFileTest, LoadTextFileLooksInTheFolderThenTheProgramFolder) {
  env_.files[Listed("a.txt")] = "listed a";
  env_.files[Program("a.txt")] = "program a";
  env_.files[Program("b.txt")] = "program b";
  EXPECT_EQ(LoadTextFile("a.txt", listed_, &env_), "listed a");
  EXPECT_EQ(LoadTextFile("a.txt", listed_ + kSep, &env_), "listed a");
  EXPECT_EQ(LoadTextFile("b.txt", listed_, &env_), "program b");
  EXPECT_EQ(LoadTextFile("a.txt", "", &env_), "program a");
  EXPECT_EQ(LoadTextFile("c.txt", listed_, &env_), "");
  EXPECT_EQ(LoadTextFile("", listed_, &env_), "");
  EXPECT_EQ(LoadTextFile(Listed("a.txt"), "elsewhere", &env_), "listed a");
  EXPECT_EQ(LoadTextFile(Listed("b.txt"), "elsewhere", &env_), "");
}

TEST_F(TextFileTest, LoadTextFileKeepsBytesUpToTheFirstNul) {
  env_.files[Listed("crlf.txt")] = "a\r\nb\n\r";
  env_.files[Listed("nul.txt")] = std::string("head\0tail", 9);
  EXPECT_EQ(LoadTextFile("crlf.txt", listed_, &env_), "a\r\nb\n\r");
  EXPECT_EQ(LoadTextFile("nul.txt", listed_, &env_), "head");
}

TEST_F(TextFileTest, AFileLongerThanTheCapIsTreatedAsMissing) {
  const std::string full(kMaxTextFileBytes, 'f');
  struct Case {
    std::string listed;   // the file in the listed folder
    std::string program;  // the file of the same name in the program's folder
    std::string result;
  };
  const Case cases[] = {
      {full, "program", full},
      {full + "+", "program", "program"},  // as if missing: the program's folder's
      {full + "+", "", ""},
      {"listed", full + "+", "listed"},
  };
  for (const Case& c : cases) {
    env_.files[Listed("f.txt")] = c.listed;
    env_.files[Program("f.txt")] = c.program;
    if (c.program.empty()) env_.files.erase(Program("f.txt"));
    const std::string got = LoadTextFile("f.txt", listed_, &env_);
    EXPECT_TRUE(got == c.result) << c.listed.size() << " " << c.program.size() << " gave "
                                 << got.size() << " bytes";
  }
  env_.files[Listed("big.txt")] = full + "+";
  EXPECT_EQ(Expand("<%%FILEbig.txt%>"), "<>");
}

TEST_F(TextFileTest, TakeIncludeName) {
  std::string text = "a%%FILEfoot.txt%b%%FILEx%";
  std::string name;
  ASSERT_TRUE(TakeIncludeName(&text, &name));
  EXPECT_EQ(name, "foot.txt");
  EXPECT_EQ(text, "a%%FILZb%%FILEx%");

  text = "%%FILE%";
  ASSERT_TRUE(TakeIncludeName(&text, &name));
  EXPECT_EQ(name, "");
  EXPECT_EQ(text, "%%FILZ");

  for (std::string unchanged : {"plain", "%%FILEopen", "%%FIL", ""}) {
    std::string copy = unchanged;
    EXPECT_FALSE(TakeIncludeName(&copy, &name)) << unchanged;
    EXPECT_EQ(copy, unchanged);
  }
}

TEST_F(TextFileTest, ExpandIncludesReplacesEveryToken) {
  env_.files[Listed("footer.txt")] = "<p>foot</p>\r\n";
  env_.files[Program("logo.txt")] = "<img>";
  env_.files[Listed("outer.txt")] = "[%%FILElogo.txt%]";
  EXPECT_EQ(Expand("x%%FILEfooter.txt%y"), "x<p>foot</p>\r\ny");
  EXPECT_EQ(Expand("%%FILEfooter.txt%%%FILElogo.txt%"), "<p>foot</p>\r\n<img>");
  EXPECT_EQ(Expand("(%%FILEouter.txt%)"), "([<img>])");
  EXPECT_EQ(Expand("no tokens %%DIR"), "no tokens %%DIR");
}

TEST_F(TextFileTest, ExpandIncludesDropsUnreadableFiles) {
  EXPECT_EQ(Expand("a%%FILEmissing.txt%b"), "ab");
  EXPECT_EQ(Expand("a%%FILE%b"), "ab");
}

TEST_F(TextFileTest, UnclosedTokenStaysAndEndsTheExpansion) {
  env_.files[Listed("f.txt")] = "F";
  EXPECT_EQ(Expand("%%FILEf.txt%-%%FILEf.txt"), "F-%%FILEf.txt");
  // Included text that ends in an open token stops there, too.
  env_.files[Listed("open.txt")] = "O%%FILEf.txt";
  EXPECT_EQ(Expand("|%%FILEopen.txt%"), "|O%%FILEf.txt");
  // A name ends at the next '%', which may be the first of another "%%".
  EXPECT_EQ(Expand("%%FILEf.txt%%FILEf.txt%"), "F%FILEf.txt%");
}

TEST_F(TextFileTest, SelfIncludingFilesEnd) {
  env_.files[Listed("self.txt")] = "x%%FILEself.txt%";
  EXPECT_EQ(Expand("%%FILEself.txt%!"), std::string(kMaxIncludeExpansions, 'x') + "!");

  // A file naming itself twice grows by one token per include, all bounded.
  env_.files[Listed("two.txt")] = "y%%FILEtwo.txt%%%FILEtwo.txt%";
  std::string out = Expand("%%FILEtwo.txt%");
  EXPECT_EQ(out, std::string(kMaxIncludeExpansions, 'y'));
}

TEST_F(TextFileTest, IncludesNeverGrowACopyBeyondTheLimit) {
  // Many markers already in the section would each receive the content.
  const std::string block(4096, 'b');
  env_.files[Listed("block.txt")] = block;
  std::string section;
  for (int i = 0; i < 70000; ++i) section += "%%FILZ";
  section += "%%FILEblock.txt%<%%FILEblock.txt%>";
  std::string out = Expand(section);
  EXPECT_EQ(out, "<>");
  // Below the limit the same content is included.
  EXPECT_EQ(Expand("%%FILZ%%FILEblock.txt%"), block + block);

  // Markers in included text double the copy at every include.
  env_.files[Listed("boom.txt")] = "ab%%FILZ%%FILZ%%FILEboom.txt%";
  std::string boom = "%%FILEboom.txt%";
  const size_t limit = size_t{1} << 20;
  ExpandIncludes(&boom, listed_, &env_, limit);
  EXPECT_LE(boom.size(), limit);
  EXPECT_GT(boom.size(), 1000u);
  EXPECT_EQ(boom.find_first_not_of("ab"), std::string::npos);  // markers and tokens gone
}

}  // namespace
}  // namespace vellora
