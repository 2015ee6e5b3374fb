// Tests of the POSIX backend against the real file system.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/env.h"
#include "platform/safe_write.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

constexpr int64_t kEpochSeconds = 11644473600LL;

std::map<std::string, FolderItem> List(const std::string& folder, const std::string& pattern,
                                       bool* ok = nullptr, bool brief = false) {
  std::map<std::string, FolderItem> items;
  const auto keep = [&](const FolderItem& item) {
    EXPECT_EQ(items.count(item.name), 0u) << item.name;
    items[item.name] = item;
  };
  const bool listed = brief ? Env::Default()->ListFolderBrief(folder, pattern, keep)
                            : Env::Default()->ListFolder(folder, pattern, keep);
  if (ok != nullptr) *ok = listed;
  return items;
}

std::vector<std::string> Names(const std::map<std::string, FolderItem>& items) {
  std::vector<std::string> names;
  for (const auto& entry : items) names.push_back(entry.first);
  return names;
}

using Strings = std::vector<std::string>;

// Sets TZ for one test and puts the old value back afterwards.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* tz) {
    const char* old = getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (had_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool had_ = false;
  std::string old_;
};

void SetTime(const std::string& path, time_t sec, long nsec) {
  timespec times[2] = {{sec, nsec}, {sec, nsec}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

TEST(PosixEnvListTest, PatternsMatchWholeNamesIgnoringCase) {
  TempFolder t;
  for (const char* name : {"a.htm", "A.HTM", "a.html", "b.txt", "noext", ".hidden", "x.y.htm"}) {
    t.WriteFile(name, "x");
  }
  EXPECT_EQ(Names(List(t.path(), "*.htm")), (Strings{"A.HTM", "a.htm", "x.y.htm"}));
  EXPECT_EQ(Names(List(t.path(), "*.HTM*")), (Strings{"A.HTM", "a.htm", "a.html", "x.y.htm"}));
  EXPECT_EQ(Names(List(t.path(), "?.txt")), (Strings{"b.txt"}));
  // "*.*" and "*" are every name, dot or not; "." and ".." never appear.
  const Strings all{".hidden", "A.HTM", "a.htm", "a.html", "b.txt", "noext", "x.y.htm"};
  EXPECT_EQ(Names(List(t.path(), "*.*")), all);
  EXPECT_EQ(Names(List(t.path(), "*")), all);
  EXPECT_EQ(Names(List(t.path() + "/", "*")), all);
  bool ok = false;
  EXPECT_TRUE(List(t.path(), "", &ok).empty());
  EXPECT_TRUE(ok);
  EXPECT_TRUE(List(t.path(), "nothing.*", &ok).empty());
  EXPECT_TRUE(ok);
}

TEST(PosixEnvListTest, KindsOfEntries) {
  TempFolder t;
  t.WriteFile("file.txt", "12345");
  t.MakeFolder("dir");
  ASSERT_EQ(symlink("dir", t.Path("link-to-dir").c_str()), 0);
  ASSERT_EQ(symlink("file.txt", t.Path("link-to-file").c_str()), 0);
  ASSERT_EQ(symlink("missing", t.Path("dangling").c_str()), 0);
  ASSERT_EQ(symlink("loop", t.Path("loop").c_str()), 0);
  ASSERT_EQ(mkfifo(t.Path("fifo").c_str(), 0644), 0);

  const auto items = List(t.path(), "*");
  EXPECT_EQ(Names(items), (Strings{"dir", "file.txt", "link-to-dir", "link-to-file"}));
  EXPECT_FALSE(items.at("file.txt").is_folder);
  EXPECT_EQ(items.at("file.txt").size, 5u);
  EXPECT_TRUE(items.at("dir").is_folder);
  EXPECT_EQ(items.at("dir").size, 0u);
  EXPECT_TRUE(items.at("link-to-dir").is_folder);
  EXPECT_FALSE(items.at("link-to-file").is_folder);
  EXPECT_EQ(items.at("link-to-file").size, 5u);
  for (const char* name : {"file.txt", "dir", "link-to-dir", "link-to-file"}) {
    EXPECT_EQ(items.at(name).is_link, std::string(name).compare(0, 5, "link-") == 0) << name;
  }

  // A brief listing names the same items, kinds and links; only the files
  // and folders the listing itself tells apart go without a size and time.
  const auto brief = List(t.path(), "*", nullptr, true);
  ASSERT_EQ(Names(brief), Names(items));
  for (const auto& [name, item] : brief) {
    const FolderItem& full = items.at(name);
    EXPECT_EQ(item.is_folder, full.is_folder) << name;
    EXPECT_EQ(item.is_link, full.is_link) << name;
    EXPECT_EQ(item.size, item.is_link ? full.size : 0u) << name;
    EXPECT_EQ(item.write_time, item.is_link ? full.write_time : 0u) << name;
  }

  Strings folders;
  EXPECT_TRUE(Env::Default()->ListSubfolders(t.path(), [&](const FolderItem& item) {
    folders.push_back(item.name + (item.is_link ? " (link)" : ""));
  }));
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (Strings{"dir", "link-to-dir (link)"}));
}

TEST(PosixEnvListTest, UnusualNamesListAsTheyAre) {
  TempFolder t;
  const Strings names{"line\nbreak", "bad\xFF\xFEutf8", std::string(255, 'n'), "sp ace;x",
                      "\xE4\xB8\xAD\xE6\x96\x87.txt", "-dash", "*star?"};
  for (const auto& name : names) t.WriteFile(name, name);
  Strings expected = names;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(List(t.path(), "*")), expected);
  // Each name leads back to its own file.
  for (const auto& name : names) {
    std::string data;
    EXPECT_TRUE(Env::Default()->ReadWholeFile(t.Path(name), SIZE_MAX, &data));
    EXPECT_EQ(data, name);
  }
  EXPECT_EQ(Names(List(t.path(), "??.txt")), (Strings{"\xE4\xB8\xAD\xE6\x96\x87.txt"}));
}

