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

#include "settings/build_settings.h"
#include "platform/path.h"
#include "platform/wildcard.h"
#include "scan/folder_scanner.h"
#include "scan_test_env.h"
#include "support/progress_view.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

using Names = std::vector<std::string>;

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

// Scans folders on disk; every scan must leave the current folder where it was.
class FolderScanTest : public ::testing::Test {
 protected:
  FolderScanTest() : builder_(&settings_) {
    Env::Default()->GetCurrentFolder(&start_);
    Env::Default()->SetCurrentFolder(tmp_.path());
    Env::Default()->GetCurrentFolder(&root_);  // as the system spells it
  }
  ~FolderScanTest() override { Env::Default()->SetCurrentFolder(start_); }

  void Scan(CFileList* list, const std::string& spec, const std::string& rel = "") {
    const std::string folder = rel.empty() ? root_ : root_ + kSeparator + Native(rel);
    ASSERT_TRUE(Env::Default()->SetCurrentFolder(folder));
    builder_.Scan(*list, spec);
    std::string now;
    Env::Default()->GetCurrentFolder(&now);
    EXPECT_EQ(now, folder);
  }

  Names ScanNames(const std::string& spec, const std::string& rel = "") {
    CFileList list;
    Scan(&list, spec, rel);
    return SortedNames(list, builder_.recurse_scan != 0);
  }

  TempFolder tmp_;
  std::string start_;
  std::string root_;
  CBuildSettings settings_;
  CFolderScanner builder_;
};

TEST_F(FolderScanTest, FileSpecPatterns) {
  for (const char* f : {"a.htm", "B.HTM", "a.html", "c.txt", "d.doc"}) tmp_.WriteFile(f, "");
  tmp_.MakeFolder("e.htm");
  // On Windows a.html matches '*.htm' through its short name; it is left out.
  EXPECT_EQ(ScanNames("*.htm"), (Names{"B.HTM", "a.htm"}));
  EXPECT_EQ(ScanNames("*.htm*"), (Names{"B.HTM", "a.htm", "a.html"}));
  EXPECT_EQ(ScanNames("C.TXT"), (Names{"c.txt"}));
  EXPECT_EQ(ScanNames("*.txt;c*.txt"), (Names{"c.txt", "c.txt"}));
  EXPECT_EQ(ScanNames("*.doc;*"), (Names{"B.HTM", "a.htm", "a.html", "c.txt", "d.doc", "d.doc"}));
  CFileList list;
  Scan(&list, "*.doc;*.txt;");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.head()->name, "c.txt");  // found last, added at the head
  builder_.recurse_scan = 1;
  CBuildProgress progress;
  builder_.progress = &progress;
  EXPECT_TRUE(ScanNames("").empty());
  EXPECT_TRUE(ScanNames(";;").empty());
  EXPECT_EQ(progress.folders_entered, 0);
}

TEST_F(FolderScanTest, DotNamesShortcutsAndSkippedFilesAreLeftOut) {
  for (const char* f : {".profile", ".git/x.txt", "report.LNK", "INDEX.HTML", "Notes.TXT",
                        "keep.doc", "sub/more.txt", "sub/more.doc"}) {
    tmp_.WriteFile(f, "");
  }
  builder_.recurse_scan = 1;
  EXPECT_EQ(ScanNames("*.*"), (Names{"/INDEX.HTML", "/Notes.TXT", "/keep.doc", "/sub/more.doc",
                                     "/sub/more.txt"}));
  builder_.skip_file_patterns = {"index.html", "", "*.txt"};
  EXPECT_EQ(ScanNames("*.*"), (Names{"/keep.doc", "/sub/more.doc"}));
}

