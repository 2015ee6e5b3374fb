#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/build_settings.h"
#include "platform/path.h"
#include "platform/text_case.h"
#include "platform/wildcard.h"
#include "scan/index_builder.h"
#include "scan/walk_guard.h"
#include "scan_test_env.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

using Names = std::vector<std::string>;

// folder + name of every entry, in list order.
Names Listed(const CFileList& list) {
  Names out;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) out.push_back(e->folder() + e->name);
  return out;
}

// Sorted bytewise; names only unless `with_folder`.
Names SortedNames(const CFileList& list, bool with_folder = true) {
  Names out;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) {
    out.push_back(with_folder ? e->folder() + e->name : e->name);
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::string Native(std::string s) {
  std::replace(s.begin(), s.end(), '/', kSeparator);
  return s;
}

// Runs scans of folders on disk and checks that each leaves the current
// folder where it was.
class FolderScanTest : public ::testing::Test {
 protected:
  FolderScanTest() : builder_(&settings_) {
    Env::Default()->GetCurrentFolder(&start_);
    Env::Default()->SetCurrentFolder(tmp_.path());
    Env::Default()->GetCurrentFolder(&root_);  // as the system spells it
  }
  ~FolderScanTest() override { Env::Default()->SetCurrentFolder(start_); }

  // Scans the folder `rel` below the temporary root.
  void Scan(CFileList* list, const std::string& spec, const std::string& rel = "") {
    const std::string folder = rel.empty() ? root_ : root_ + kSeparator + Native(rel);
    ASSERT_TRUE(Env::Default()->SetCurrentFolder(folder));
    builder_.Scan(*list, spec);
    std::string now;
    Env::Default()->GetCurrentFolder(&now);
    EXPECT_EQ(now, folder);
  }

  Names ScanNames(const std::string& spec) {
    CFileList list;
    Scan(&list, spec);
    return SortedNames(list, builder_.recurse_scan != 0);
  }

  TempFolder tmp_;
  std::string start_;
  std::string root_;
  CBuildSettings settings_;
  CIndexBuilder builder_;
};

TEST_F(FolderScanTest, ExtensionPatternsTakeOnlyTheirExtension) {
  tmp_.WriteFile("a.htm", "");
  tmp_.WriteFile("B.HTM", "");
  tmp_.WriteFile("a.html", "");
  tmp_.WriteFile("c.txt", "");
  tmp_.MakeFolder("d.htm");
  // On Windows a.html matches '*.htm' through its short name; it is left out.
  EXPECT_EQ(ScanNames("*.htm"), (Names{"B.HTM", "a.htm"}));
  EXPECT_EQ(ScanNames("*.htm*"), (Names{"B.HTM", "a.htm", "a.html"}));
  EXPECT_EQ(ScanNames("c.txt"), (Names{"c.txt"}));
  EXPECT_EQ(ScanNames("*.*"), (Names{"B.HTM", "a.htm", "a.html", "c.txt"}));
}

TEST_F(FolderScanTest, PatternsRunInWrittenOrderAndMayRepeatAFile) {
  tmp_.WriteFile("a.txt", "");
  tmp_.WriteFile("b.doc", "");
  tmp_.WriteFile("c.txt", "");
  CFileList list;
  Scan(&list, "*.txt;*.doc;");
  ASSERT_EQ(list.size(), 3u);
  // Head insertion: the .doc file (found last) comes first.
  EXPECT_EQ(list.head()->name, "b.doc");
  EXPECT_EQ(ScanNames("*.txt;a*.txt"), (Names{"a.txt", "a.txt", "c.txt"}));
  EXPECT_EQ(ScanNames("*.txt;*"), (Names{"a.txt", "a.txt", "b.doc", "c.txt", "c.txt"}));
}

TEST_F(FolderScanTest, EmptySpecListsNothingAndDoesNotDescend) {
  tmp_.WriteFile("a.txt", "");
  tmp_.WriteFile("sub/b.txt", "");
  builder_.recurse_scan = 1;
  CBuildProgress progress;
  builder_.progress = &progress;
  EXPECT_TRUE(ScanNames("").empty());
  EXPECT_TRUE(ScanNames(";;").empty());
  EXPECT_EQ(progress.folders_entered, 0);
}

TEST_F(FolderScanTest, DotNamesShortcutsAndSkippedFilesAreLeftOut) {
  tmp_.WriteFile(".profile", "");
  tmp_.WriteFile(".git/config.txt", "");
  tmp_.WriteFile("report.LNK", "");
  tmp_.WriteFile("INDEX.HTML", "");
  tmp_.WriteFile("Notes.TXT", "");
  tmp_.WriteFile("keep.doc", "");
  tmp_.WriteFile("sub/more.txt", "");
  tmp_.WriteFile("sub/more.doc", "");
  builder_.recurse_scan = 1;
  EXPECT_EQ(ScanNames("*.*"), (Names{"/INDEX.HTML", "/Notes.TXT", "/keep.doc", "/sub/more.doc",
                                     "/sub/more.txt"}));
  builder_.skip_file_patterns = {"index.html", "*.txt"};
  EXPECT_EQ(ScanNames("*.*"), (Names{"/keep.doc", "/sub/more.doc"}));
  builder_.skip_file_patterns = {""};  // an empty pattern matches nothing
  EXPECT_EQ(ScanNames("*.doc").size(), 2u);
}

TEST_F(FolderScanTest, RecursiveScanGivesFoldersRelativeToTheRoot) {
  tmp_.WriteFile("x.txt", "12345");
  tmp_.WriteFile("a/b/x.txt", "");
  tmp_.WriteFile("a/y.txt", "");
  tmp_.MakeFolder("empty");
  builder_.recurse_scan = 1;
  CBuildProgress progress;
  builder_.progress = &progress;
  CFileList list;
  Scan(&list, "*.*");
  EXPECT_EQ(builder_.scan_root, root_);
  EXPECT_EQ(SortedNames(list), (Names{"/a/b/x.txt", "/a/y.txt", "/x.txt"}));
  EXPECT_EQ(progress.links_total, 3);
  EXPECT_EQ(progress.folders_entered, 3);  // a, a/b, empty
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) {
    if (e->folder() == "/") {
      EXPECT_EQ(e->size, 5);
    }
    EXPECT_EQ(e->folder_upper(), UpperCased(e->folder(), Env::Default()));
  }
  // Files before their subfolders' files: the root's file is found first,
  // so it is last in the list.
  EXPECT_EQ(Listed(list).back(), "/x.txt");
}

