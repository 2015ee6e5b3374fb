// The INI reader and writer against the system's profile functions, on
// shared vectors: whatever the system reads from a file, IniDocument reads
// from the same bytes, and files written by either read the same.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "platform/env.h"

namespace vellora {
namespace {

class OracleFile {
 public:
  OracleFile() {
    static int counter = 0;
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    path_ = std::string(dir) + "vellora_ini_oracle_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++counter) + ".ini";
    DeleteFileA(path_.c_str());
  }
  ~OracleFile() { DeleteFileA(path_.c_str()); }
  const std::string& path() const { return path_; }

  void Write(const std::string& bytes) const {
    FILE* f = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  std::string Read() const {
    std::string bytes;
    FILE* f = std::fopen(path_.c_str(), "rb");
    if (!f) return bytes;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
    return bytes;
  }
  std::string Get(const std::string& section, const std::string& key, const std::string& def,
                  DWORD size) const {
    std::vector<char> buf(size + 16, '#');
    GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buf.data(), size,
                             path_.c_str());
    return std::string(buf.data());
  }

 private:
  std::string path_;
};

const char* const kSections[] = {"VELLORA", "vellora", " VELLORA ", "", "OTHER", "a]b"};
const char* const kKeys[] = {"title", "TITLE", " title ", "path", "", ";title", "ti tle", "k"};

struct ReadVector {
  const char* name;
  std::string content;
};

std::vector<ReadVector> ReadVectors() {
  const std::string value20 = "0123456789abcdefghij";
  return {
      {"missing file", std::string()},
      {"plain", "[VELLORA]\r\ntitle=My page\r\npath=C:\\data\r\n"},
      {"case and blanks", "  [ vellora ]  \r\n\t TITLE \t=\t spaced  value \t\r\n"},
      {"blank in key", "[VELLORA]\r\nti tle=inner blank\r\ntitle =x\r\n"},
      {"quotes", "[VELLORA]\r\ntitle=\"quoted\"\r\npath='single'\r\nk=\"open\r\n"},
      {"quote pair only", "[VELLORA]\r\ntitle=\"\"\r\npath=\"\r\nk='\"\r\n"},
      {"quote and cut", "[VELLORA]\r\ntitle=\"abcdef\"\r\npath=\"abcde\"\r\n"},
      {"long value", "[VELLORA]\r\ntitle=" + value20 + "\r\n"},
      {"duplicate keys", "[VELLORA]\r\ntitle=first\r\nTitle=second\r\n"},
      {"duplicate sections",
       "[VELLORA]\r\ntitle=first\r\n[OTHER]\r\nk=1\r\n[vellora]\r\ntitle=2\r\npath=only here\r\n"},
      {"keys before any section", "title=no section\r\npath=x\r\n[VELLORA]\r\nk=v\r\n"},
      {"line without equals", "[VELLORA]\r\ntitle\r\npath=\r\n"},
      {"empty key name", "[VELLORA]\r\n=empty name\r\n  = second\r\ntitle=t\r\n"},
      {"comments", "; head\r\n[VELLORA]\r\n;title=commented\r\n# path=hash\r\ntitle=real\r\n"},
      {"comment before value", "[VELLORA]\r\ntitle=value ; not a comment\r\n"},
      {"LF only", "[VELLORA]\ntitle=lf\npath=p\n"},
      {"CR only", "[VELLORA]\rtitle=cr\rpath=p\r"},
      {"mixed breaks", "[VELLORA]\n\r\r\ntitle=mixed\n\n\rpath=p"},
      {"byte-order mark", "\xEF\xBB\xBF[VELLORA]\r\ntitle=bom\r\n"},
      {"control blanks", "[VELLORA]\r\ntitle=\x0b\x0c value \x1a\t\r\n\x1apath\x1a=\x1ap\r\n"},
      {"header variants",
       "[VELLORA] junk\r\ntitle=junk header\r\n[a]b]\r\nk=ab\r\n[OTHER\r\nk=no header\r\n"},
      {"empty header", "k=top\r\n[]\r\nk=empty\r\n[ ]\r\nk=blank\r\n"},
      {"NUL bytes", std::string("[VELLORA]\r\ntitle=ab\0cd\r\npa\0th=x\r\n", 33)},
      {"value with equals", "[VELLORA]\r\ntitle = a = b = c\r\n"},
      {"no final break", "[VELLORA]\r\ntitle=last"},
  };
}

TEST(IniOracleTest, ReadsAsTheProfileFunctions) {
  const DWORD sizes[] = {999, 7, 6, 3};
  const char* const defaults[] = {"def   ", "\"q\"", "   "};
  for (const ReadVector& v : ReadVectors()) {
    OracleFile file;
    if (!v.content.empty()) file.Write(v.content);
    IniDocument doc(v.content);
    for (const char* section : kSections) {
      for (const char* key : kKeys) {
        for (DWORD size : sizes) {
          for (const char* def : defaults) {
            EXPECT_EQ(doc.Get(section, key, def, size - 1), file.Get(section, key, def, size))
                << v.name << ": [" << section << "] " << key << " size " << size << " default "
                << def;
          }
        }
      }
    }
  }
}

// On a double-byte code page the system copies whole characters only (and
// leaves the rest of the buffer unwritten); we keep the same characters.
TEST(IniOracleTest, CutsKeepTheCharactersTheSystemKeeps) {
  if (!IsDBCSLeadByte(static_cast<BYTE>('\xCE'))) GTEST_SKIP() << "not a double-byte code page";
  OracleFile file;
  const std::string content =
      "[VELLORA]\r\ntitle=\xCE\xC4\xBC\xFE"
      "a\xCE\xC4\xBC\xFE\r\n";
  file.Write(content);
  IniDocument doc(content);
  doc.set_character_cut(CharacterCutFor(Env::Default()));
  for (DWORD size = 1; size <= 12; ++size) {
    std::string theirs = file.Get("VELLORA", "title", "", size);
    theirs = theirs.substr(0, theirs.find('#'));  // the bytes it did not write
    EXPECT_EQ(doc.Get("VELLORA", "title", "", size - 1), theirs) << size;
  }
}

struct Change {
  const char* section;
  const char* key;
  const char* value;
};

struct WriteVector {
  const char* name;
  std::string content;
  std::vector<Change> changes;
};

TEST(IniOracleTest, WritesReadAsTheProfileFunctionsWrite) {
  const std::vector<WriteVector> vectors = {
      {"new file", "", {{"VELLORA", "title", "x"}, {"VELLORA", "path", "C:\\y"}}},
      {"replace and add",
       "; keep\r\n[OTHER]\r\nk=1\r\n[vellora]\r\nTITLE=old\r\n;c\r\n\r\n[LAST]\r\nk=2",
       {{"VELLORA", "title", "new"},
        {"VELLORA", "new", "n"},
        {"LAST", "x", "3"},
        {"NEW", "k", "4"}}},
      {"blanks in values",
       "[VELLORA]\r\ntitle=a\r\n",
       {{"VELLORA", "title", "  leading"},
        {"VELLORA", "path", "trailing  "},
        {"VELLORA", "k", ""}}},
      {"key without value", "[VELLORA]\r\ntitle\r\npath\r\n", {{"VELLORA", "title", "now set"}}},
      {"duplicates",
       "[VELLORA]\r\ntitle=1\r\ntitle=2\r\n[VELLORA]\r\npath=3\r\n",
       {{"VELLORA", "title", "changed"}, {"VELLORA", "path", "added"}}},
      {"keys before any section",
       "title=top\r\n",
       {{"VELLORA", "title", "in section"}, {"", "path", "top2"}}},
      {"CR only",
       "[VELLORA]\rtitle=a\r[OTHER]\rk=b",
       {{"VELLORA", "new", "1"}, {"OTHER", "x", "2"}}},
      {"LF only",
       "[VELLORA]\ntitle=a\n\n[OTHER]\nk=b\n",
       {{"VELLORA", "title", "c"}, {"VELLORA", "new", "d"}}},
      {"quotes", "[VELLORA]\r\n", {{"VELLORA", "title", "\"quoted\""}, {"VELLORA", "path", "'s'"}}},
      {"byte-order mark", "\xEF\xBB\xBF[VELLORA]\r\ntitle=a\r\n", {{"VELLORA", "path", "b"}}},
  };
  const char* const keys[] = {"title", "path", "new", "k", "x"};
  const char* const sections[] = {"VELLORA", "OTHER", "LAST", "NEW", ""};
  for (const WriteVector& v : vectors) {
    OracleFile theirs, ours;
    if (!v.content.empty()) theirs.Write(v.content);
    IniDocument doc(v.content);
    for (const Change& c : v.changes) {
      EXPECT_TRUE(WritePrivateProfileStringA(c.section, c.key, c.value, theirs.path().c_str()));
      EXPECT_TRUE(doc.Set(c.section, c.key, c.value));
    }
    ours.Write(doc.Serialize());
    IniDocument reread(theirs.Read());
    for (const char* section : sections) {
      for (const char* key : keys) {
        const std::string expected = theirs.Get(section, key, "-", 999);
        EXPECT_EQ(ours.Get(section, key, "-", 999), expected)
            << v.name << ": [" << section << "] " << key << "\nours:\n"
            << doc.Serialize() << "\ntheirs:\n"
            << theirs.Read();
        EXPECT_EQ(doc.Get(section, key, "-", 998), expected)
            << v.name << ": [" << section << "] " << key;
        EXPECT_EQ(reread.Get(section, key, "-", 998), expected)
            << v.name << ": [" << section << "] " << key;
      }
    }
  }
}

}  // namespace
}  // namespace vellora