TEST(PosixEnvListTest, UnreadableFolderFails) {
  TempFolder t;
  const std::string file = t.WriteFile("plain.txt", "x");
  bool ok = true;
  List(t.Path("missing"), "*", &ok);
  EXPECT_FALSE(ok);
  List(file, "*", &ok);
  EXPECT_FALSE(ok);
  List("", "*", &ok);
  EXPECT_FALSE(ok);
  if (geteuid() != 0) {  // root reads any folder
    const std::string locked = t.MakeFolder("locked");
    t.WriteFile("locked/inside.txt", "x");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    int calls = 0;
    EXPECT_FALSE(Env::Default()->ListFolder(locked, "*", [&](const FolderItem&) { ++calls; }));
    EXPECT_EQ(calls, 0);
  }
}

TEST(PosixEnvListTest, LargeSparseFileKeepsItsSize) {
  TempFolder t;
  const std::string path = t.WriteFile("big.bin", "");
  const uint64_t size = 5ULL << 30;
  ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(size)), 0);
  EXPECT_EQ(List(t.path(), "*").at("big.bin").size, size);
}

#ifdef __linux__
// A thread that gives way lowers its own share only: the process's other
// threads (the walk it reads ahead of) keep theirs.
TEST(PosixEnvThreadTest, GivingWayLowersOnlyTheCallingThread) {
  const int process_before = getpriority(PRIO_PROCESS, 0);
  int before = 0;
  int after = 0;
  std::thread worker([&] {
    const id_t self = static_cast<id_t>(syscall(SYS_gettid));
    before = getpriority(PRIO_PROCESS, self);
    GiveWayToOtherThreads();
    after = getpriority(PRIO_PROCESS, self);
  });
  worker.join();
  EXPECT_EQ(after, std::min(before + 10, 19));
  EXPECT_EQ(getpriority(PRIO_PROCESS, 0), process_before);
}

#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's allocator keeps its own
static long ResidentPages() {
  long size = 0;
  long resident = 0;
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return -1;
  if (std::fscanf(f, "%ld %ld", &size, &resident) != 2) resident = -1;
  std::fclose(f);
  return resident;
}

// Blocks a thread freed between blocks still in use stay resident until
// the free memory is handed back, by any thread.
TEST(PosixEnvMemoryTest, FreeMemoryOfEveryThreadGoesBackToTheSystem) {
  std::vector<std::unique_ptr<char[]>> kept;
  std::thread worker([&] {
    std::vector<std::unique_ptr<char[]>> freed;
    for (int i = 0; i < 1024; ++i) {
      freed.emplace_back(new char[32 * 1024]);
      std::memset(freed.back().get(), 1, 32 * 1024);
      kept.emplace_back(new char[16]);
    }
  });
  worker.join();
  const long before = ResidentPages();
  ReturnFreeMemory();
  EXPECT_GT((before - ResidentPages()) * sysconf(_SC_PAGESIZE), 16L << 20);
}
#endif
#endif

TEST(PosixEnvTimeTest, WriteTimesConvertExactly) {
  TempFolder t;
  const std::string path = t.WriteFile("dated.txt", "x");
  // 2005-01-03 14:07:09 UTC plus 123456789 ns.
  const time_t sec = 1104761229;
  SetTime(path, sec, 123456789);
  const FileTime ft = List(t.path(), "*").at("dated.txt").write_time;
  EXPECT_EQ(ft, static_cast<FileTime>(sec + kEpochSeconds) * 10000000u + 1234567u);

  // Before 1970 the file time is still exact.
  SetTime(path, -1, 500000000);
  EXPECT_EQ(List(t.path(), "*").at("dated.txt").write_time,
            static_cast<FileTime>(kEpochSeconds - 1) * 10000000u + 5000000u);
}