TEST_F(FolderScanTest, SingleFolderScanRecordsTheWholeFolderPath) {
  tmp_.WriteFile("x.txt", "");
  tmp_.WriteFile("sub/y.txt", "");
  CFileList list;
  Scan(&list, "*.*");
  std::string expect = root_ + kSeparator;
  std::replace(expect.begin(), expect.end(), kSeparator, '/');
  EXPECT_EQ(Listed(list), (Names{expect + "x.txt"}));
  EXPECT_TRUE(builder_.scan_root.empty());
}

TEST_F(FolderScanTest, SkippedFoldersAndBranches) {
  tmp_.WriteFile("a.txt", "");
  tmp_.WriteFile("tmp/b.txt", "");
  tmp_.WriteFile("tmp/deep/c.txt", "");
  tmp_.WriteFile("tmpx/d.txt", "");
  builder_.recurse_scan = 1;
  settings_.skip_folders = root_ + kSeparator + "tmp";
  EXPECT_EQ(ScanNames("*.txt"), (Names{"/a.txt", "/tmpx/d.txt"}));
  // A page of the skipped folder's subfolder on its own is kept out only by
  // the branch form.
  CFileList deep;
  Scan(&deep, "*.txt", "tmp/deep");
  EXPECT_EQ(deep.size(), 1u);
  settings_.skip_folders = "x;" + root_ + kSeparator + "tmp" + kSeparator + "*;y";
  CFileList branch;
  Scan(&branch, "*.txt", "tmp/deep");
  EXPECT_TRUE(branch.empty());
  // The branch entry is textual: it also covers tmpx.
  EXPECT_EQ(ScanNames("*.txt"), (Names{"/a.txt"}));
  settings_.skip_folders = root_;
  EXPECT_TRUE(ScanNames("*.*").empty());
}

