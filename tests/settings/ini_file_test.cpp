#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "settings/config_env.h"
#include "platform/characters.h"

namespace vellora {
namespace {

std::string Get(const std::string& text, const std::string& section, const std::string& key,
                size_t max_chars = 998) {
  return IniDocument(text).Get(section, key, "<default>", max_chars);
}

// The reading rules; the Windows build checks them against the system's own
// profile functions on many more vectors.
TEST(IniDocumentTest, ReadsAsTheProfileFunctions) {
  const std::string text =
      "title=before any section\r\n"
      "  [ Vellora ] trailing text\r\n"
      " \tTitle\t =  My  page \t\n"
      "title=second\r"
      ";path=comment\r\n"
      "path = a = b\r\n"
      "quoted=\"abcdef\"\r\n"
      "nokey\r\n"
      "empty=\r\n"
      "[OTHER]\r\n"
      "size=1\r\n"
      "[VELLORA]\r\n"
      "only=in a repeated section\r\n";
  EXPECT_EQ(Get(text, "VELLORA", "TITLE"), "My  page");
  EXPECT_EQ(Get(text, " vellora ", " path "), "a = b");
  EXPECT_EQ(Get(text, "", "title"), "before any section");
  EXPECT_EQ(Get(text, "VELLORA", "quoted"), "abcdef");
  EXPECT_EQ(Get(text, "VELLORA", "quoted", 3), "abc");
  // A buffer one short of the closing quote loses the last character too.
  EXPECT_EQ(Get(text, "VELLORA", "quoted", 6), "abcde");
  EXPECT_EQ(Get(text, "VELLORA", "empty"), "");
  for (const char* missing : {"nokey", "size", "only", "titl"}) {
    EXPECT_EQ(Get(text, "VELLORA", missing), "<default>") << missing;
  }
  EXPECT_EQ(Get("\xEF\xBB\xBF[S]\rk=bom", "S", "k"), "bom");
  EXPECT_EQ(Get(std::string("[S]\nk=ab\0cd\n", 13), "S", "k"), "ab");
  EXPECT_EQ(Get("[S]\nk=" + std::string(1500, 'v'), "S", "k", 998), std::string(998, 'v'));
  // A default loses its trailing spaces.
  EXPECT_EQ(IniDocument().Get("S", "k", "Folder:   ", 998), "Folder:");
  EXPECT_TRUE(IniDocument(text).Has("VELLORA", "empty"));
  EXPECT_FALSE(IniDocument(text).Has("VELLORA", "nokey"));
}

TEST(IniDocumentTest, SetReplacesInPlaceAndKeepsEverythingElse) {
  IniDocument doc(
      "; settings\r\n"
      "[OTHER]\n"
      "title=other\n"
      "\n"
      "[VELLORA]\r\n"
      "  Title =  old value  \r\n"
      "; keep me\r\n"
      "path\r\n"
      "\r\n"
      "[LAST]\r\n"
      "x=1");
  ASSERT_TRUE(doc.Set("VELLORA", "title", "new"));
  ASSERT_TRUE(doc.Set("vellora", "PATH", "C:\\data"));
  ASSERT_TRUE(doc.Set("VELLORA", "added", "1"));
  ASSERT_TRUE(doc.Set("VELLORA", "more", "2"));
  ASSERT_TRUE(doc.Set("LAST", "y", "2"));
  ASSERT_TRUE(doc.Set("NEW", "z", "3"));
  EXPECT_EQ(doc.Serialize(),
            "; settings\r\n"
            "[OTHER]\n"
            "title=other\n"
            "\n"
            "[VELLORA]\r\n"
            "  Title =  new  \r\n"
            "; keep me\r\n"
            "path=C:\\data\r\n"
            "added=1\r\n"
            "more=2\r\n"
            "\r\n"
            "[LAST]\r\n"
            "x=1\r\n"
            "y=2\r\n"
            "[NEW]\r\n"
            "z=3\r\n");
  EXPECT_EQ(doc.Get("VELLORA", "title", "", 998), "new");
  EXPECT_EQ(doc.Get("OTHER", "title", "", 998), "other");
}

TEST(IniDocumentTest, SetCreatesTheFileContentAndKeepsTheByteOrderMark) {
  IniDocument doc;
  ASSERT_TRUE(doc.Set("VELLORA", "title", "  leading blanks go"));
  ASSERT_TRUE(doc.Set("VELLORA", "path", ""));
  EXPECT_EQ(doc.Serialize(), "[VELLORA]\r\ntitle=leading blanks go\r\npath=\r\n");

  IniDocument bom("\xEF\xBB\xBF[VELLORA]");
  ASSERT_TRUE(bom.Set("VELLORA", "k", "v"));
  EXPECT_EQ(bom.Serialize(), "\xEF\xBB\xBF[VELLORA]\r\nk=v\r\n");
}

TEST(IniDocumentTest, SetRefusesWhatCannotBeReadBack) {
  IniDocument doc("[S]\r\nk=v\r\n");
  EXPECT_FALSE(doc.Set("S", "", "v"));
  EXPECT_FALSE(doc.Set("S", "a=b", "v"));
  EXPECT_FALSE(doc.Set("S", "[k]", "v"));
  EXPECT_FALSE(doc.Set("S", "a\nb", "v"));
  EXPECT_FALSE(doc.Set("S\r\n[T]", "k", "v"));
  EXPECT_FALSE(doc.Set(std::string("S\0", 2), "k", "v"));
  EXPECT_EQ(doc.Serialize(), "[S]\r\nk=v\r\n");
  // A value stops at its first line break: no key can be slipped in.
  ASSERT_TRUE(doc.Set("S", "k", "one\r\n[S]\r\nrecursive_build=TRUE"));
  EXPECT_EQ(doc.Serialize(), "[S]\r\nk=one\r\n");
}

TEST(IniDocumentTest, Utf16FilesGiveDefaultsAndAreNotRewritten) {
  const std::string utf16("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0", 18);
  IniDocument doc(utf16);
  EXPECT_TRUE(doc.is_utf16());
  EXPECT_EQ(doc.Get("S", "k", "d", 998), "d");
  EXPECT_FALSE(doc.Set("S", "k", "x"));
  EXPECT_EQ(doc.Serialize(), utf16);
}

// After any sequence of changes the document reads as its own text does.
TEST(IniDocumentTest, ChangesAgreeWithAFreshParse) {
  std::mt19937 rng(12345);
  const std::vector<std::string> pieces = {"[A]", "[b]", " [ C ] ", "k=1", "K = 2", "j",
                                           "; c", "",    "x=\"q\"", "[A]", "=v",    "  "};
  const std::vector<std::string> breaks = {"\r\n", "\n", "\r", "\r\n\r\n", ""};
  const std::vector<std::string> sections = {"A", "B", "c", "D", ""};
  const std::vector<std::string> keys = {"k", "j", "x", "new", "K2"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (int i = static_cast<int>(rng() % 8); i > 0; --i) {
      text += pieces[rng() % pieces.size()] + breaks[rng() % breaks.size()];
    }
    IniDocument doc(text);
    for (int step = 0; step < 8; ++step) {
      const std::string& s = sections[rng() % sections.size()];
      const std::string& k = keys[rng() % keys.size()];
      // Reads first, so that the index exists while it changes.
      doc.Get(sections[rng() % sections.size()], k, "", 998);
      ASSERT_TRUE(doc.Set(s, k, "v" + std::to_string(step)));
      IniDocument fresh(doc.Serialize());
      for (const std::string& s2 : sections) {
        for (const std::string& k2 : keys) {
          ASSERT_EQ(doc.Get(s2, k2, "-", 998), fresh.Get(s2, k2, "-", 998))
              << "text: " << text << " after setting " << s << "/" << k << " in step " << step
              << ": " << doc.Serialize();
        }
      }
      ASSERT_EQ(doc.Get(s, k, "-", 998), "v" + std::to_string(step));
    }
  }
}

TEST(IniDocumentTest, BadInputReadsWithoutHarm) {
  std::mt19937 rng(7);
  std::string garbage(1 << 16, '\0');
  for (char& c : garbage) c = static_cast<char>(rng());
  EXPECT_EQ(Get(garbage, "VELLORA", "title"), "<default>");
  // Garbage around a valid section does not hide it.
  EXPECT_EQ(Get(garbage + "\n[VELLORA]\ntitle=found\n" + garbage, "VELLORA", "title"), "found");
  // Invalid UTF-8 is kept byte for byte.
  EXPECT_EQ(Get("[VELLORA]\ntitle=\xC3\x28\xFF\xFE\x80\n", "VELLORA", "title"),
            "\xC3\x28\xFF\xFE\x80");
  // A line of a million characters.
  const std::string huge(1000000, 'x');
  EXPECT_EQ(Get("[VELLORA]\ntitle=" + huge + "\n", "VELLORA", "title"), huge.substr(0, 998));
  EXPECT_EQ(Get("[" + huge + "]\ntitle=x\n", "VELLORA", "title"), "<default>");
  EXPECT_EQ(Get(huge, "VELLORA", "title"), "<default>");
}

TEST(IniDocumentTest, HundredMegabyteFileIsReadOnce) {
  // Short lines of other sections, then the section that is asked for.
  std::string text;
  const std::string block = "[OTHER]\nk=123456789\nk2 = x\n; note\nno equals sign\n";
  text.reserve((100u << 20) + 64);
  while (text.size() < (100u << 20)) text += block;
  text += "[VELLORA]\ntitle=found\n";
  IniDocument doc(std::move(text));
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  ASSERT_EQ(doc.Get("VELLORA", "title", "d", 998), "found");
  const auto first = Clock::now() - start;
  // Further look-ups in the section do not read the text again.
  const auto again = Clock::now();
  for (int i = 0; i < 52; ++i) ASSERT_EQ(doc.Get("VELLORA", "title", "d", 998), "found");
  EXPECT_LT(Clock::now() - again, first);
}

// An Env of a double-byte code page; its listings split paths at the last
// separator that is a character of its own.
class DoubleByteEnv : public ConfigEnv {
 public:
  bool IsLeadByte(unsigned char c) override { return c >= 0x81 && c <= 0xFE; }
  std::string CharsetName() override { return "gbk"; }
  bool ListFolder(const std::string& folder, const std::string&,
                  const std::function<void(const FolderItem&)>& visit) override {
    for (const auto& f : files) {
      const size_t cut = FindLastCharacter(f.first, kSeparator, this);
      FolderItem item;
      item.name = f.first.substr(cut + 1);
      if (f.first.compare(0, cut, folder) == 0 && folder.size() == cut) visit(item);
    }
    return folders.count(folder) > 0;
  }
};

TEST(IniFileTest, CutsKeepWholeCharacters) {
  DoubleByteEnv dbcs;
  const std::string path = NativePath("/opt/vellora/c.ini");
  dbcs.files[path] = "[S]\r\nk=\xCE\xC4\xBC\xFEx\xCE\xC4\r\n";
  EXPECT_EQ(ReadIniString(&dbcs, path, "S", "k", "", 3), "\xCE\xC4");
  EXPECT_EQ(ReadIniString(&dbcs, path, "S", "k", "", 4), "\xCE\xC4\xBC\xFE");
  EXPECT_EQ(ReadIniString(&dbcs, path, "S", "k", "", 6), "\xCE\xC4\xBC\xFEx");

  ConfigEnv utf8;
  const CharacterCut cut = CharacterCutFor(&utf8);
  const std::string text = "a\xE6\x96\x87\xF0\x9F\x98\x80z";  // a, a 3-byte and a 4-byte character
  const size_t expected[] = {0, 1, 1, 1, 4, 4, 4, 4, 8, 9, 9};
  for (size_t n = 0; n < sizeof expected / sizeof expected[0]; ++n) {
    EXPECT_EQ(cut(text, n), expected[n]) << n;
  }
  // Stray continuation bytes are not characters to keep whole.
  EXPECT_EQ(cut("a\x80\x80\x80", 2), 2u);
  EXPECT_EQ(cut("\xE6\x96", 1), 0u);
}

TEST(IniFileTest, AFileLongerThanTheCapIsNeitherReadNorWrittenOver) {
  const std::string head = "[S]\nk=v\n";
  struct Case {
    size_t size;
    bool read;
    const char* value;
  };
  const Case cases[] = {
      {kMaxIniFileBytes, true, "v"},
      {kMaxIniFileBytes + 1, false, "def"},
  };
  for (const Case& c : cases) {
    ConfigEnv env;
    const std::string path = NativePath("/opt/vellora/big.ini");
    // Comment lines fill the file up to the size.
    const std::string file = head + std::string(c.size - head.size(), ';');
    env.files[path] = file;
    IniDocument doc;
    EXPECT_EQ(LoadIniFile(&env, path, &doc), c.read) << c.size;
    EXPECT_EQ(ReadIniString(&env, path, "S", "k", "def", 998), c.value) << c.size;
    // A file that cannot be read whole is never replaced by a shorter one.
    EXPECT_EQ(WriteIniString(&env, path, "S", "j", "w"), c.read) << c.size;
    if (!c.read) {
      EXPECT_TRUE(env.files[path] == file) << c.size;
    }
  }
}

// A file that exists but cannot be read is never replaced, also when its
// name ends in a character whose second byte is '\'; 丄 (81 41) and 乤
// (81 61) are two names, though their trail bytes differ only in case.
TEST(IniFileTest, UnreadableFilesWithDoubleByteNamesAreKept) {
  DoubleByteEnv dbcs;
  const std::string folder = NativePath("/opt/vellora") + kSeparator;
  for (const std::string name : {"\x9C\x5C", "\x81\x41"}) {
    dbcs.files[folder + name] = "[S]\r\nk=v\r\n";
    dbcs.unreadable.insert(folder + name);
  }
  IniDocument doc;
  EXPECT_FALSE(OpenIniForUpdate(&dbcs, folder + "\x9C\x5C", &doc));
  EXPECT_FALSE(OpenIniForUpdate(&dbcs, folder + "\x81\x41", &doc));
  EXPECT_TRUE(OpenIniForUpdate(&dbcs, folder + "\x81\x61", &doc));
}

TEST(IniFileTest, FilesAreReadAndWrittenThroughTheEnv) {
  ConfigEnv env;
  const std::string path = NativePath("/opt/vellora/test.ini");
  IniDocument doc;
  EXPECT_FALSE(LoadIniFile(&env, path, &doc));
  EXPECT_EQ(ReadIniString(&env, path, "S", "k", "def", 998), "def");
  ASSERT_TRUE(WriteIniString(&env, path, "S", "k", "v1"));
  ASSERT_TRUE(WriteIniString(&env, path, "S", "j", "v2"));
  EXPECT_EQ(env.files[path], "[S]\r\nk=v1\r\nj=v2\r\n");
  EXPECT_EQ(ReadIniString(&env, path, "s", "K", "def", 998), "v1");
}

}  // namespace
}  // namespace vellora