TEST(PosixEnvTimeTest, FileTimeToLocalFollowsTimeZone) {
  const FileTime ft = static_cast<FileTime>(1104761229 + kEpochSeconds) * 10000000u + 9999999u;
  LocalTime lt;
  {
    ScopedTimeZone tz("UTC0");
    ASSERT_TRUE(Env::Default()->FileTimeToLocal(ft, &lt));
    EXPECT_EQ(lt.year, 2005);
    EXPECT_EQ(lt.month, 1);
    EXPECT_EQ(lt.day, 3);
    EXPECT_EQ(lt.hour, 14);
    EXPECT_EQ(lt.minute, 7);
    EXPECT_EQ(lt.second, 9);  // the fraction is dropped, not rounded
    EXPECT_EQ(lt.day_of_week, 1);
  }
  {
    ScopedTimeZone tz("EST5EDT,M3.2.0,M11.1.0");
    ASSERT_TRUE(Env::Default()->FileTimeToLocal(ft, &lt));
    EXPECT_EQ(lt.hour, 9);
    // 2004-07-01 12:00 UTC is 08:00 daylight time.
    const FileTime summer = static_cast<FileTime>(1088683200 + kEpochSeconds) * 10000000u;
    ASSERT_TRUE(Env::Default()->FileTimeToLocal(summer, &lt));
    EXPECT_EQ(lt.hour, 8);
    EXPECT_EQ(lt.day, 1);
    EXPECT_EQ(lt.month, 7);
  }
  {
    ScopedTimeZone tz("UTC0");
    ASSERT_TRUE(Env::Default()->FileTimeToLocal(0, &lt));  // 1601-01-01, a Monday
    EXPECT_EQ(lt.year, 1601);
    EXPECT_EQ(lt.month, 1);
    EXPECT_EQ(lt.day, 1);
    EXPECT_EQ(lt.day_of_week, 1);
  }
}

TEST(PosixEnvTimeTest, NowAndFormatting) {
  const FileTime now = Env::Default()->Now();
  const int64_t expected = static_cast<int64_t>(time(nullptr)) + kEpochSeconds;
  EXPECT_NEAR(static_cast<double>(now / 10000000u), static_cast<double>(expected), 5.0);

  LocalTime lt;
  lt.year = 2026;
  lt.month = 12;
  lt.day = 6;
  lt.hour = 13;
  lt.minute = 5;
  lt.day_of_week = 0;
  EXPECT_EQ(Env::Default()->FormatLocalTime("%B %d, %Y  %I:%M ", lt), "December 06, 2026  01:05 ");
  EXPECT_EQ(Env::Default()->FormatLocalTime("%d %B, %Y  %H:%M ", lt), "06 December, 2026  13:05 ");
  EXPECT_EQ(Env::Default()->FormatLocalTime("%A %j", lt), "Sunday 340");
}

// Names of everything in `folder`, hidden ones included.
Strings AllNames(const std::string& folder) { return Names(List(folder, "*")); }

// Texts compare and key as their bytes in the locales that collate so, and
// only there (locales missing on this machine are skipped).
TEST(PosixEnvCollationTest, ByteOrderOnlyWhereTheLocaleCollatesByBytes) {
  const std::string before = std::setlocale(LC_COLLATE, nullptr);
  const struct {
    const char* locale;
    bool bytes;
  } cases[] = {{"C", true},           {"POSIX", true},        {"C.UTF-8", true},
               {"C.utf8", true},      {"zh_CN.UTF-8", false}, {"en_US.UTF-8", false},
               {"de_DE.UTF-8", false}};
  Env* env = Env::Default();
  for (const auto& c : cases) {
    if (std::setlocale(LC_COLLATE, c.locale) == nullptr) continue;
    EXPECT_EQ(env->CollatesByteByByte(), c.bytes) << c.locale;
  }
  std::setlocale(LC_COLLATE, before.c_str());
}

TEST(PosixEnvWriteTest, NewFileGetsNormalPermissions) {
  TempFolder t;
  const mode_t old_mask = umask(022);
  const std::string path = t.Path("index.html");
  const std::string data("a\r\nb\0c\xFF", 7);
  const bool ok = Env::Default()->WriteFileSafely(path, data);
  umask(old_mask);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ReadFileForTest(path), data);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  EXPECT_EQ(AllNames(t.path()), (Strings{"index.html"}));

  // An empty text makes an empty file.
  ASSERT_TRUE(Env::Default()->WriteFileSafely(t.Path("empty.html"), ""));
  EXPECT_EQ(ReadFileForTest(t.Path("empty.html")), "");
}