TEST_F(FolderScanTest, BranchScanRecordsFoldersAndProgress) {
  tmp_.WriteFile("x.txt", "12345");
  tmp_.WriteFile("a/b/x.txt", "");
  tmp_.WriteFile("a/y.txt", "");
  tmp_.MakeFolder("empty");
  CFileList single;
  Scan(&single, "*.*");
  std::string whole = root_ + kSeparator;
  std::replace(whole.begin(), whole.end(), kSeparator, '/');
  EXPECT_EQ(SortedNames(single), (Names{whole + "x.txt"}));
  EXPECT_EQ(single.head()->size, 5);

  builder_.recurse_scan = 1;
  CBuildProgress progress;
  builder_.progress = &progress;
  CFileList list;
  Scan(&list, "*.*");
  EXPECT_EQ(builder_.scan_root, root_);
  EXPECT_EQ(SortedNames(list), (Names{"/a/b/x.txt", "/a/y.txt", "/x.txt"}));
  EXPECT_EQ(list.head()->folder_upper(), "/A/B/");  // found last
  EXPECT_EQ(progress.links_total, 3);
  EXPECT_EQ(progress.folders_entered, 3);  // a, a/b, empty
}

TEST_F(FolderScanTest, SkippedFoldersAndBranches) {
  for (const char* f : {"a.txt", "tmp/b.txt", "tmp/deep/c.txt", "tmpx/d.txt"}) tmp_.WriteFile(f, "");
  builder_.recurse_scan = 1;
  settings_.skip_folders = root_ + kSeparator + "tmp";
  EXPECT_EQ(ScanNames("*.txt"), (Names{"/a.txt", "/tmpx/d.txt"}));
  // The subfolder's own page is kept out only by the branch form.
  EXPECT_EQ(ScanNames("*.txt", "tmp/deep").size(), 1u);
  settings_.skip_folders = "x;" + root_ + kSeparator + "tmp" + kSeparator + "*;y";
  EXPECT_TRUE(ScanNames("*.txt", "tmp/deep").empty());
  EXPECT_EQ(ScanNames("*.txt"), (Names{"/a.txt"}));  // textual: tmpx too
  settings_.skip_folders = root_;
  EXPECT_TRUE(ScanNames("*.*").empty());
}

TEST(SkipFolderTest, ComparesTextExactly) {
  CBuildSettings settings;
  CFolderScanner b(&settings);
  EXPECT_FALSE(b.SkipFolder(Native("/web")));
  settings.skip_folders = Native("/web/old/*;/web/tmp;");
  EXPECT_TRUE(b.SkipFolder(Native("/web/tmp")));
  EXPECT_FALSE(b.SkipFolder(Native("/web/tmp/a")));
  EXPECT_TRUE(b.SkipFolder(Native("/web/old/a/b")));
  EXPECT_TRUE(b.SkipFolder(Native("/web/older")));
  EXPECT_FALSE(b.SkipFolder(Native("/WEB/TMP")));
  settings.skip_folders = Native("/web/tmp/");  // a trailing separator matches nothing
  EXPECT_FALSE(b.SkipFolder(Native("/web/tmp")));
}

TEST_F(FolderScanTest, CancelFromTheCallbackStopsTheScan) {
  for (const char* f : {"a.txt", "s1/b.txt", "s2/c.txt"}) tmp_.WriteFile(f, "");
  builder_.recurse_scan = 1;
  CBuildProgress progress;
  progress.notify_enabled = 1;
  FunctionProgressView view([](CBuildProgress& p) { p.cancel = 1; });
  progress.notify = &view;
  builder_.progress = &progress;
  CFileList list;
  Scan(&list, "*.*");  // also checks that the current folder is back
  EXPECT_EQ(SortedNames(list), (Names{"/a.txt"}));
  EXPECT_EQ(progress.current_folder.compare(0, root_.size(), root_), 0);
  EXPECT_EQ(progress.folders_entered, 0);
}

TEST_F(FolderScanTest, NamesWithAnyBytesAreKeptExactly) {
  Names names = {"a b.txt", "it's.txt", "x&y#z%20.txt", "A&B (old).txt"};
#ifndef _WIN32
  for (const char* n : {"q\".txt", "<t>.txt", "line\nbreak.txt", "bad\xff\xfe.txt"}) names.push_back(n);
  names.push_back(std::string(251, 'n') + ".txt");  // 255 bytes
#endif
  for (const std::string& n : names) tmp_.WriteFile(n, "");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(ScanNames("*.txt"), names);
}

