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
  for (const std::string& whole :
       {std::string("ab\xE4\xB8\xAD"), std::string("a\xF0\x9F\x98\x80")}) {
    for (size_t keep = 1; keep <= whole.size(); ++keep) {
      std::string text = whole.substr(0, keep);
      CutToCharacter(&text, nullptr);
      // Whole characters only: the cut text is valid UTF-8 and a prefix.
      EXPECT_EQ(ReadmeHtml(text, false).find("&#65533;"), std::string::npos) << keep;
      EXPECT_EQ(whole.compare(0, text.size(), text), 0);
      EXPECT_GE(text.size() + 3, keep);
    }
  }
#endif
}

class ReadmePageTest : public PageTest {
 protected:
  void SetUp() override {
    settings.reload_custom_html = 0;
    settings.include_subfolders = 0;
    settings.custom_html.section(kBetweenFilesAndFolders) = "<!--between-->\r\n";
    File("a.txt");
  }
  // The readme part of the page: from the section before it to the file table.
  std::string Shown() {
    EXPECT_EQ(Write(), 1);
    const size_t from = page.find("<!--between-->\r\n") + 16;
    return page.substr(from, page.find("<table", from) - from);
  }
  void Put(const std::string& name, const std::string& content) {
    temp.WriteFile("Data/" + name, content);
  }
};

TEST_F(ReadmePageTest, FirstReadableMatchIsShownAboveTheFiles) {
  EXPECT_EQ(Shown(), "");  // no option
  settings.readme_names = "README.txt;README.md;notes.txt";
  EXPECT_EQ(Shown(), "");  // none of them there
  Put("notes.txt", "notes");
  Put("README.md", "# <Title> & more");
  Folder("README.txt");  // a folder of that name is passed over
  EXPECT_EQ(Shown(), std::string(kPre) + "# &lt;Title&gt; &amp; more" + kEnd);

  Put("notes.txt", std::string(kMaxReadmeBytes + 10, 'x'));
  settings.readme_names = "notes.txt";
  const std::string shown = Shown();
  EXPECT_EQ(shown.find(std::string(kPre) + std::string(kMaxReadmeBytes, 'x') + kEnd), 0u);
  EXPECT_NE(shown.find("readme-cut"), std::string::npos);
}

#ifndef _WIN32
TEST_F(ReadmePageTest, LinkOutOfTheTreeIsNotRead) {
  const std::string secret = temp.WriteFile("secret.txt", "SECRET");
  std::filesystem::create_symlink(secret, root + "/README.txt");
  Put("inner.txt", "inner");
  std::filesystem::create_symlink(root + "/inner.txt", root + "/README.md");
  settings.readme_names = "README.txt;README.md";
  EXPECT_EQ(Shown(), std::string(kPre) + "inner" + kEnd);
}
#endif

}  // namespace
}  // namespace pagetest
}  // namespace vellora