TEST(PosixEnvWriteTest, ReplacingKeepsModeAndLeavesNoTemporaryFile) {
  TempFolder t;
  const std::string path = t.WriteFile("index.html", "old old old old");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(Env::Default()->WriteFileSafely(path, "new"));
  EXPECT_EQ(ReadFileForTest(path), "new");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(AllNames(t.path()), (Strings{"index.html"}));

  // A relative path is taken from the current folder.
  std::string cwd;
  ASSERT_TRUE(Env::Default()->GetCurrentFolder(&cwd));
  ASSERT_TRUE(Env::Default()->SetCurrentFolder(t.path()));
  EXPECT_TRUE(Env::Default()->WriteFileSafely("index.html", "relative"));
  ASSERT_TRUE(Env::Default()->SetCurrentFolder(cwd));
  EXPECT_EQ(ReadFileForTest(path), "relative");
}

TEST(PosixEnvWriteTest, UnchangedContentIsNotRewritten) {
  TempFolder t;
  const std::string path = t.WriteFile("index.html", "same page");
  struct stat before {};
  ASSERT_EQ(stat(path.c_str(), &before), 0);
  ASSERT_TRUE(Env::Default()->WriteFileSafely(path, "same page"));
  struct stat after {};
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);  // not replaced by a new file

  // The same size with other bytes, or a prefix, is written.
  ASSERT_TRUE(Env::Default()->WriteFileSafely(path, "SAME PAGE"));
  EXPECT_EQ(ReadFileForTest(path), "SAME PAGE");
  ASSERT_TRUE(Env::Default()->WriteFileSafely(path, "SAME"));
  EXPECT_EQ(ReadFileForTest(path), "SAME");
}

TEST(PosixEnvWriteTest, PiecesAreWrittenInOrderAndComparedAcrossTheirBounds) {
  TempFolder t;
  const std::string path = t.Path("index.html");
  // Long enough for the comparison to read the old file in several blocks.
  const std::string big(200000, 'b');
  std::vector<std::string_view> pieces = {"", "head|", big, "", "|tail", ""};
  ASSERT_TRUE(Env::Default()->WritePiecesSafely(path, pieces));
  EXPECT_EQ(ReadFileForTest(path), "head|" + big + "|tail");
  struct stat before {};
  ASSERT_EQ(stat(path.c_str(), &before), 0);

  // The same bytes cut elsewhere are the same page: left alone.
  const std::string whole = "head|" + big + "|tail";
  const std::string_view view(whole);
  ASSERT_TRUE(Env::Default()->WritePiecesSafely(
      path, {view.substr(0, 70000), view.substr(70000, 1), view.substr(70001)}));
  struct stat after {};
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);

  // One byte changed at the very start of a later piece is written.
  std::string changed = "|tail";
  changed[0] = '!';
  pieces[4] = changed;
  ASSERT_TRUE(Env::Default()->WritePiecesSafely(path, pieces));
  EXPECT_EQ(ReadFileForTest(path), "head|" + big + "!tail");
  EXPECT_EQ(AllNames(t.path()), (Strings{"index.html"}));

  // No pieces at all make an empty file.
  ASSERT_TRUE(Env::Default()->WritePiecesSafely(path, {}));
  EXPECT_EQ(ReadFileForTest(path), "");
}

TEST(PosixEnvWriteTest, FailuresLeaveTheOldFile) {
  TempFolder t;
  EXPECT_FALSE(Env::Default()->WriteFileSafely(t.Path("missing/index.html"), "x"));
  EXPECT_FALSE(Env::Default()->WriteFileSafely(t.path() + "/", "x"));
  EXPECT_FALSE(Env::Default()->WriteFileSafely("", "x"));
  // A folder in the way is never replaced.
  t.MakeFolder("index.html");
  t.WriteFile("index.html/keep.txt", "keep");
  EXPECT_FALSE(Env::Default()->WriteFileSafely(t.Path("index.html"), "x"));
  EXPECT_EQ(ReadFileForTest(t.Path("index.html/keep.txt")), "keep");

  if (geteuid() != 0) {  // root writes into read-only folders
    const std::string folder = t.MakeFolder("ro");
    const std::string path = t.WriteFile("ro/index.html", "old");
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    EXPECT_FALSE(Env::Default()->WriteFileSafely(path, "new"));
    EXPECT_EQ(ReadFileForTest(path), "old");
    EXPECT_EQ(AllNames(folder), (Strings{"index.html"}));
  }
}

