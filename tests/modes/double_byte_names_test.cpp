// Names in a double-byte code page whose second byte looks like ASCII ('\',
// a letter, '|', '['), built in every mode through an Env that keeps the
// tree in memory and answers with the lead bytes of GBK, so that the same
// checks hold on every platform and under every system code page.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "settings/build_settings.h"
#include "custom/custom_html.h"
#include "html/text_helpers.h"
#include "modes/framed_site.h"
#include "modes/modes_test_env.h"
#include "platform/env.h"
#include "platform/lead_byte_env.h"
#include "platform/path.h"
#include "platform/pieces.h"
#include "platform/wildcard.h"
#include "modes/index_builder.h"

namespace vellora {
namespace {

const std::string kSep(1, kSeparator);
// Characters of code page 936: 淺 and 籠 end in 0x5C, 丄 and 乤 in 'A' and
// 'a' (two different characters), 乕亅 in '[' and '|'.
const std::string kShallow = "\x9C\x5C";
const std::string kCage = "\xBB\x5C";
const std::string kUpperA = "\x81\x41";
const std::string kLowerA = "\x81\x61";
const std::string kBrackets = "\x81\x5B\x81\x7C";

// A tree in memory, found by exact path text: a path cut inside a character,
// or joined after a trail byte taken for a separator, finds nothing.
class DoubleByteTreeEnv : public LeadByteEnv {
 public:
  std::map<std::string, std::vector<FolderItem>> folders;  // path -> items
  std::map<std::string, std::string> files;                // path -> content
  std::string current;

  // Adds a folder (or a file) `name` to `parent`; returns its path.
  std::string Add(const std::string& parent, const std::string& name, bool folder = true) {
    const std::string path = parent.empty() ? name : WithTrailingSeparator(parent, this) + name;
    if (folder) folders[path];
    if (!folder) files[path] = "data";
    if (!parent.empty()) folders[parent].push_back(FolderItem{name, folder, 4, 0});
    return path;
  }

  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    if (folders.count(folder) == 0) return false;
    for (const FolderItem& item : folders[folder]) {
      if (WildcardMatch(item.name, pattern, this)) visit(item);
    }
    return true;
  }
  bool GetFolderIdentity(const std::string& folder, FolderIdentity* id) override {
    id->inode = std::hash<std::string>()(folder);
    return folders.count(folder) != 0;
  }
  bool GetCurrentFolder(std::string* folder) override { return *folder = current, true; }
  bool SetCurrentFolder(const std::string& folder) override {
    if (folders.count(folder) != 0) current = folder;
    return folders.count(folder) != 0;
  }
  std::string ExecutablePath() override { return ProgramFolder() + "vellora.exe"; }
  ReadResult ReadFile(const std::string& path, size_t max_bytes, std::string* data) override {
    auto it = files.find(path);
    return it == files.end() ? ReadResult::kFailed : ReadCapped(it->second, max_bytes, data);
  }
  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>& pieces) override {
    return files[path] = JoinPieces(pieces), true;
  }
  bool IsFolder(const std::string& path) override { return folders.count(path) != 0; }