TEST(SkipFolderTest, ComparesTextExactly) {
  CBuildSettings settings;
  CIndexBuilder b(&settings);
  const std::string web = Native("/web");
  EXPECT_FALSE(b.SkipFolder(web));
  settings.skip_folders = Native("/web/old/*;/web/tmp;");
  EXPECT_TRUE(b.SkipFolder(Native("/web/tmp")));
  EXPECT_FALSE(b.SkipFolder(Native("/web/tmp/a")));
  EXPECT_TRUE(b.SkipFolder(Native("/web/old")));
  EXPECT_TRUE(b.SkipFolder(Native("/web/old/a/b")));
  EXPECT_TRUE(b.SkipFolder(Native("/web/older")));
  EXPECT_FALSE(b.SkipFolder(Native("/WEB/TMP")));
  EXPECT_FALSE(b.SkipFolder(web));
  settings.skip_folders = Native("/web/tmp/");  // a trailing separator matches nothing
  EXPECT_FALSE(b.SkipFolder(Native("/web/tmp")));
}

TEST_F(FolderScanTest, CancelFromTheCallbackStopsTheScan) {
  tmp_.WriteFile("a.txt", "");
  tmp_.WriteFile("s1/b.txt", "");
  tmp_.WriteFile("s2/c.txt", "");
  builder_.recurse_scan = 1;
  CBuildProgress progress;
  progress.notify_enabled = 1;
  std::vector<std::string> seen;
  progress.context = &seen;
  progress.notify = [](CBuildProgress* p) {
    static_cast<std::vector<std::string>*>(p->context)->push_back(p->current_folder);
    p->cancel = 1;
  };
  builder_.progress = &progress;
  CFileList list;
  Scan(&list, "*.*");  // also checks that the current folder is back
  EXPECT_EQ(Listed(list), (Names{"/a.txt"}));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].substr(0, root_.size()), root_);
  EXPECT_EQ(progress.folders_entered, 0);
}

TEST_F(FolderScanTest, NamesWithAnyBytesAreKeptExactly) {
  Names names = {"a b.txt", "it's.txt", "x&y#z%20.txt", "A&B (old).txt"};
#ifndef _WIN32
  names.push_back("quote\".txt");
  names.push_back("<tag>.txt");
  names.push_back("line\nbreak.txt");
  names.push_back("bad\xff\xfe.txt");
  names.push_back(std::string(251, 'n') + ".txt");  // 255 bytes
#endif
  for (const std::string& n : names) tmp_.WriteFile(n, "");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(ScanNames("*.*"), names);
  EXPECT_EQ(ScanNames("*.txt"), names);
}

#ifndef _WIN32
TEST_F(FolderScanTest, LinkCyclesEndAndOtherLinksAreFollowed) {
  tmp_.WriteFile("x.txt", "");
  tmp_.WriteFile("a/y.txt", "");
  tmp_.WriteFile("b/z.txt", "");
  tmp_.MakeFolder("a/b");
  ASSERT_EQ(symlink("../..", tmp_.Path("a/b/up").c_str()), 0);
  ASSERT_EQ(symlink("..", tmp_.Path("a/self").c_str()), 0);
  ASSERT_EQ(symlink("../b", tmp_.Path("a/side").c_str()), 0);
  ASSERT_EQ(symlink("missing", tmp_.Path("dangling").c_str()), 0);
  builder_.recurse_scan = 1;
  EXPECT_EQ(ScanNames("*.*"), (Names{"/a/side/z.txt", "/a/y.txt", "/b/z.txt", "/x.txt"}));
}

TEST_F(FolderScanTest, ThreeHundredFoldersDeep) {
  std::string rel;
  for (int i = 0; i < 300; ++i) rel += (i ? "/d" : "d");
  tmp_.WriteFile(rel + "/deep.txt", "");
  builder_.recurse_scan = 1;
  Names got = ScanNames("*.*");
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], "/" + rel + "/deep.txt");
}

TEST_F(FolderScanTest, UnenterableFolderIsPassedOver) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  tmp_.WriteFile("a.txt", "");
  tmp_.WriteFile("locked/b.txt", "");
  chmod(tmp_.Path("locked").c_str(), 0);
  builder_.recurse_scan = 1;
  EXPECT_EQ(ScanNames("*.*"), (Names{"/a.txt"}));
}
#endif

