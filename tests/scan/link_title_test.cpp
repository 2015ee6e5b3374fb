#ifndef _WIN32
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "settings/build_settings.h"
#include "scan/folder_scanner.h"
#include "scan_test_env.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

// Counts the files the title reader opens.
class CountingEnv : public scantest::ForwardingEnv {
 public:
  ReadResult ReadFile(const std::string& path, size_t max_bytes, std::string* data) override {
    ++reads;
    return ForwardingEnv::ReadFile(path, max_bytes, data);
  }
  int reads = 0;
};

class LinkTitleTest : public ::testing::Test {
 protected:
  LinkTitleTest() : builder_(&settings_, &env_) {}

  // The title of a file `name` holding `content` (none written when empty).
  std::string Title(const std::string& name, const std::string& content, int64_t size = 0) {
    if (!content.empty()) tmp_.WriteFile(name, content);
    CFileEntry entry;
    entry.SetName(name, &env_);
    entry.size = size;
    return builder_.ReadLinkTitle(tmp_.path(), entry);
  }

  TempFolder tmp_;
  CountingEnv env_;
  CBuildSettings settings_;
  CFolderScanner builder_;
};

TEST_F(LinkTitleTest, TitleElementTextAsWritten) {
  EXPECT_EQ(Title("a.html", "<html><TiTlE>Home Page</tItLe></html>"), "Home Page");
  EXPECT_EQ(Title("b.html", "<title>one\r\ntwo</title>"), "one\r\ntwo");
  EXPECT_EQ(Title("c.htm", "<title> &amp; x </title><title>2</title>"), " &amp; x ");
  EXPECT_EQ(Title("page.shtml", "<title>S</title>"), "S");
  EXPECT_EQ(Title("report.htm.bak", "<title>B</title>"), "B");
}

TEST_F(LinkTitleTest, NoUsableTitleGivesTheName) {
  EXPECT_EQ(Title("attr.html", "<title lang=\"en\">X</title>"), "attr.html");
  EXPECT_EQ(Title("empty.html", "<TITLE></TITLE>"), "empty.html");
  EXPECT_EQ(Title("open.html", "<title>never closed"), "open.html");
  EXPECT_EQ(Title("zero.html", std::string("<title>a\0b</title>", 18)), "zero.html");
  EXPECT_EQ(Title("missing.html", ""), "missing.html");
  const int reads = env_.reads;
  EXPECT_EQ(Title("readme.txt", "<title>T</title>"), "readme.txt");
  EXPECT_EQ(Title("page.php", "<title>P</title>"), "page.php");
  EXPECT_EQ(env_.reads, reads);
}

TEST_F(LinkTitleTest, OnlyTheHeadOfAPageIsRead) {
  const std::string head_end(kTitleHeadBytes - 16, ' ');
  struct Case {
    const char* name;
    std::string content;
    int64_t reported_size;
    const char* title;
  };
  const Case cases[] = {
      // Whatever size the listing reported, the head is read.
      {"huge.html", "<title>H</title>", int64_t{3} << 30, "H"},
      {"long.html", "<title>Long</title>" + std::string(kTitleHeadBytes * 2, 'x'), 0, "Long"},
      // A title that ends within the head is found; one that ends after it is not.
      {"edge.html", head_end + "<title>E</title>", 0, "E"},
      {"late.html", head_end + "<title>Late</title>", 0, "late.html"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Title(c.name, c.content, c.reported_size), c.title) << c.name;
  }
#ifndef _WIN32
  // A link to a system file that reports size 0 and never ends.
  ASSERT_EQ(symlink("/proc/self/pagemap", tmp_.Path("pagemap.html").c_str()), 0);
  EXPECT_EQ(Title("pagemap.html", ""), "pagemap.html");
#endif
}

TEST_F(LinkTitleTest, ScanStoresTitlesWhenAsked) {
  tmp_.WriteFile("a.html", "<title>Alpha</title>");
  tmp_.WriteFile("b.txt", "<title>Beta</title>");
#ifndef _WIN32
  // Links: one inside the folder is read, one leading out of it is not.
  TempFolder outside;
  const std::string secret = outside.WriteFile("secret.html", "<title>Secret</title>");
  ASSERT_EQ(symlink(secret.c_str(), tmp_.Path("out.html").c_str()), 0);
  ASSERT_EQ(symlink("a.html", tmp_.Path("in.html").c_str()), 0);
  const std::map<std::string, std::string> expected = {
      {"a.html", "Alpha"}, {"b.txt", "b.txt"}, {"out.html", "out.html"}, {"in.html", "Alpha"}};
#else
  const std::map<std::string, std::string> expected = {{"a.html", "Alpha"}, {"b.txt", "b.txt"}};
#endif
  std::string start;
  env_.GetCurrentFolder(&start);
  ASSERT_TRUE(env_.SetCurrentFolder(tmp_.path()));
  CFileList plain;
  builder_.Scan(plain, "*.*");
  settings_.use_html_titles_for_links = 1;
  CFileList titled;
  builder_.Scan(titled, "*.*");
  env_.SetCurrentFolder(start);
  EXPECT_EQ(plain.head()->title, nullptr);
  ASSERT_EQ(titled.size(), expected.size());
  for (CFileEntry* e = titled.head(); e != nullptr; e = e->next) {
    EXPECT_EQ(*e->title, expected.at(e->name)) << e->name;
  }
}

}  // namespace
}  // namespace vellora
