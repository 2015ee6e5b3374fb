#include "custom/custom_html.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "custom/memory_env.h"

namespace vellora {
namespace {

class CustomHtmlTest : public ::testing::Test {
 protected:
  // Loads `content` as the custom HTML file "custom.txt" of the program's folder.
  CCustomHtml LoadText(const std::string& content) {
    env_.files[env_.ProgramFolder() + "custom.txt"] = content;
    CCustomHtml html;
    html.Load("custom.txt", &env_);
    return html;
  }

  void ExpectAllEmpty(const CCustomHtml& html) {
    for (int s = 0; s < kSectionCount; ++s) {
      EXPECT_EQ(html.section(s), "") << SectionDirective(s);
    }
  }

  MemoryEnv env_;
};

TEST_F(CustomHtmlTest, EveryDirectiveFillsItsOwnSection) {
  std::string file;
  for (int s = 0; s < kSectionCount; ++s) {
    file += std::string(SectionDirective(s)) + "\nv" + std::to_string(s) + "\n";
  }
  CCustomHtml html = LoadText(file);
  for (int s = 0; s < kSectionCount; ++s) {
    std::string v = "v" + std::to_string(s);
    EXPECT_NE(html.section(s).find(v), std::string::npos) << SectionDirective(s);
  }
  EXPECT_STREQ(SectionDirective(kPostFnameFolder), "/POST_FNAME_FOLDER");
  EXPECT_STREQ(SectionDirective(kSectionCount), "");
  EXPECT_STREQ(SectionDirective(-1), "");
}

TEST_F(CustomHtmlTest, StoredFormsOfTheSections) {
  CCustomHtml html = LoadText(
      "/FOLDER_FILE_LINK\nindex\n.html\n"
      "/START\na\nb\n"
      "/FILE_TD\na\nb\n"
      "/DOCTYPE\n\n"
      "/BODYHEADER\n<body>\n\n"
      "/FOLDER_PREFIX\n\nhttp://x/\n\n"
      "/POST_HREF_FILE\n%%F\n");
  EXPECT_EQ(html.section(kFolderFileLink), "index.html");
  EXPECT_EQ(html.section(kStart), "a\r\nb\r\n");
  EXPECT_EQ(html.section(kFileTd), "a\r\nb");
  EXPECT_EQ(html.section(kDoctype), "\r\n");
  EXPECT_EQ(html.section(kBodyHeader), "<body>\r\n");
  EXPECT_EQ(html.section(kFolderPrefix), "http://x/");
  EXPECT_EQ(html.section(kPostHrefFile), "%%F\r\n");
  EXPECT_EQ(html.section(kHead), "");
}

TEST_F(CustomHtmlTest, HrefAppendGetsOneLeadingSpace) {
  EXPECT_EQ(LoadText("/FILE_HREF_APPEND\ntarget=_top\n").section(kFileHrefAppend),
            " target=_top");
  EXPECT_EQ(LoadText("/FILE_HREF_APPEND\n target=_top\n").section(kFileHrefAppend),
            " target=_top");
  EXPECT_EQ(LoadText("/FOLDER_HREF_APPEND\n\na\n\nb\n").section(kFolderHrefAppend), " a\r\nb");
  EXPECT_EQ(LoadText("/FOLDER_HREF_APPEND\n\n\n").section(kFolderHrefAppend), "");
}

TEST_F(CustomHtmlTest, EmptyLinesKeptOrDroppedBySection) {
  CCustomHtml html = LoadText("/START\n\na\n\n/TABLEHEADER\n\n<table>\n\n/ANCHOR\n\n");
  EXPECT_EQ(html.section(kStart), "\r\na\r\n\r\n");
  EXPECT_EQ(html.section(kTableHeader), "<table>\r\n");
  EXPECT_EQ(html.section(kAnchor), "");  // one empty line joined: nothing left
}

TEST_F(CustomHtmlTest, OnlyExactDirectiveLinesCount) {
  CCustomHtml html = LoadText(
      "ignored before any directive\n/HEAD \n<meta a>\n/head\n/HEAD comment\n"
      " /HEAD\n/END\nx\n/HEAD\nh\n/END\ny\n");
  EXPECT_EQ(html.section(kHead), "h\r\n");
  EXPECT_EQ(html.section(kEnd), "x\r\ny\r\n");  // a repeated directive continues
  EXPECT_EQ(html.section(kStart), "");
}

TEST_F(CustomHtmlTest, LongLinesAreReadInPiecesOf998) {
  std::string line(1200, 'x');
  line[997] = 'a';
  line[998] = 'b';
  CCustomHtml html = LoadText("/START\n" + line + "\n/FILE_TD\n" + std::string(998, 'y') +
                              "\n/ANCHOR\n" + std::string(1996, 'z'));
  EXPECT_EQ(html.section(kStart),
            std::string(997, 'x') + "a\r\nb" + std::string(201, 'x') + "\r\n");
  EXPECT_EQ(html.section(kFileTd), std::string(998, 'y'));
  EXPECT_EQ(html.section(kAnchor), std::string(998, 'z') + "\r\n" + std::string(998, 'z'));
}

TEST_F(CustomHtmlTest, LineEndsDoNotMatter) {
  const std::string lf = "/HEAD\n<a>\n\n/FILE_TD\n<td>\n/SIZE_DATE_TD\n<td x>";
  const std::string crlf = "/HEAD\r\n<a>\r\n\r\n/FILE_TD\r\n<td>\r\n/SIZE_DATE_TD\r\n<td x>\r\n";
  CCustomHtml a = LoadText(lf);
  CCustomHtml b = LoadText(lf + "\n");
  CCustomHtml c = LoadText(crlf);
  for (int s = 0; s < kSectionCount; ++s) {
    EXPECT_EQ(a.section(s), b.section(s)) << SectionDirective(s);
    EXPECT_EQ(a.section(s), c.section(s)) << SectionDirective(s);
  }
  EXPECT_EQ(a.section(kHead), "<a>\r\n\r\n");
  EXPECT_EQ(a.section(kSizeDateTd), "<td x>");
  // A CR not followed by LF is content.
  EXPECT_EQ(LoadText("/END\na\rb\r").section(kEnd), "a\rb\r\r\n");
}

TEST_F(CustomHtmlTest, EveryLoadStartsFromEmptySections) {
  const std::string file = "/START\na\n/END\nb\n";
  CCustomHtml html = LoadText(file);
  html.Load("custom.txt", &env_);
  EXPECT_EQ(html.section(kStart), "a\r\n");
  EXPECT_EQ(html.section(kEnd), "b\r\n");
  html.Load("missing.txt", &env_);
  ExpectAllEmpty(html);
  html.Load("custom.txt", &env_);
  html.Load("", &env_);
  ExpectAllEmpty(html);
}

TEST_F(CustomHtmlTest, BareNameIsReadFromTheProgramFolderOnly) {
  env_.files[std::string("custom.txt")] = "/START\ncurrent\n";
  env_.files[env_.ProgramFolder() + "custom.txt"] = "/START\nprogram\n";
  CCustomHtml html;
  html.Load("custom.txt", &env_);
  EXPECT_EQ(html.section(kStart), "program\r\n");

  const std::string full = std::string(1, kSeparator) + "t" + kSeparator + "c.txt";
  env_.files[full] = "/END\nfull\n";
  html.Load(full, &env_);
  EXPECT_EQ(html.section(kEnd), "full\r\n");
  EXPECT_EQ(html.section(kStart), "");
}

TEST_F(CustomHtmlTest, HostileFilesLoadWithoutHarm) {
  ExpectAllEmpty(LoadText(""));
  ExpectAllEmpty(LoadText("no directive\nat all\n" + std::string(10000, 'q')));
  ExpectAllEmpty(LoadText(std::string("\0\xff\xfe/HEAD\0\n", 10)));

  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 131) & 0xff));
  CCustomHtml html = LoadText("/END\n" + binary);
  EXPECT_GE(html.section(kEnd).size(), binary.size() - 64);  // CRs before LF dropped

  // NUL bytes are kept as content.
  EXPECT_EQ(LoadText(std::string("/END\na\0b\n", 9)).section(kEnd), std::string("a\0b\r\n", 5));

  // 10,000-character lines become pieces of 998 (ten full ones and one of 20).
  html = LoadText("/FILE_TD\n" + std::string(10000, 'w') + "\n");
  EXPECT_EQ(html.section(kFileTd).size(), 10000u + 10 * 2);
}

