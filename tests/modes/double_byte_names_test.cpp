// Names in a double-byte code page whose second byte looks like ASCII ('\',
// a letter, '|', '['), built in every mode through an Env that keeps the
// tree in memory and answers with the lead bytes of GBK, so that the same
// checks hold on every platform and under every system code page.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/build_settings.h"
#include "custom/custom_html.h"
#include "html/text_helpers.h"
#include "modes/framed_site.h"
#include "modes/modes_test_env.h"
#include "platform/env.h"
#include "platform/lead_byte_env.h"
#include "platform/path.h"
#include "platform/pieces.h"
#include "platform/wildcard.h"
#include "scan/index_builder.h"

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

// A tree in memory. Folders and files are found by their exact path text,
// so a path cut inside a character, or joined after a trail byte taken for
// a separator, finds nothing.
class DoubleByteTreeEnv : public LeadByteEnv {
 public:
  std::map<std::string, std::vector<FolderItem>> folders;  // path -> items
  std::map<std::string, std::string> files;                // path -> content
  std::string current;

  std::string AddFolder(const std::string& parent, const std::string& name) {
    const std::string path = parent.empty() ? name : WithTrailingSeparator(parent, this) + name;
    folders[path];
    if (!parent.empty()) Add(parent, name, true);
    return path;
  }
  void AddFile(const std::string& parent, const std::string& name, const std::string& content) {
    files[WithTrailingSeparator(parent, this) + name] = content;
    Add(parent, name, false);
  }

  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    auto it = folders.find(folder);
    if (it == folders.end()) return false;
    for (const FolderItem& item : it->second) {
      if (WildcardMatch(item.name, pattern, this)) visit(item);
    }
    return true;
  }
  bool GetFolderIdentity(const std::string& folder, FolderIdentity* id) override {
    if (folders.count(folder) == 0) return false;
    id->device = 1;
    id->inode = std::hash<std::string>()(folder);
    return true;
  }
  bool GetCurrentFolder(std::string* folder) override {
    *folder = current;
    return !current.empty();
  }
  bool SetCurrentFolder(const std::string& folder) override {
    if (folders.count(folder) == 0) return false;
    current = folder;
    return true;
  }
  std::string ExecutablePath() override { return ProgramFolder() + "vellora.exe"; }
  bool FileTimeToLocal(FileTime, LocalTime* out) override {
    *out = LocalTime{2026, 12, 7, 13, 5, 0, 1};
    return true;
  }
  std::string FormatLocalTime(const char*, const LocalTime&) override { return "today"; }
  bool ReadWholeFile(const std::string& path, std::string* data) override {
    auto it = files.find(path);
    if (it == files.end()) return false;
    *data = it->second;
    return true;
  }
  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>& pieces) override {
    files[path] = JoinPieces(pieces);
    return true;
  }
  bool IsFolder(const std::string& path) override { return folders.count(path) != 0; }
  bool RealPath(const std::string& path, std::string* real) override {
    if (folders.count(path) == 0 && files.count(path) == 0) return false;
    *real = path;
    return true;
  }

  static std::string ProgramFolder() {
#ifdef _WIN32
    return "C:\\prog\\";
#else
    return "/prog/";
#endif
  }

 private:
  void Add(const std::string& parent, const std::string& name, bool is_folder) {
    FolderItem item;
    item.name = name;
    item.is_folder = is_folder;
    item.size = is_folder ? 0 : 4;
    folders[parent].push_back(item);
  }
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
    const std::string drive = env_.AddFolder("", "C:\\");
#else
    const std::string drive = env_.AddFolder("", "/");
#endif
    root_ = env_.AddFolder(env_.AddFolder(drive, "t"), kShallow);
    env_.AddFile(root_, "x.txt", "data");
    const std::string shallow = env_.AddFolder(root_, kShallow);
    env_.AddFile(shallow, "a.txt", "data");
    env_.AddFile(env_.AddFolder(shallow, kCage), "b.txt", "data");
    env_.AddFile(env_.AddFolder(root_, kUpperA), "c.txt", "data");
    env_.AddFile(env_.AddFolder(root_, kLowerA), "d.txt", "data");
    env_.AddFile(env_.AddFolder(root_, kBrackets), "e.txt", "data");
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
  std::string Text(const std::string& shown) const { return ">" + EscapeNameText(shown, false) + "<"; }

  DoubleByteTreeEnv env_;
  std::string root_;
  CDefaultWords words_;
  CBuildSettings s_;
};

// The subfolders; those that follow a separator by its trail byte would be
// cut ("\x9C" alone) or joined to the next name.
const char* const kFolders[] = {"\x9C\x5C", "\x81\x41", "\x81\x61", "\x81\x5B\x81\x7C"};