// A folder tree held in memory. Folders are full native paths; each has an
// identity that several paths may share (a link).
class VirtualTreeEnv : public scantest::ForwardingEnv {
 public:
  explicit VirtualTreeEnv(const std::string& root) : cwd_(root) { AddFolder(root); }

  void AddFolder(const std::string& path) {
    if (!folders_.count(path)) {
      folders_[path];
      ids_[path] = next_id_++;
    }
  }
  // Adds an item to `folder`; a folder item also becomes a folder of its own.
  void Add(const std::string& folder, const std::string& name, bool is_folder,
           uint64_t size = 0) {
    FolderItem item;
    item.name = name;
    item.is_folder = is_folder;
    item.size = size;
    folders_[folder].push_back(item);
    if (is_folder) AddFolder(WithTrailingSeparator(folder) + name);
  }
  // Makes `path` the same folder as `target` (a link), listing its items.
  void Alias(const std::string& path, const std::string& target) {
    ids_[path] = ids_[target];
    aliases_[path] = target;
  }

  std::set<std::string> unenterable;
  std::set<std::string> unreadable;
  int list_calls = 0;

  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    ++list_calls;
    const std::string real = Resolve(folder);
    auto it = folders_.find(real);
    if (it == folders_.end() || unreadable.count(folder)) return false;
    for (const FolderItem& item : it->second) {
      if (WildcardMatch(item.name, pattern)) visit(item);
    }
    return true;
  }
  bool ListSubfolders(const std::string& folder,
                      const std::function<void(const FolderItem&)>& visit) override {
    return ListFolder(folder, "*", [&visit](const FolderItem& item) {
      if (item.is_folder) visit(item);
    });
  }
  bool GetFolderIdentity(const std::string& folder, FolderIdentity* id) override {
    auto it = ids_.find(folder);
    if (it == ids_.end()) return false;
    id->inode = it->second;
    return true;
  }
  bool GetCurrentFolder(std::string* folder) override {
    *folder = cwd_;
    return true;
  }
  bool SetCurrentFolder(const std::string& folder) override {
    if (!ids_.count(folder) || unenterable.count(folder)) return false;
    cwd_ = folder;
    return true;
  }

 private:
  std::string Resolve(const std::string& path) const {
    // Longest alias that is a prefix of the path.
    for (const auto& a : aliases_) {
      if (path.compare(0, a.first.size(), a.first) == 0 &&
          (path.size() == a.first.size() || path[a.first.size()] == kSeparator)) {
        return Resolve(a.second + path.substr(a.first.size()));
      }
    }
    return path;
  }

  std::map<std::string, std::vector<FolderItem>> folders_;
  std::map<std::string, uint64_t> ids_;
  std::map<std::string, std::string> aliases_;
  std::string cwd_;
  uint64_t next_id_ = 1;
};

#ifdef _WIN32
const char kFsRoot[] = "C:\\";
#else
const char kFsRoot[] = "/";
#endif

TEST(VirtualScanTest, ScanFromTheFileSystemRoot) {
  VirtualTreeEnv env(kFsRoot);
  env.Add(kFsRoot, "top.txt", false);
  env.Add(kFsRoot, "docs", true);
  env.Add(std::string(kFsRoot) + "docs", "in.txt", false);
  CBuildSettings settings;
  CIndexBuilder b(&settings, &env);
  b.recurse_scan = 1;
  CFileList list;
  b.Scan(list, "*.*");
  EXPECT_EQ(b.scan_root, kFsRoot);
  EXPECT_EQ(SortedNames(list), (Names{"docs/in.txt", "top.txt"}));
}