TEST(PosixEnvWriteTest, FileSizeLimitFailsCleanly) {
  TempFolder t;
  const std::string path = t.WriteFile("index.html", "old");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Like a full disk: writes beyond the limit fail with EFBIG.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool ok = Env::Default()->WriteFileSafely(path, std::string(100000, 'x'));
    _exit(ok ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "write past the size limit reported success";
  EXPECT_EQ(ReadFileForTest(path), "old");
  EXPECT_EQ(AllNames(t.path()), (Strings{"index.html"}));
}

// Every name in `folder`, dangling links included.
Strings RawNames(const std::string& folder) {
  Strings names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return {"<unreadable>"};
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

std::string LinkTarget(const std::string& path) {
  char buf[PATH_MAX];
  const ssize_t n = readlink(path.c_str(), buf, sizeof buf);
  return n < 0 ? std::string("<no link>") : std::string(buf, static_cast<size_t>(n));
}

TEST(PosixEnvWriteTest, LinksAreNeverWrittenThrough) {
  TempFolder outside;
  const std::string file = outside.WriteFile("victim.txt", "precious");
  const std::string folder = outside.MakeFolder("folder");
  struct Case {
    const char* what;
    std::string target;
  };
  const Case cases[] = {
      {"link to a file outside", file},
      {"dangling link", outside.Path("created-by-the-write")},
      {"link to a folder", folder},
      {"link to itself", "index.html"},
  };
  for (const Case& c : cases) {
    TempFolder t;
    const std::string page = t.Path("index.html");
    ASSERT_EQ(symlink(c.target.c_str(), page.c_str()), 0) << c.what;
    EXPECT_TRUE(Env::Default()->IsLink(page)) << c.what;
    EXPECT_FALSE(Env::Default()->WriteFileSafely(page, "page")) << c.what;
    EXPECT_EQ(LinkTarget(page), c.target) << c.what;
    EXPECT_EQ(RawNames(t.path()), (Strings{"index.html"})) << c.what;  // no temporary file
  }
  EXPECT_EQ(ReadFileForTest(file), "precious");
  EXPECT_EQ(RawNames(outside.path()), (Strings{"folder", "victim.txt"}));
  EXPECT_TRUE(RawNames(folder).empty());

  // Ordinary files and missing names are no links; a link to a folder on
  // the way to the page is followed as any folder is.
  EXPECT_FALSE(Env::Default()->IsLink(file));
  EXPECT_FALSE(Env::Default()->IsLink(outside.Path("missing")));
  TempFolder t;
  ASSERT_EQ(symlink(folder.c_str(), t.Path("sub").c_str()), 0);
  EXPECT_TRUE(Env::Default()->WriteFileSafely(t.Path("sub/index.html"), "page"));
  EXPECT_EQ(ReadFileForTest(folder + "/index.html"), "page");
}

// A page streamed to its file replaces the old one only when committed; a
// stream that is dropped, or cannot start at a link, leaves the old page
// (or the link) and no temporary file.
TEST(PosixEnvWriteTest, AStreamReplacesThePageOnlyWhenCommitted) {
  const std::string big(300000, 'n');
  struct Case {
    const char* what;
    bool link;
    bool commit;
    std::string after;  // the page's content afterwards
  };
  const Case cases[] = {
      {"committed", false, true, "new " + big},
      {"dropped", false, false, "old page"},
      {"link at the page", true, true, "old page"},
  };
  for (const Case& c : cases) {
    TempFolder t;
    const std::string old_page = t.WriteFile("old.html", "old page");
    const std::string page = t.Path("index.html");
    if (c.link) {
      ASSERT_EQ(symlink("old.html", page.c_str()), 0);
    } else {
      t.WriteFile("index.html", "old page");
    }
    {
      std::unique_ptr<CSafeFileWrite> write = Env::Default()->StartSafeWrite(page);
      EXPECT_EQ(write->Append("new "), !c.link) << c.what;
      EXPECT_EQ(write->Append(big), !c.link) << c.what;
      EXPECT_EQ(ReadFileForTest(page), "old page") << c.what;  // until committed
      if (c.commit) {
        EXPECT_EQ(write->Commit(), !c.link) << c.what;
      }
    }
    EXPECT_EQ(ReadFileForTest(page), c.after) << c.what;
    EXPECT_EQ(RawNames(t.path()), (Strings{"index.html", "old.html"})) << c.what;
    EXPECT_EQ(ReadFileForTest(old_page), "old page") << c.what;
    if (c.link) {
      EXPECT_EQ(LinkTarget(page), "old.html");
    }
  }
}

TEST(PosixEnvReadTest, ReadingStopsAtTheCap) {
  TempFolder t;
  t.WriteFile("ten.txt", "0123456789");
  t.WriteFile("empty.txt", "");
  // Sparse: reports 100 GB and holds nothing on disk.
  const std::string sparse = t.WriteFile("sparse.txt", "");
  const int fd = open(sparse.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, off_t{100} << 30), 0);
  close(fd);
  // Reports size 0 and holds 8 bytes for every page of the address space.
  ASSERT_EQ(symlink("/proc/self/pagemap", t.Path("pagemap.html").c_str()), 0);
  ASSERT_EQ(mkfifo(t.Path("fifo").c_str(), 0644), 0);
  struct Case {
    const char* name;
    size_t cap;
    ReadResult result;
    size_t size;  // bytes in data afterwards
  };
  const Case cases[] = {
      {"ten.txt", 10, ReadResult::kRead, 10},
      {"ten.txt", SIZE_MAX, ReadResult::kRead, 10},
      {"ten.txt", 9, ReadResult::kTooLong, 9},
      {"ten.txt", 0, ReadResult::kTooLong, 0},
      {"empty.txt", 0, ReadResult::kRead, 0},
      {"sparse.txt", 1 << 20, ReadResult::kTooLong, 1 << 20},
      {"pagemap.html", 100000, ReadResult::kTooLong, 100000},
      {"fifo", 100, ReadResult::kFailed, 9},  // 9: unchanged
      {"missing", 100, ReadResult::kFailed, 9},
  };
  for (const Case& c : cases) {
    std::string data = "unchanged";
    EXPECT_EQ(Env::Default()->ReadFile(t.Path(c.name), c.cap, &data), c.result)
        << c.name << " " << c.cap;
    EXPECT_EQ(data.size(), c.size) << c.name << " " << c.cap;
  }
  std::string data;
  ASSERT_EQ(Env::Default()->ReadFile(t.Path("ten.txt"), 4, &data), ReadResult::kTooLong);
  EXPECT_EQ(data, "0123");
  // Too long is not whole: the data stays as it was.
  data = "old";
  EXPECT_FALSE(Env::Default()->ReadWholeFile(t.Path("sparse.txt"), 1 << 20, &data));
  EXPECT_EQ(data, "old");
}

TEST(PosixEnvReadTest, ReadWholeFile) {
  TempFolder t;
  std::string data;
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);
  const std::string path = t.WriteFile("bytes.bin", bytes);
  ASSERT_TRUE(Env::Default()->ReadWholeFile(path, SIZE_MAX, &data));
  EXPECT_EQ(data, bytes);
  data = "unchanged";
  EXPECT_FALSE(Env::Default()->ReadWholeFile(t.Path("missing"), SIZE_MAX, &data));
  EXPECT_FALSE(Env::Default()->ReadWholeFile(t.path(), SIZE_MAX, &data));
  ASSERT_EQ(mkfifo(t.Path("fifo").c_str(), 0644), 0);
  EXPECT_FALSE(Env::Default()->ReadWholeFile(t.Path("fifo"), SIZE_MAX, &data));  // must not hang
  EXPECT_EQ(data, "unchanged");
}