TEST_F(CustomHtmlTest, TheLargestFileLoadsInLinearTime) {
  std::string big = "/START\n";
  big.reserve(kMaxCustomHtmlBytes);
  const std::string line = std::string(70, 'm') + "\r\n";
  const std::string last(3u << 20, 'L');  // one 3 MB line without a line end
  while (big.size() + line.size() + last.size() <= kMaxCustomHtmlBytes) big += line;
  big += last;
  auto start = std::chrono::steady_clock::now();
  CCustomHtml html = LoadText(big);
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GT(html.section(kStart).size(), kMaxCustomHtmlBytes - 100);
  EXPECT_LT(seconds, 30.0);
}

TEST_F(CustomHtmlTest, AFileLongerThanTheCapIsTreatedAsMissing) {
  const std::string head = "/END\nend\n";
  struct Case {
    size_t size;
    const char* end_section;
  };
  const Case cases[] = {
      {kMaxCustomHtmlBytes, "end\r\n"},
      {kMaxCustomHtmlBytes + 1, ""},
  };
  for (const Case& c : cases) {
    // The filler is ignored: it comes before the first directive line.
    const std::string file = std::string(c.size - head.size(), '\n') + head;
    EXPECT_EQ(LoadText(file).section(kEnd), c.end_section) << c.size;
  }
}

}  // namespace
}  // namespace vellora
