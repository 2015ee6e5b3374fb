// Paths shortened to fit a dialog's line, measured at 7 pixels a byte.
#include "sheet/compact_path.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/lead_byte_env.h"

namespace vellora {
namespace {

int SevenPerByte(const std::string& text) { return 7 * static_cast<int>(text.size()); }

TEST(CompactPathTest, ShortensInTheMiddleThenCutsTheName) {
  LeadByteEnv utf8(true);
  LeadByteEnv gbk(false);
  const std::string site = "/home/user/projects/site/index.html";  // 35 bytes, 245 pixels
  struct Case {
    std::string path;
    int width;
    Env* env;
    std::string want;
  };
  const Case cases[] = {
      {site, 245, &utf8, site},
      {site, 244, &utf8, "/home/user/projects/.../index.html"},
      {site, 237, &utf8, "/home/user/.../index.html"},
      {site, 140, &utf8, "/home/.../index.html"},
      {site, 105, &utf8, "/.../index.html"},
      {site, 104, &utf8, ".../index.html"},
      // Not even ".../index.html": the name is cut, then "..." follows.
      {site, 90, &utf8, ".../index..."},
      {site, 56, &utf8, ".../i..."},
      {site, 55, &utf8, "..."},
      {site, 14, &utf8, ".."},
      {site, 0, &utf8, ""},
      {"averyveryverylongname.html", 70, &utf8, "averyve..."},
      {"/srv/a-long-folder-name/", 161, &utf8, ".../a-long-folder-name/"},
      // The dialog's label ("root file:" in UTF-8) belongs to the first component.
      {"\xE6\xA0\xB9\xE6\x96\x87\xE4\xBB\xB6:  /srv/www/site/index.html", 250, &utf8,
       "\xE6\xA0\xB9\xE6\x96\x87\xE4\xBB\xB6:  /srv/www/.../index.html"},
      // Whole characters only: a UTF-8 sequence or a double-byte character
      // is never split (the same three Chinese characters in UTF-8 and GBK).
      {"/d/\xE8\xA1\xA8\xE6\xA0\xBC\xE8\xA1\xA8.txt", 105, &utf8, ".../\xE8\xA1\xA8\xE6\xA0\xBC..."},
      {"/d/\xB1\xED\xB8\xF1\xB1\xED.txt", 90, &gbk, ".../\xB1\xED\xB8\xF1..."},
#ifdef _WIN32
      {"C:\\Data\\Reports\\2024\\index.html", 154, &gbk, "C:\\Data\\...\\index.html"},
      {"C:\\Data\\Reports\\2024\\index.html", 153, &gbk, "C:\\...\\index.html"},
      {"\\\\server\\share\\web\\index.html", 175, &gbk, "\\\\server\\...\\index.html"},
      // 0x95 0x5C is one character: its second byte is no separator.
      {"C:\\ab\x95\\cdefgh\\file.txt", 140, &gbk, "C:\\...\\file.txt"},
#endif
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompactPathToFit(c.path, c.width, SevenPerByte, c.env), c.want) << c.path << " in " << c.width;
  }
}

TEST(CompactPathTest, DeepPathsAreMeasuredAFewTimes) {
  LeadByteEnv utf8(true);
  std::string path;
  for (int i = 0; i < 4000; ++i) path += "/folder" + std::to_string(i);
  path += "/index.html";
  int calls = 0;
  auto measure = [&calls](const std::string& text) {
    ++calls;
    return SevenPerByte(text);
  };
  EXPECT_EQ(CompactPathToFit(path, 582, measure, &utf8),
            "/folder0/folder1/folder2/folder3/folder4/folder5/folder6/folder7/.../index.html");
  EXPECT_LT(calls, 40);
}

}  // namespace
}  // namespace vellora