TEST(PosixEnvFolderTest, CurrentFolderAndIdentity) {
  TempFolder t;
  Env* env = Env::Default();
  const std::string a = t.MakeFolder("a");
  const std::string b = t.MakeFolder("b");
  ASSERT_EQ(symlink("a", t.Path("link").c_str()), 0);
  const std::string file = t.WriteFile("f.txt", "x");

  FolderIdentity ia, ib, il;
  ASSERT_TRUE(env->GetFolderIdentity(a, &ia));
  ASSERT_TRUE(env->GetFolderIdentity(b, &ib));
  ASSERT_TRUE(env->GetFolderIdentity(t.Path("link"), &il));
  EXPECT_EQ(ia, il);
  EXPECT_NE(ia, ib);
  EXPECT_FALSE(env->GetFolderIdentity(file, &ia));
  EXPECT_FALSE(env->GetFolderIdentity(t.Path("missing"), &ia));

  EXPECT_TRUE(env->IsFolder(t.Path("link")));
  EXPECT_FALSE(env->IsFolder(file));
  EXPECT_TRUE(env->CanEnterFolder(t.Path("link")));
  EXPECT_FALSE(env->CanEnterFolder(file));
  EXPECT_FALSE(env->CanEnterFolder(t.Path("missing")));
  if (geteuid() != 0) {  // root may search any folder
    const std::string closed = t.MakeFolder("closed");
    ASSERT_EQ(chmod(closed.c_str(), 0600), 0);
    EXPECT_FALSE(env->CanEnterFolder(closed));
    ASSERT_EQ(chmod(closed.c_str(), 0700), 0);
  }

  // Real paths: links followed, "." and ".." resolved, files too.
  char real_a[PATH_MAX], real_b[PATH_MAX], real_f[PATH_MAX];
  ASSERT_NE(realpath(a.c_str(), real_a), nullptr);
  ASSERT_NE(realpath(b.c_str(), real_b), nullptr);
  ASSERT_NE(realpath(file.c_str(), real_f), nullptr);
  const std::pair<std::string, std::string> reals[] = {
      {t.Path("link"), real_a}, {t.Path("link/../b/."), real_b}, {file, real_f}};
  for (const auto& r : reals) {
    std::string out;
    EXPECT_TRUE(env->RealPath(r.first, &out)) << r.first;
    EXPECT_EQ(out, r.second) << r.first;
  }
  std::string out;
  EXPECT_FALSE(env->RealPath(t.Path("missing"), &out));

  std::string start;
  ASSERT_TRUE(env->GetCurrentFolder(&start));
  ASSERT_TRUE(env->SetCurrentFolder(a));
  std::string now;
  ASSERT_TRUE(env->GetCurrentFolder(&now));
  char real[PATH_MAX];
  ASSERT_NE(realpath(a.c_str(), real), nullptr);
  EXPECT_EQ(now, real);
  EXPECT_FALSE(env->SetCurrentFolder(file));
  ASSERT_TRUE(env->GetCurrentFolder(&now));
  EXPECT_EQ(now, real);  // a failed change leaves the folder as it was
  ASSERT_TRUE(env->SetCurrentFolder("/"));
  ASSERT_TRUE(env->GetCurrentFolder(&now));
  EXPECT_EQ(now, "/");
  ASSERT_TRUE(env->SetCurrentFolder(start));
}