#ifndef _WIN32
TEST_F(FolderScanTest, LinkCyclesEndAndEachRealFolderIsListedOnce) {
  for (const char* f : {"x.txt", "a/y.txt", "b/z.txt"}) tmp_.WriteFile(f, "");
  tmp_.MakeFolder("a/b");
  ASSERT_EQ(symlink("../..", tmp_.Path("a/b/up").c_str()), 0);
  ASSERT_EQ(symlink("..", tmp_.Path("a/self").c_str()), 0);
  ASSERT_EQ(symlink("../b", tmp_.Path("a/side").c_str()), 0);
  ASSERT_EQ(symlink("missing", tmp_.Path("dangling").c_str()), 0);
  builder_.recurse_scan = 1;
  // b is listed where the walk meets it first: as b or through a/side.
  const Names names = ScanNames("*.*");
  EXPECT_TRUE(names == (Names{"/a/side/z.txt", "/a/y.txt", "/x.txt"}) ||
              names == (Names{"/a/y.txt", "/b/z.txt", "/x.txt"}))
      << testing::PrintToString(names);
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

// A folder tree in memory: full native paths; a folder link leads to the
// real folder it names, and paths through links are followed.
class VirtualTreeEnv : public scantest::ForwardingEnv {
 public:
  explicit VirtualTreeEnv(const std::string& root) : cwd_(root) { ids_[root] = next_id_++; }

  // Adds an item to `folder`; a folder item becomes a folder of its own,
  // or a link to the real folder `link_to` when given.
  void Add(const std::string& folder, const std::string& name, bool is_folder,
           const std::string& link_to = "") {
    FolderItem item;
    item.name = name;
    item.is_folder = is_folder;
    item.is_link = !link_to.empty();
    items_[folder].push_back(item);
    const std::string path = WithTrailingSeparator(folder) + name;
    if (item.is_link) {
      links_[path] = link_to;
    } else if (is_folder) {
      ids_[path] = next_id_++;
    }
  }

  std::set<std::string> unenterable;
  std::set<std::string> unreadable;

  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    const std::string real = Resolve(folder);
    if (!ids_.count(real) || unreadable.count(real)) return false;
    for (const FolderItem& item : items_[real]) {
      if (WildcardMatch(item.name, pattern)) visit(item);
    }
    return true;
  }
  bool ListSubfolders(const std::string& folder,
                      const std::function<void(const FolderItem&)>& visit) override {
    return Env::ListSubfolders(folder, visit);
  }
  bool GetFolderIdentity(const std::string& folder, FolderIdentity* id) override {
    const std::string real = Resolve(folder);
    if (!ids_.count(real)) return false;
    id->inode = ids_[real];
    return true;
  }
  bool GetCurrentFolder(std::string* folder) override {
    *folder = cwd_;
    return true;
  }
  bool SetCurrentFolder(const std::string& folder) override {
    const std::string real = Resolve(folder);
    if (!ids_.count(real) || unenterable.count(real)) return false;
    cwd_ = folder;
    ++entered;
    return true;
  }
  bool CanEnterFolder(const std::string& folder) override {
    const std::string real = Resolve(folder);
    return ids_.count(real) != 0 && unenterable.count(real) == 0;
  }
  bool RealPath(const std::string& path, std::string* real) override {
    *real = Resolve(path);
    return ids_.count(*real) != 0;
  }

  int entered = 0;  // folders made current

 private:
  // The path with every link on it replaced by the folder it leads to.
  std::string Resolve(std::string path) const {
    size_t pos = 1;
    while (pos <= path.size()) {
      size_t end = path.find(kSeparator, pos);
      if (end == std::string::npos) end = path.size();
      const auto link = links_.find(path.substr(0, end));
      if (link != links_.end()) {
        path = link->second + path.substr(end);
        pos = link->second.size() + 1;
      } else {
        pos = end + 1;
      }
    }
    return path;
  }

  std::map<std::string, std::vector<FolderItem>> items_;
  std::map<std::string, uint64_t> ids_;
  std::map<std::string, std::string> links_;
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
  CFolderScanner b(&settings, &env);
  b.recurse_scan = 1;
  CFileList list;
  b.Scan(list, "*.*");
  EXPECT_EQ(SortedNames(list), (Names{"docs/in.txt", "top.txt"}));
}