  static std::string ProgramFolder() { return kSep + "prog" + kSep; }
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A text with '/' separators in native ones (no trail byte is ever '/').
std::string Native(std::string text) {
  for (char& c : text) {
    if (c == '/') c = kSeparator;
  }
  return text;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class DoubleByteNamesTest : public ::testing::Test {
 protected:
  // t/淺/{x.txt, 淺/{a.txt, 籠/b.txt}, 丄/c.txt, 乤/d.txt, 乕亅/e.txt}: the
  // listed folder itself ends in a trail byte 0x5C.
  void SetUp() override {
#ifdef _WIN32
    const std::string drive = env_.Add("", "C:\\");
#else
    const std::string drive = env_.Add("", "/");
#endif
    root_ = env_.Add(env_.Add(drive, "t"), kShallow);
    env_.Add(root_, "x.txt", false);
    const std::string shallow = env_.Add(root_, kShallow);
    env_.Add(shallow, "a.txt", false);
    env_.Add(env_.Add(shallow, kCage), "b.txt", false);
    env_.Add(env_.Add(root_, kUpperA), "c.txt", false);
    env_.Add(env_.Add(root_, kLowerA), "d.txt", false);
    env_.Add(env_.Add(root_, kBrackets), "e.txt", false);
    env_.current = root_;
    PlainSettings(&s_, &words_, root_);
    s_.supress_parent_link = 1;
  }

  std::string Page(const std::string& relative, const std::string& name = "index.html") {
    const std::string path = (relative.empty() ? root_ : root_ + kSep + relative) + kSep + name;
    auto it = env_.files.find(path);
    return it == env_.files.end() ? "<missing " + path + ">" : it->second;
  }
  // A link to a folder or file as the page writes it: the bytes escaped,
  // none cut or changed.
  std::string Href(const std::string& target) const {
    return "href=\"" + EscapeLinkTarget(target, s_.href20 != 0, false) + "\"";
  }
  std::string Text(const std::string& shown) const {
    return ">" + EscapeNameText(shown, false) + "<";
  }

  DoubleByteTreeEnv env_;
  std::string root_;
  CDefaultWords words_;
  CBuildSettings s_;
};

// The subfolders; those that follow a separator by its trail byte would be
// cut ("\x9C" alone) or joined to the next name.
const char* const kFolders[] = {"\x9C\x5C", "\x81\x41", "\x81\x61", "\x81\x5B\x81\x7C"};
// The folders below the listed one ('/' separators) and the file in each.
const std::vector<std::pair<std::string, std::string>> kFiles = {
    {kShallow, "a.txt"}, {kShallow + "/" + kCage, "b.txt"}, {kUpperA, "c.txt"},
    {kLowerA, "d.txt"},  {kBrackets, "e.txt"}};

TEST_F(DoubleByteNamesTest, SingleFolder) {
  s_.title.clear();
  s_.custom_html.section(kStart) = "[%%FOLDER]";
  s_.reload_custom_html = 0;
  CIndexBuilder b(&s_, &env_);
  ASSERT_EQ(1, b.Build(nullptr));
  const std::string page = Page("");
  for (const char* name : kFolders) {
    EXPECT_TRUE(Has(page, Href(name + std::string("/")) + Text(name))) << name;
  }
  EXPECT_TRUE(Has(page, Href("x.txt")));
  EXPECT_TRUE(Has(page, "[" + EscapeNameText(kShallow, false) + "]"));  // %%FOLDER
}

TEST_F(DoubleByteNamesTest, AllLinksInOneFileWithFolderNames) {
  s_.recursive_build = 1;
  s_.sort_folders_first = 0;
  s_.show_folder_names = 1;
  CIndexBuilder b(&s_, &env_);
  ASSERT_EQ(1, b.Build(nullptr));
  const std::string page = Page("");
  EXPECT_TRUE(Has(page, Href("x.txt") + Text("x.txt")));
  for (const auto& f : kFiles) {
    // The folder in front of the name: relative to the listed folder, with a
    // leading separator, in native separators.
    const std::string shown = Native("/" + f.first + "/") + f.second;
    EXPECT_TRUE(Has(page, Href(f.first + "/" + f.second) + Text(shown))) << f.first;
  }
}

TEST_F(DoubleByteNamesTest, AllLinksInOneFileWithHeadingsAndAnchors) {
  s_.recursive_build = 1;
  s_.sort_folders_first = 1;
  s_.show_folder_names = 1;
  s_.folder_anchors = 1;
  s_.folder_columns = 10;
  CIndexBuilder b(&s_, &env_);
  ASSERT_EQ(1, b.Build(nullptr));
  const std::string page = Page("");
  // One heading, one anchor and one anchor-table link for each folder of
  // files: 丄 and 乤 differ only in the case of a trail byte and stay apart.
  EXPECT_EQ(kFiles.size(), Count(page, "<a id=\"ID"));
  for (const auto& f : kFiles) {
    std::string id = "ID" + f.first + "/";
    std::replace(id.begin(), id.end(), '/', '-');
    const std::string shown = Native(f.first);
    EXPECT_TRUE(Has(page, "<a id=\"" + AnchorIdAttribute(id) + "\"></a>")) << f.first;
    EXPECT_TRUE(Has(page, " " + EscapeNameText(shown, false) + "</b>")) << f.first;
    EXPECT_TRUE(Has(page, "<a href=\"#" + AnchorFragment(id) + "\"" + Text(shown))) << f.first;
    EXPECT_TRUE(Has(page, Href(f.first + "/" + f.second))) << f.first;
  }
}

TEST_F(DoubleByteNamesTest, OnePagePerFolder) {
  s_.recursive_build = 1;
  s_.multi_recurse_link = 1;
  s_.link_folders_to_output_name = 1;
  s_.multi_recurse_title = CBuildSettings::kTitleFolderName;
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(6, b.Build(nullptr));
  EXPECT_TRUE(Has(Page(""), "<title>" + EscapeNameText(kShallow, false) + "</title>"));
  for (const char* name : kFolders) {
    EXPECT_TRUE(Has(Page(""), Href(name + std::string("/index.html")))) << name;
  }
  EXPECT_TRUE(Has(Page(kShallow), Href(kCage + "/index.html")));
  EXPECT_TRUE(Has(Page(kShallow + kSep + kCage), "<title>" + EscapeNameText(kCage, false)));
  for (const auto& f : kFiles) EXPECT_TRUE(Has(Page(Native(f.first)), Href(f.second)));
}

TEST_F(DoubleByteNamesTest, FramedSite) {
  const std::string program = DoubleByteTreeEnv::ProgramFolder();
  env_.files[program + "frameset.txt"] = "<frame src=\"left.htm\"><frame src=\"right.htm\">";
  s_.recursive_build = 1;
  s_.multi_recurse_link = 1;
  s_.build_framed_site = 1;
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(1 + 6, b.FramedSiteBuild(nullptr, "frameset.txt", "left.txt", "right.txt"));
  const std::string left = Page("", "left.htm");
  for (const char* name : kFolders) {
    EXPECT_TRUE(Has(left, Href(name + std::string("/right.htm")) + Text(name))) << name;
  }
  EXPECT_TRUE(Has(Page(kShallow, "right.htm"), Href(kCage + "/right.htm")));
  for (const auto& f : kFiles) {
    EXPECT_TRUE(Has(Page(Native(f.first), "right.htm"), Href(f.second))) << f.first;
  }
}

// "淺*" names a folder; it is no branch entry "\*", as its '\' is a trail byte.
TEST_F(DoubleByteNamesTest, SkipFolderBranchEntriesNeedASeparatorOfTheirOwn) {
  s_.recursive_build = 1;
  s_.skip_folders = root_ + kSep + kShallow + "*;" + root_ + kSep + kUpperA + kSep + "*";
  CIndexBuilder b(&s_, &env_);
  ASSERT_EQ(1, b.Build(nullptr));
  EXPECT_TRUE(Has(Page(""), Href(kShallow + "/a.txt")));
  EXPECT_FALSE(Has(Page(""), "c.txt"));
}

// Template text in a double-byte code page: an 'S' or 's' that is a trail
// byte starts no frame source.
TEST(DoubleByteFramesetTest, TrailBytesStartNoSource) {
  LeadByteEnv gbk;
  std::string t = "\x81SRC=\"a\" \x81src=\"b\"<frame SRC=\"l.htm\"><frame src=\"r.htm\">";
  LowerFrameSources(&t, &gbk);
  EXPECT_EQ("\x81SRC=\"a\" \x81src=\"b\"<frame src=\"l.htm\"><frame src=\"r.htm\">", t);
  std::string left, right;
  ASSERT_TRUE(FrameSourceNames(t, &left, &right, &gbk));
  EXPECT_EQ("l.htm", left);
  EXPECT_EQ("r.htm", right);
}

}  // namespace
}  // namespace vellora