TEST(PosixEnvFolderTest, DeepPathsBeyondPathMax) {
  TempFolder t;
  Env* env = Env::Default();
  std::string start;
  ASSERT_TRUE(env->GetCurrentFolder(&start));
  char real[PATH_MAX];
  ASSERT_NE(realpath(t.path().c_str(), real), nullptr);
  // 300 levels of 30-byte names: about 9,300 bytes, well past PATH_MAX.
  const std::string level(30, 'd');
  std::string deep = real;
  ASSERT_EQ(chdir(real), 0);
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(mkdir(level.c_str(), 0755), 0);
    ASSERT_EQ(chdir(level.c_str()), 0);
    deep += "/" + level;
  }
  ASSERT_GT(deep.size(), static_cast<size_t>(PATH_MAX));
  ASSERT_EQ(chdir("/"), 0);

  ASSERT_TRUE(env->SetCurrentFolder(deep));
  std::string now;
  ASSERT_TRUE(env->GetCurrentFolder(&now));
  EXPECT_EQ(now, deep);
  ASSERT_TRUE(env->SetCurrentFolder(start));

  const std::string page = deep + "/index.html";
  ASSERT_TRUE(env->WriteFileSafely(page, "deep"));
  ASSERT_TRUE(env->WriteFileSafely(page, "deeper"));
  std::string data;
  ASSERT_TRUE(env->ReadWholeFile(page, SIZE_MAX, &data));
  EXPECT_EQ(data, "deeper");
  EXPECT_EQ(List(deep, "*").at("index.html").size, 6u);
  FolderIdentity id;
  EXPECT_TRUE(env->GetFolderIdentity(deep, &id));
  EXPECT_FALSE(env->SetCurrentFolder(deep + "/missing"));
  // Folders that may be entered are told without entering them.
  ASSERT_TRUE(env->SetCurrentFolder(start));
  EXPECT_TRUE(env->CanEnterFolder(deep));
  EXPECT_TRUE(env->CanEnterFolder(deep.substr(0, deep.size() - level.size() - 1)));
  EXPECT_FALSE(env->CanEnterFolder(deep + "/missing"));
  EXPECT_FALSE(env->CanEnterFolder(page));
  EXPECT_TRUE(env->CanEnterFolder(real));
  std::string still;
  ASSERT_TRUE(env->GetCurrentFolder(&still));
  EXPECT_EQ(still, start);
  std::string resolved;
  ASSERT_TRUE(env->RealPath(deep + "/../" + level + "/.", &resolved));
  EXPECT_EQ(resolved, deep);
}