TEST_F(DoubleByteNamesTest, SingleFolder) {
  s_.title.clear();
  s_.custom_html.section(kStart) = "[%%FOLDER]";
  s_.reload_custom_html = 0;
  CIndexBuilder b(&s_, &env_);
  ASSERT_EQ(1, b.Build(nullptr));
  const std::string page = Page("");
  for (const char* name : kFolders) {
    EXPECT_TRUE(Has(page, Href(std::string(name) + "/"))) << name;
    EXPECT_TRUE(Has(page, Text(name))) << name;
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
  const std::vector<std::vector<std::string>> files = {
      {"", "x.txt"},          {kShallow, "a.txt"}, {kShallow + "/" + kCage, "b.txt"},
      {kUpperA, "c.txt"},     {kLowerA, "d.txt"},  {kBrackets, "e.txt"}};
  for (const auto& f : files) {
    const std::string folder = f[0].empty() ? "" : f[0] + "/";
    EXPECT_TRUE(Has(page, Href(folder + f[1]))) << f[0];
    // The folder in front of the name, relative to the listed folder with
    // its leading separator, in native separators.
    const std::string shown = Native(folder.empty() ? "" : "/" + folder);
    EXPECT_TRUE(Has(page, ">" + EscapeNameText(shown + f[1], false) + "<")) << f[0];
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
  EXPECT_TRUE(Has(page, Href(kShallow + "/" + kCage + "/b.txt")));
  // One heading, one anchor and one anchor-table link for each folder of
  // files: 丄 and 乤 differ only in the case of a trail byte and stay apart.
  const std::vector<std::string> folders = {kShallow, kShallow + "/" + kCage, kUpperA, kLowerA,
                                            kBrackets};
  EXPECT_EQ(folders.size(), Count(page, "<a id=\"ID"));
  for (const std::string& folder : folders) {
    const std::string id = "ID" + folder + "/";  // '/' becomes '-' in the id
    std::string dashed = id;
    for (char& c : dashed) {
      if (c == '/') c = '-';
    }
    const std::string shown = Native(folder);
    EXPECT_TRUE(Has(page, "<a id=\"" + AnchorIdAttribute(dashed) + "\"></a>")) << folder;
    EXPECT_TRUE(Has(page, " " + EscapeNameText(shown, false) + "</b>")) << folder;
    EXPECT_TRUE(Has(page, "<a href=\"#" + AnchorFragment(dashed) + "\"" + Text(shown) + "/a>"))
        << folder;
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
  EXPECT_TRUE(Has(Page(""), Href(kUpperA + "/index.html")));
  EXPECT_TRUE(Has(Page(""), Href(kLowerA + "/index.html")));
  EXPECT_TRUE(Has(Page(""), Href(kBrackets + "/index.html")));
  const std::string shallow = Page(kShallow);
  EXPECT_TRUE(Has(shallow, "<title>" + EscapeNameText(kShallow, false) + "</title>"));
  EXPECT_TRUE(Has(shallow, Href(kCage + "/index.html")));
  EXPECT_TRUE(Has(shallow, Href("a.txt")));
  const std::string cage = Page(kShallow + kSep + kCage);
  EXPECT_TRUE(Has(cage, "<title>" + EscapeNameText(kCage, false) + "</title>"));
  EXPECT_TRUE(Has(cage, Href("b.txt")));
  EXPECT_TRUE(Has(Page(kUpperA), Href("c.txt")));
  EXPECT_TRUE(Has(Page(kLowerA), Href("d.txt")));
  EXPECT_TRUE(Has(Page(kBrackets), Href("e.txt")));
}

TEST_F(DoubleByteNamesTest, FramedSite) {
  const std::string program = DoubleByteTreeEnv::ProgramFolder();
  env_.files[program + "frameset.txt"] =
      "<frameset><frame src=\"left.htm\"><frame src=\"right.htm\"></frameset>";
  env_.files[program + "left.txt"] = "/START\r\nLEFT\r\n";
  env_.files[program + "right.txt"] = "/START\r\nRIGHT\r\n";
  s_.recursive_build = 1;
  s_.multi_recurse_link = 1;
  s_.build_framed_site = 1;
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(1 + 6, b.FramedSiteBuild(nullptr, "frameset.txt", "left.txt", "right.txt"));
  EXPECT_TRUE(Has(Page(""), "src=\"right.htm\""));
  const std::string left = Page("", "left.htm");
  for (const char* name : kFolders) {
    EXPECT_TRUE(Has(left, Href(std::string(name) + "/right.htm"))) << name;
    EXPECT_TRUE(Has(left, Text(name))) << name;
  }
  EXPECT_TRUE(Has(Page(kShallow, "right.htm"), Href(kCage + "/right.htm")));
  EXPECT_TRUE(Has(Page(kShallow + kSep + kCage, "right.htm"), Href("b.txt")));
  EXPECT_TRUE(Has(Page(kBrackets, "right.htm"), Href("e.txt")));
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