TEST(VirtualScanTest, VanishedUnreadableAndCyclicFoldersArePassedOver) {
  const std::string root = Native("/r");
  VirtualTreeEnv env(root);
  env.Add(root, "a.txt", false);
  for (const char* sub : {"gone", "closed", "ok"}) env.Add(root, sub, true);
  const std::string ok = root + kSeparator + "ok";
  env.Add(ok, "b.txt", false);
  env.Add(root + kSeparator + "closed", "hidden.txt", false);
  env.Add(ok, "up", true);
  env.Alias(ok + kSeparator + "up", root);
  env.unenterable.insert(root + kSeparator + "gone");  // removed after it was listed
  env.unreadable.insert(root + kSeparator + "closed");
  CBuildSettings settings;
  CIndexBuilder b(&settings, &env);
  b.recurse_scan = 1;
  CFileList list;
  b.Scan(list, "*.*");
  EXPECT_EQ(SortedNames(list), (Names{"/a.txt", "/ok/b.txt"}));
  std::string cwd;
  env.GetCurrentFolder(&cwd);
  EXPECT_EQ(cwd, root);
}

TEST(VirtualScanTest, OneListingServesFilesAndSubfoldersForAllNames) {
  const std::string root = Native("/r");
  VirtualTreeEnv env(root);
  env.Add(root, "s", true);
  env.Add(root + kSeparator + "s", "f.txt", false);
  CBuildSettings settings;
  CIndexBuilder b(&settings, &env);
  b.recurse_scan = 1;
  CFileList list;
  b.Scan(list, "*.*");
  EXPECT_EQ(env.list_calls, 2);
  EXPECT_EQ(list.size(), 1u);
  env.list_calls = 0;
  CFileList txt;
  b.Scan(txt, "*.txt");
  EXPECT_EQ(env.list_calls, 4);  // the pattern, then the subfolders, per folder
  EXPECT_EQ(txt.size(), 1u);
}

TEST(VirtualScanTest, ThreeHundredFoldersDeep) {
  const std::string root = Native("/r");
  VirtualTreeEnv env(root);
  std::string folder = root;
  for (int i = 0; i < 300; ++i) {
    env.Add(folder, "f" + std::to_string(i) + ".txt", false);
    env.Add(folder, "d", true);
    folder += Native("/d");
  }
  CBuildSettings settings;
  CIndexBuilder b(&settings, &env);
  b.recurse_scan = 1;
  CFileList list;
  b.Scan(list, "*.*");
  ASSERT_EQ(list.size(), 300u);
  EXPECT_EQ(list.head()->name, "f299.txt");
  EXPECT_EQ(list.head()->folder().size(), 1 + 2 * 299u);
}

// A folder of half a million files, served without touching the disk.
class HugeFolderEnv : public VirtualTreeEnv {
 public:
  HugeFolderEnv() : VirtualTreeEnv(Native("/big")) {}
  bool ListFolder(const std::string&, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    FolderItem item;
    for (int i = 0; i < 500000; ++i) {
      item.name = "file number " + std::to_string(i) + ".dat";
      item.size = static_cast<uint64_t>(i % 977);
      item.write_time = static_cast<FileTime>(i);
      if (WildcardMatch(item.name, pattern)) visit(item);
    }
    return true;
  }
};

TEST(VirtualScanTest, HalfAMillionFilesInOneFolder) {
  HugeFolderEnv env;
  CBuildSettings settings;
  CIndexBuilder b(&settings, &env);
  CFileList list;
  b.Scan(list, "*.*");
  ASSERT_EQ(list.size(), 500000u);
  list.Sort(CBuildSettings::kSortByDate, CBuildSettings::kSortDescending, false, false, &env);
  size_t n = 0;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next, ++n) {
    if (e->next != nullptr) {
      ASSERT_GT(e->time, e->next->time);
    }
  }
  EXPECT_EQ(n, 500000u);
}

TEST(WalkGuardTest, RefusesOnlyFoldersOnThePath) {
  const std::string root = Native("/r");
  VirtualTreeEnv env(root);
  env.Add(root, "a", true);
  env.Add(root, "b", true);
  CWalkGuard guard(&env);
  EXPECT_TRUE(guard.Enter(root));
  EXPECT_TRUE(guard.Enter(root + kSeparator + "a"));
  EXPECT_FALSE(guard.Enter(root));
  EXPECT_FALSE(guard.Enter(root + kSeparator + "a"));
  EXPECT_TRUE(guard.Enter(Native("/unknown")));  // identity unknown: entered
  guard.Leave();
  guard.Leave();
  EXPECT_TRUE(guard.Enter(root + kSeparator + "b"));
  EXPECT_EQ(guard.depth(), 2u);
}

}  // namespace
}  // namespace vellora