// Long paths are reached through folder handles kept while a walk is below
// them; they answer for the tree as it is, once the walk came up.
TEST(PosixEnvFolderTest, DeepPathsFollowTheTreeBetweenWalks) {
  TempFolder t;
  Env* env = Env::Default();
  std::string start;
  ASSERT_TRUE(env->GetCurrentFolder(&start));
  char real[PATH_MAX];
  ASSERT_NE(realpath(t.path().c_str(), real), nullptr);
  const std::string level(100, 'd');
  // Two chains, "a" and "b", each 60 levels (6,000 bytes) below the top.
  auto chain = [&](const std::string& top, const std::string& file) {
    std::string deep = std::string(real) + "/" + top;
    ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
    ASSERT_EQ(chdir(deep.c_str()), 0);
    for (int i = 0; i < 60; ++i) {
      ASSERT_EQ(mkdir(level.c_str(), 0755), 0);
      ASSERT_EQ(chdir(level.c_str()), 0);
    }
    ASSERT_EQ(close(open(file.c_str(), O_CREAT | O_WRONLY, 0644)), 0);
    ASSERT_EQ(chdir("/"), 0);
  };
  chain("a", "first.txt");
  std::string deep = std::string(real) + "/a";
  for (int i = 0; i < 60; ++i) deep += "/" + level;
  ASSERT_TRUE(env->SetCurrentFolder(deep));
  std::string now;
  ASSERT_TRUE(env->GetCurrentFolder(&now));
  EXPECT_EQ(now, deep);
  EXPECT_EQ(Names(List(deep, "*")), Strings{"first.txt"});
  // Made current by someone else: the system's answer counts.
  ASSERT_EQ(chdir(real), 0);
  ASSERT_TRUE(env->GetCurrentFolder(&now));
  EXPECT_EQ(now, real);
  // Back up, the tree is changed under the same names, and walked again.
  ASSERT_TRUE(env->SetCurrentFolder(start));
  ASSERT_EQ(rename((std::string(real) + "/a").c_str(), (std::string(real) + "/old").c_str()), 0);
  chain("b", "second.txt");
  ASSERT_EQ(rename((std::string(real) + "/b").c_str(), (std::string(real) + "/a").c_str()), 0);
  ASSERT_TRUE(env->SetCurrentFolder(deep));
  EXPECT_EQ(Names(List(deep, "*")), Strings{"second.txt"});
  EXPECT_EQ(Names(List(deep + "/../" + level, "*")), Strings{"second.txt"});
  ASSERT_TRUE(env->SetCurrentFolder(start));
}

// Runs only inside a copy of this program started by the test below: the
// copy names itself, optionally removes its own file, and names itself again.
TEST(PosixEnvProgramTest, CopyNamesItself) {
  const char* remove = getenv("VELLORA_REMOVE_SELF");
  if (remove == nullptr) GTEST_SKIP() << "runs in a copy of this program only";
  const std::string path = Env::Default()->ExecutablePath();
  EXPECT_EQ(path, getenv("VELLORA_EXPECT_SELF"));
  if (std::string(remove) == "1") {
    ASSERT_EQ(unlink(path.c_str()), 0);
  }
  EXPECT_EQ(Env::Default()->ExecutablePath(), path);
}

TEST(PosixEnvProgramTest, RemovedProgramKeepsItsPath) {
  TempFolder t;
  const std::string program = ReadFileForTest(Env::Default()->ExecutablePath());
  ASSERT_GT(program.size(), 1000u);
  // Removed while it runs; and one whose name really ends in the system's mark.
  for (const char* name : {"copy", "copy (deleted)"}) {
    const std::string copy = t.WriteFile(name, program);
    ASSERT_EQ(chmod(copy.c_str(), 0755), 0);
    const bool removes = std::string(name) == "copy";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      setenv("VELLORA_REMOVE_SELF", removes ? "1" : "0", 1);
      setenv("VELLORA_EXPECT_SELF", copy.c_str(), 1);
      execl(copy.c_str(), copy.c_str(), "--gtest_filter=PosixEnvProgramTest.CopyNamesItself",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << name;
  }
}

TEST(PosixEnvDesktopTest, OpenerGetsTheTargetVerbatim) {
  TempFolder t;
  const std::string bin = t.MakeFolder("bin");
  const std::string out = t.Path("args.txt");
  // A stand-in opener that records its arguments, one per NUL-terminated field.
  t.WriteFile("bin/xdg-open",
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"" + out +
                  ".tmp\"\n/bin/mv \"" + out + ".tmp\" \"" + out + "\"\n");
  ASSERT_EQ(chmod((bin + "/xdg-open").c_str(), 0755), 0);
  const char* old_path = getenv("PATH");
  const std::string saved = old_path != nullptr ? old_path : "";
  setenv("PATH", bin.c_str(), 1);

  auto run = [&](const std::string& target) {
    unlink(out.c_str());
    EXPECT_TRUE(Env::Default()->OpenWithDefaultProgram(target));
    for (int i = 0; i < 500 && access(out.c_str(), F_OK) != 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return ReadFileForTest(out);
  };
  const std::string odd = "/tmp/a b;$(touch x)'\"\nc.html";
  EXPECT_EQ(run(odd), odd + std::string(1, '\0'));
  EXPECT_EQ(run("-x.html"), std::string("./-x.html") + '\0');

  setenv("PATH", t.Path("nowhere").c_str(), 1);
  EXPECT_FALSE(Env::Default()->OpenWithDefaultProgram("page.html"));
  EXPECT_FALSE(Env::Default()->OpenWithDefaultProgram(""));
  setenv("PATH", saved.c_str(), 1);
}

}  // namespace
}  // namespace vellora