TEST(VirtualScanTest, VanishedUnreadableAndCyclicFoldersArePassedOver) {
  const std::string root = Native("/r");
  const std::string ok = Native("/r/ok");
  VirtualTreeEnv env(root);
  env.Add(root, "a.txt", false);
  for (const char* sub : {"gone", "closed", "ok"}) env.Add(root, sub, true);
  env.Add(ok, "b.txt", false);
  env.Add(ok, "up", true, root);  // a link to the root
  env.Add(Native("/r/closed"), "hidden.txt", false);
  env.unenterable.insert(Native("/r/gone"));  // removed after it was listed
  env.unreadable.insert(Native("/r/closed"));
  CBuildSettings settings;
  CFolderScanner b(&settings, &env);
  b.recurse_scan = 1;
  CFileList list;
  b.Scan(list, "*.txt");
  EXPECT_EQ(SortedNames(list), (Names{"/a.txt", "/ok/b.txt"}));
  std::string cwd;
  env.GetCurrentFolder(&cwd);
  EXPECT_EQ(cwd, root);
}

// 25 folders, each holding two links to the next: 2^25 ways down, and one
// real folder at the end of each.
TEST(VirtualScanTest, DoubleLinkLadderListsEachFolderOnce) {
  const std::string root = Native("/r");
  VirtualTreeEnv env(root);
  const int kRungs = 25;
  auto rung = [&root](int i) { return root + kSeparator + "d" + std::to_string(i); };
  for (int i = 0; i <= kRungs; ++i) {
    env.Add(root, "d" + std::to_string(i), true);
    env.Add(rung(i), "f" + std::to_string(i) + ".txt", false);
  }
  for (int i = 0; i < kRungs; ++i) {
    env.Add(rung(i), "x", true, rung(i + 1));
    env.Add(rung(i), "y", true, rung(i + 1));
  }
  CBuildSettings settings;
  CFolderScanner b(&settings, &env);
  b.recurse_scan = 1;
  CFileList list;
  b.Scan(list, "*.*");
  Names names = SortedNames(list, false);
  names.erase(std::unique(names.begin(), names.end()), names.end());
  EXPECT_EQ(list.size(), static_cast<size_t>(kRungs + 1));
  EXPECT_EQ(names.size(), static_cast<size_t>(kRungs + 1));
  EXPECT_LT(env.entered, 4 * (kRungs + 1));
}

TEST(VirtualScanTest, ThreeHundredFoldersDeep) {
  std::string folder = Native("/r");
  VirtualTreeEnv env(folder);
  for (int i = 0; i < 300; ++i) {
    env.Add(folder, "f" + std::to_string(i) + ".txt", false);
    env.Add(folder, "d", true);
    folder += Native("/d");
  }
  CFolderScanner b(nullptr, &env);
  b.recurse_scan = 1;
  CFileList list;
  b.Scan(list, "*.*");
  ASSERT_EQ(list.size(), 300u);
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
      item.write_time = static_cast<FileTime>(i);
      if (WildcardMatch(item.name, pattern)) visit(item);
    }
    return true;
  }
};

TEST(VirtualScanTest, HalfAMillionFilesInOneFolder) {
  HugeFolderEnv env;
  CFolderScanner b(nullptr, &env);
  CFileList list;
  b.Scan(list, "*.*");
  ASSERT_EQ(list.size(), 500000u);
  list.Sort(CBuildSettings::kSortByDate, CBuildSettings::kSortDescending, false, false, &env);
  FileTime expect = 499999;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) ASSERT_EQ(e->time, expect--);
}

}  // namespace
}  // namespace vellora
