// The readme above the file table: its text as a page shows it, the names
// of the option, and which file of the folder is shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "html/page_fixture.h"
#include "html/readme.h"
#include "platform/path.h"

namespace vellora {
namespace pagetest {
namespace {

const char kPre[] = "<pre class=\"readme\">";
const char kEnd[] = "</pre>\r\n";

TEST(ReadmeHtmlTest, TextIsEscapedAndNeverMarkup) {
  struct Case {
    const char* what;
    std::string text, want;
  };
  const Case cases[] = {
      {"markup", "<b>&amp;</b> <script>x</script>",
       "&lt;b&gt;&amp;amp;&lt;/b&gt; &lt;script&gt;x&lt;/script&gt;"},
      {"line ends", "a\nb\rc\r\nd\te", "a\r\nb\r\nc\r\nd\te"},
      {"a first line break survives the parser", "\nx", "\r\n\r\nx"},
      {"control bytes", std::string("n\0l\x1b\x7f", 5), "n&#65533;l&#65533;&#65533;"},
#ifndef _WIN32
      {"bytes outside UTF-8", "\xEF\xBB\xBF\xE4\xB8\xAD\xFF\xE4\xB8 \xC0\xAF",
       "中&#65533;&#65533; &#65533;&#65533;"},
#endif
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadmeHtml(c.text, false), kPre + c.want + kEnd) << c.what;
  }
  EXPECT_EQ(ReadmeHtml("", false), "");
  const std::string cut = ReadmeHtml("x", true);
  EXPECT_EQ(cut.find(std::string(kPre) + "x" + kEnd + "<p class=\"readme-cut\">"), 0u) << cut;
  EXPECT_NE(cut.find(" 64 KiB</p>\r\n"), std::string::npos);
}

TEST(ReadmeHtmlTest, NamesAndCharacterBoundaries) {
  EXPECT_EQ(ReadmeNames(" README.txt ;;../x; a/b ;..;\treadme.md\t;", nullptr),
            (std::vector<std::string>{"README.txt", "readme.md"}));
#ifndef _WIN32
  // Every first part of "ab中" and "a😀" keeps whole characters only.
  const std::string whole = "ab\xE4\xB8\xAD", wide = "a\xF0\x9F\x98\x80";
  const char* const want[] = {"a", "ab", "ab", "ab", "ab\xE4\xB8\xAD", "a", "a", "a", wide.c_str()};
  for (size_t i = 0; i < 9; ++i) {
    std::string text = i < 5 ? whole.substr(0, i + 1) : wide.substr(0, i - 3);
    CutToCharacter(&text, nullptr);
    EXPECT_EQ(text, want[i]) << i;
  }
#endif
}

class ReadmePageTest : public PageTest {
 protected:
  // The readme part of the page: from the section before it to the file table.
  std::string Shown() {
    settings.reload_custom_html = 0;
    settings.include_subfolders = 0;
    settings.custom_html.section(kBetweenFilesAndFolders) = "<!--between-->\r\n";
    EXPECT_EQ(Write(), 1);
    const size_t from = page.find("<!--between-->\r\n") + 16;
    return page.substr(from, page.find("<table", from) - from);
  }
};

TEST_F(ReadmePageTest, FirstReadableMatchIsShownAboveTheFiles) {
  File("a.txt");
  EXPECT_EQ(Shown(), "");  // no option
  settings.readme_names = "README.txt;README.md;notes.txt";
  EXPECT_EQ(Shown(), "");  // none of them there
  temp.WriteFile("Data/notes.txt", "notes");
  temp.WriteFile("Data/README.md", "# <Title> & more");
  Folder("README.txt");  // a folder of that name is passed over
  EXPECT_EQ(Shown(), std::string(kPre) + "# &lt;Title&gt; &amp; more" + kEnd);

  temp.WriteFile("Data/notes.txt", std::string(kMaxReadmeBytes + 10, 'x'));
  settings.readme_names = "notes.txt";
  const std::string shown = Shown();
  EXPECT_EQ(shown.find(std::string(kPre) + std::string(kMaxReadmeBytes, 'x') + kEnd), 0u);
  EXPECT_NE(shown.find("readme-cut"), std::string::npos);
#ifndef _WIN32
  // A link out of the tree is not read; one inside it is.
  std::filesystem::create_symlink(temp.WriteFile("secret.txt", "SECRET"), root + "/out.txt");
  std::filesystem::create_symlink(root + "/README.md", root + "/in.txt");
  settings.readme_names = "out.txt;in.txt";
  EXPECT_EQ(Shown(), std::string(kPre) + "# &lt;Title&gt; &amp; more" + kEnd);
#endif
}

}  // namespace
}  // namespace pagetest
}  // namespace vellora
