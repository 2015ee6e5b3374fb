// Tests of the Win32 backend against the system itself: files are made and
// inspected with the Win32 calls directly, not through Env.
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/env.h"
#include "platform/safe_write.h"

namespace vellora {
namespace {

// A fresh folder under the system's temporary folder, removed with its content.
class ScratchFolder {
 public:
  ScratchFolder() {
    static int counter = 0;
    char temp[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof temp, temp);
    std::string base = n > 0 && n < sizeof temp ? std::string(temp, n) : std::string("C:\\");
    char name[64];
    std::snprintf(name, sizeof name, "vellora-env-%lu-%d", GetCurrentProcessId(), ++counter);
    path_ = base + name;
    EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr)) << path_;
  }
  ~ScratchFolder() { Remove(path_); }

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  static void Remove(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        std::string full = folder + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          Remove(full);
        } else {
          SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileA(full.c_str());
        }
      } while (FindNextFileA(h, &data));
      FindClose(h);
    }
    RemoveDirectoryA(folder.c_str());
  }

  std::string path_;
};

void MakeFile(const std::string& path, const std::string& content) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(h);
  ASSERT_EQ(written, content.size());
}

std::string Contents(const std::string& path) {
  std::string out;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
  CloseHandle(h);
  return out;
}

std::vector<FolderItem> List(const std::string& folder, const std::string& pattern,
                             bool* ok = nullptr) {
  std::vector<FolderItem> items;
  bool result = Env::Default()->ListFolder(
      folder, pattern, [&](const FolderItem& item) { items.push_back(item); });
  if (ok != nullptr) *ok = result;
  std::sort(items.begin(), items.end(),
            [](const FolderItem& a, const FolderItem& b) { return a.name < b.name; });
  return items;
}

std::vector<std::string> Names(const std::vector<FolderItem>& items) {
  std::vector<std::string> names;
  for (const FolderItem& item : items) names.push_back(item.name);
  return names;
}

using Names_ = std::vector<std::string>;

TEST(Win32EnvListFolder, ReportsFilesAndFoldersWithoutDotEntries) {
  ScratchFolder dir;
  MakeFile(dir / "b.txt", "12345");
  MakeFile(dir / ".profile", "");
  ASSERT_TRUE(CreateDirectoryA((dir / "sub").c_str(), nullptr));

  bool ok = false;
  std::vector<FolderItem> items = List(dir.path(), "*.*", &ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(Names(items), (Names_{".profile", "b.txt", "sub"}));
  EXPECT_FALSE(items[1].is_folder);
  EXPECT_EQ(items[1].size, 5u);
  EXPECT_TRUE(items[2].is_folder);
  EXPECT_EQ(items[2].size, 0u);

  // A trailing separator on the folder makes no difference.
  EXPECT_EQ(Names(List(dir.path() + "\\", "*.*")), Names(items));
}

TEST(Win32EnvListFolder, FolderLinksAreToldApart) {
  ScratchFolder dir;
  ASSERT_TRUE(CreateDirectoryA((dir / "real").c_str(), nullptr));
  using CreateLinkFn = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
  const CreateLinkFn create_link = reinterpret_cast<CreateLinkFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
  const DWORD kFolderLink = 1;  // SYMBOLIC_LINK_FLAG_DIRECTORY
  if (create_link == nullptr ||
      !create_link((dir / "link").c_str(), (dir / "real").c_str(), kFolderLink)) {
    GTEST_SKIP() << "this system makes no folder links";
  }
  const DWORD attributes = GetFileAttributesA((dir / "link").c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    RemoveDirectoryA((dir / "link").c_str());
    GTEST_SKIP() << "this system shows no folder links";
  }
  bool ok = false;
  std::vector<FolderItem> items = List(dir.path(), "*.*", &ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(Names(items), (Names_{"link", "real"}));
  EXPECT_TRUE(items[0].is_folder);
  EXPECT_TRUE(items[0].is_link);
  EXPECT_FALSE(items[1].is_link);
  RemoveDirectoryA((dir / "link").c_str());
}

TEST(Win32EnvListFolder, PatternsIgnoreCaseAndSeeShortNames) {
  ScratchFolder dir;
  MakeFile(dir / "a.htm", "");
  MakeFile(dir / "B.HTM", "");
  MakeFile(dir / "a.html", "");
  MakeFile(dir / "c.txt", "");

  EXPECT_EQ(Names(List(dir.path(), "*.htm*")), (Names_{"B.HTM", "a.htm", "a.html"}));
  EXPECT_EQ(Names(List(dir.path(), "?.TXT")), (Names_{"c.txt"}));
  // The search also matches the generated 8.3 name of a.html (A~....HTM), as
  // Windows does; the folder scan filters such names out by extension.
  EXPECT_EQ(Names(List(dir.path(), "*.htm")), (Names_{"B.HTM", "a.htm", "a.html"}));
}

TEST(Win32EnvListFolder, NoMatchIsAnEmptyListingButAMissingFolderFails) {
  ScratchFolder dir;
  MakeFile(dir / "a.txt", "");
  bool ok = false;
  EXPECT_TRUE(List(dir.path(), "*.doc", &ok).empty());
  EXPECT_TRUE(ok);
  EXPECT_TRUE(List(dir / "missing", "*.*", &ok).empty());
  EXPECT_FALSE(ok);
  // A file is not a folder to list.
  EXPECT_TRUE(List(dir / "a.txt", "*.*", &ok).empty());
  EXPECT_FALSE(ok);
}

TEST(Win32EnvListFolder, ReportsWriteTimeAndSizesBeyondFourGigabytes) {
  ScratchFolder dir;
  std::string big = dir / "big.bin";
  HANDLE h = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = (static_cast<LONGLONG>(1) << 32) + 7;
  ASSERT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(h));
  SYSTEMTIME st = {};
  st.wYear = 2001;
  st.wMonth = 2;
  st.wDay = 3;
  st.wHour = 4;
  st.wMinute = 5;
  st.wSecond = 6;
  FILETIME ft;
  ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
  ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
  CloseHandle(h);

  std::vector<FolderItem> items = List(dir.path(), "big.bin");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].size, (uint64_t{1} << 32) + 7);
  EXPECT_EQ(items[0].write_time, (uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime);
}

TEST(Win32EnvFolders, IdentityCurrentFolderAndIsFolder) {
  Env* env = Env::Default();
  ScratchFolder dir;
  ASSERT_TRUE(CreateDirectoryA((dir / "sub").c_str(), nullptr));
  MakeFile(dir / "f.txt", "x");

  FolderIdentity a, b, c;
  ASSERT_TRUE(env->GetFolderIdentity(dir.path(), &a));
  ASSERT_TRUE(env->GetFolderIdentity(dir / "sub\\..", &b));
  ASSERT_TRUE(env->GetFolderIdentity(dir / "sub", &c));
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_FALSE(env->GetFolderIdentity(dir / "f.txt", &c));
  EXPECT_FALSE(env->GetFolderIdentity(dir / "missing", &c));

  EXPECT_TRUE(env->IsFolder(dir.path()));
  EXPECT_FALSE(env->IsFolder(dir / "f.txt"));
  EXPECT_FALSE(env->IsFolder(dir / "missing"));
  EXPECT_FALSE(env->IsFolder(""));

  // Real paths resolve "." and ".." to one spelling of the same place.
  std::string real_dir, real_sub, real_up;
  ASSERT_TRUE(env->RealPath(dir.path(), &real_dir));
  ASSERT_TRUE(env->RealPath(dir / "sub\\.\\", &real_sub));
  ASSERT_TRUE(env->RealPath(dir / "sub\\..", &real_up));
  EXPECT_EQ(real_up, real_dir);
  EXPECT_EQ(real_sub.substr(0, real_dir.size() + 1), real_dir + "\\");
  EXPECT_EQ(real_sub.find("\\\\?\\"), std::string::npos);
  EXPECT_FALSE(env->RealPath(dir / "missing", &real_up));

  std::string saved;
  ASSERT_TRUE(env->GetCurrentFolder(&saved));
  ASSERT_TRUE(env->SetCurrentFolder(dir / "sub"));
  std::string now;
  ASSERT_TRUE(env->GetCurrentFolder(&now));
  FolderIdentity current;
  ASSERT_TRUE(env->GetFolderIdentity(now, &current));
  EXPECT_EQ(current, c);
  EXPECT_NE(now.back(), '\\');
  EXPECT_FALSE(env->SetCurrentFolder(dir / "missing"));
  EXPECT_FALSE(env->SetCurrentFolder(""));
  ASSERT_TRUE(env->GetCurrentFolder(&now));
  EXPECT_TRUE(env->GetFolderIdentity(now, &b) && b == c);  // unchanged by the failures

  ASSERT_TRUE(env->SetCurrentFolder("C:\\"));
  ASSERT_TRUE(env->GetCurrentFolder(&now));
  EXPECT_EQ(now, "C:\\");  // a root keeps its separator
  ASSERT_TRUE(env->SetCurrentFolder(saved));
}

TEST(Win32EnvFolders, ExecutablePathNamesThisProgram) {
  std::string exe = Env::Default()->ExecutablePath();
  ASSERT_GT(exe.size(), 4u);
  EXPECT_EQ(exe.substr(exe.size() - 4), ".exe");
  DWORD attributes = GetFileAttributesA(exe.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(Win32EnvTime, LocalTimeMatchesTheSystemClock) {
  Env* env = Env::Default();
  SYSTEMTIME before, after;
  GetLocalTime(&before);
  LocalTime t;
  ASSERT_TRUE(env->FileTimeToLocal(env->Now(), &t));
  GetLocalTime(&after);
  auto minutes = [](int day, int hour, int minute) { return (day * 24 + hour) * 60 + minute; };
  int m = minutes(t.day, t.hour, t.minute);
  EXPECT_TRUE(m == minutes(before.wDay, before.wHour, before.wMinute) ||
              m == minutes(after.wDay, after.wHour, after.wMinute));
  EXPECT_EQ(t.day_of_week, after.wDayOfWeek);

  // 2001-02-03 12:00 UTC is a Saturday everywhere the offset is under 12 h.
  SYSTEMTIME st = {};
  st.wYear = 2001;
  st.wMonth = 2;
  st.wDay = 3;
  st.wHour = 12;
  FILETIME ft;
  ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
  ASSERT_TRUE(env->FileTimeToLocal((uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime, &t));
  EXPECT_EQ(t.year, 2001);
  EXPECT_EQ(t.month, 2);
  EXPECT_EQ(t.day, 3);
  EXPECT_EQ(t.day_of_week, 6);

  EXPECT_FALSE(env->FileTimeToLocal(~uint64_t{0}, &t));
}

TEST(Win32EnvTime, FormatsWithTheRuntimeAndRejectsWhatWouldAbortIt) {
  Env* env = Env::Default();
  LocalTime t;
  t.year = 2001;
  t.month = 2;
  t.day = 3;
  t.hour = 16;
  t.minute = 5;
  t.second = 6;
  t.day_of_week = 6;
  EXPECT_EQ(env->FormatLocalTime("%d %B, %Y  %H:%M ", t), "03 February, 2001  16:05 ");
  EXPECT_EQ(env->FormatLocalTime("%B %d, %Y  %I:%M ", t), "February 03, 2001  04:05 ");
  EXPECT_EQ(env->FormatLocalTime("%A %j", t), "Saturday 034");
  std::string many;
  for (int i = 0; i < 300; ++i) many += "%B";
  EXPECT_EQ(env->FormatLocalTime(many.c_str(), t).size(), 300u * 8);

  // The runtime would end the process on these.
  EXPECT_EQ(env->FormatLocalTime("%Q", t), "");
  EXPECT_EQ(env->FormatLocalTime("%", t), "");
  t.month = 13;
  EXPECT_EQ(env->FormatLocalTime("%B", t), "");
}

TEST(Win32EnvLocale, CharsetNameFollowsTheActiveCodePage) {
  UINT acp = GetACP();
  std::string expected;
  switch (acp) {
    case 936: expected = "gbk"; break;
    case 932: expected = "shift_jis"; break;
    case 950: expected = "big5"; break;
    case 949: expected = "euc-kr"; break;
    case 65001: expected = "utf-8"; break;
    default: expected = "windows-" + std::to_string(acp);
  }
  EXPECT_EQ(Env::Default()->CharsetName(), expected);
  std::printf("active code page %u, charset %s\n", acp, expected.c_str());

  // The test script states which code page each run is meant to have.
  if (const char* want = std::getenv("VELLORA_EXPECT_ACP")) {
    EXPECT_EQ(std::to_string(acp), want) << "Wine did not take the code page from LANG";
  }
}

TEST(Win32EnvLocale, LeadBytesAndComparison) {
  Env* env = Env::Default();
  EXPECT_FALSE(env->IsLeadByte('A'));
  EXPECT_FALSE(env->IsLeadByte('\\'));
  EXPECT_LT(env->CompareText("apple", "Banana"), 0);
  EXPECT_GT(env->CompareText("cherry", "Banana"), 0);
  EXPECT_EQ(env->CompareText("same", "same"), 0);
  EXPECT_NE(env->CompareText("a", "A"), 0);
  if (GetACP() != 936) GTEST_SKIP() << "needs code page 936";
  EXPECT_TRUE(env->IsLeadByte(0x81));
  EXPECT_TRUE(env->IsLeadByte(0xB1));
  EXPECT_TRUE(env->IsLeadByte(0xFE));
  EXPECT_FALSE(env->IsLeadByte(0x80));
  EXPECT_FALSE(env->IsLeadByte(0xFF));
}

// Names shown among the program's texts (code page 936): a name of code
// page 1252 is recoded, one of code page 936 kept.
TEST(Win32EnvLocale, NamesRecodedAsTexts) {
  Env* env = Env::Default();
  EXPECT_EQ(env->NameAsText("C:\\plain.txt"), "C:\\plain.txt");
  EXPECT_EQ(env->NameAsText(""), "");
  if (GetACP() == 1252) {
    EXPECT_EQ(env->NameAsText("\xd7 caf\xe9"), "\xa1\xc1 caf\xa8\xa6");
  } else if (GetACP() == 936) {
    EXPECT_EQ(env->NameAsText("文件"), "文件");
  }
}

TEST(Win32EnvFiles, ReadAndWriteKeepEveryByte) {
  Env* env = Env::Default();
  ScratchFolder dir;
  std::string data("line\r\nnul\0byte\xff\x81\x5c", 18);
  ASSERT_TRUE(env->WriteFileSafely(dir / "out.html", data));
  EXPECT_EQ(Contents(dir / "out.html"), data);
  std::string read = "old";
  ASSERT_TRUE(env->ReadWholeFile(dir / "out.html", SIZE_MAX, &read));
  EXPECT_EQ(read, data);

  // Replacing an existing file, also with nothing; no temporary file is left.
  ASSERT_TRUE(env->WriteFileSafely(dir / "out.html", "new"));
  EXPECT_EQ(Contents(dir / "out.html"), "new");
  ASSERT_TRUE(env->WriteFileSafely(dir / "out.html", ""));
  EXPECT_EQ(Contents(dir / "out.html"), "");
  EXPECT_EQ(Names(List(dir.path(), "*.*")), (Names_{"out.html"}));

  std::string big(3 * 1024 * 1024 + 17, 'x');
  ASSERT_TRUE(env->WriteFileSafely(dir / "big.txt", big));
  ASSERT_TRUE(env->ReadWholeFile(dir / "big.txt", SIZE_MAX, &read));
  EXPECT_EQ(read, big);

  // Pieces follow one another, empty ones included.
  ASSERT_TRUE(env->WritePiecesSafely(dir / "big.txt", {"", "<", big, "", ">"}));
  ASSERT_TRUE(env->ReadWholeFile(dir / "big.txt", SIZE_MAX, &read));
  EXPECT_EQ(read, "<" + big + ">");

  EXPECT_FALSE(env->ReadWholeFile(dir / "missing.txt", SIZE_MAX, &read));
  EXPECT_FALSE(env->ReadWholeFile(dir.path(), SIZE_MAX, &read));
  EXPECT_FALSE(env->ReadWholeFile("", SIZE_MAX, &read));
  EXPECT_FALSE(env->ReadWholeFile("NUL", SIZE_MAX, &read));  // devices are no files
  EXPECT_FALSE(env->ReadWholeFile(dir / "nul", SIZE_MAX, &read));
}

// The system's identity of a file: a file replaced by another one has a new one.
uint64_t FileIndex(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info = {};
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  return ok ? (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow : 0;
}

// A page streamed to its file replaces the old one only when committed; a
// dropped stream leaves the old page and no temporary file.
TEST(Win32EnvFiles, AStreamReplacesThePageOnlyWhenCommitted) {
  Env* env = Env::Default();
  const std::string big(300000, 'n');
  for (const bool commit : {false, true}) {
    ScratchFolder dir;
    const std::string path = dir / "index.html";
    ASSERT_TRUE(env->WriteFileSafely(path, "old page"));
    {
      std::unique_ptr<CSafeFileWrite> write = env->StartSafeWrite(path);
      EXPECT_TRUE(write->Append("new "));
      EXPECT_TRUE(write->Append(big));
      EXPECT_EQ(Contents(path), "old page");
      if (commit) {
        EXPECT_TRUE(write->Commit());
      }
    }
    EXPECT_EQ(Contents(path), commit ? "new " + big : std::string("old page"));
    EXPECT_EQ(Names(List(dir.path(), "*.*")), (Names_{"index.html"}));
  }
}

TEST(Win32EnvFiles, UnchangedContentIsNotRewritten) {
  Env* env = Env::Default();
  ScratchFolder dir;
  const std::string path = dir / "index.html";
  const std::string big(100000, 'p');
  ASSERT_TRUE(env->WritePiecesSafely(path, {"same ", big, " page"}));
  const uint64_t before = FileIndex(path);
  ASSERT_NE(before, 0u);
  // The same bytes cut elsewhere: the file stays as it is.
  const std::string whole = "same " + big + " page";
  ASSERT_TRUE(env->WriteFileSafely(path, whole));
  EXPECT_EQ(FileIndex(path), before);
  // One byte changed in the last piece, or a prefix, is written.
  ASSERT_TRUE(env->WritePiecesSafely(path, {"same ", big, " pagE"}));
  EXPECT_EQ(Contents(path), "same " + big + " pagE");
  ASSERT_TRUE(env->WriteFileSafely(path, "same"));
  EXPECT_EQ(Contents(path), "same");
  // A read-only file that already holds the text is up to date; any other
  // text is refused.
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(env->WriteFileSafely(path, "same"));
  EXPECT_FALSE(env->WriteFileSafely(path, "other"));
  EXPECT_EQ(Contents(path), "same");
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(Names(List(dir.path(), "*.*")), (Names_{"index.html"}));
}

TEST(Win32EnvFiles, FailedWritesLeaveEverythingAsItWas) {
  Env* env = Env::Default();
  ScratchFolder dir;

  // Into a folder that does not exist: nothing is created.
  EXPECT_FALSE(env->WriteFileSafely(dir / "missing\\index.html", "x"));
  EXPECT_FALSE(env->IsFolder(dir / "missing"));

  // Over a folder, and over a read-only file: both stay, no temporary file.
  ASSERT_TRUE(CreateDirectoryA((dir / "sub").c_str(), nullptr));
  MakeFile(dir / "sub\\keep.txt", "kept");
  EXPECT_FALSE(env->WriteFileSafely(dir / "sub", "x"));
  EXPECT_EQ(Contents(dir / "sub\\keep.txt"), "kept");
  MakeFile(dir / "ro.html", "old");
  ASSERT_TRUE(SetFileAttributesA((dir / "ro.html").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(env->WriteFileSafely(dir / "ro.html", "new"));
  EXPECT_EQ(Contents(dir / "ro.html"), "old");
  EXPECT_EQ(Names(List(dir.path(), "*.*")), (Names_{"ro.html", "sub"}));

  // Names the system cannot take.
  EXPECT_FALSE(env->WriteFileSafely("", "x"));
  EXPECT_FALSE(env->WriteFileSafely(dir.path() + "\\", "x"));
  EXPECT_FALSE(env->WriteFileSafely(std::string("a\0b", 3), "x"));
}

// A symbolic link at `link` to `target`, when the system makes one that it
// reports as a reparse point.
bool MakeSymbolicLink(const std::string& link, const std::string& target) {
  using CreateLinkFn = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
  const CreateLinkFn create = reinterpret_cast<CreateLinkFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
  if (create == nullptr) return false;
  const DWORD kUnprivileged = 2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  if (!create(link.c_str(), target.c_str(), kUnprivileged) &&
      !create(link.c_str(), target.c_str(), 0)) {
    return false;
  }
  const DWORD attributes = GetFileAttributesA(link.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

TEST(Win32EnvFiles, LinksAreNeverWrittenThrough) {
  Env* env = Env::Default();
  ScratchFolder dir;
  ScratchFolder outside;
  MakeFile(outside / "victim.html", "precious");
  EXPECT_FALSE(env->IsLink(outside / "victim.html"));
  EXPECT_FALSE(env->IsLink(outside / "missing.html"));
  if (!MakeSymbolicLink(dir / "index.html", outside / "victim.html")) {
    // Wine's CreateSymbolicLinkA reports success and makes nothing.
    GTEST_SKIP() << "the system made no symbolic link";
  }
  ASSERT_TRUE(MakeSymbolicLink(dir / "dangling.html", outside / "created.html"));
  for (const char* name : {"index.html", "dangling.html"}) {
    EXPECT_TRUE(env->IsLink(dir / name)) << name;
    EXPECT_FALSE(env->WriteFileSafely(dir / name, "page")) << name;
  }
  EXPECT_EQ(Contents(outside / "victim.html"), "precious");
  EXPECT_EQ(Names(List(outside.path(), "*.*")), (Names_{"victim.html"}));
  EXPECT_EQ(Names(List(dir.path(), "*.*")), (Names_{"dangling.html", "index.html"}));
}

TEST(Win32EnvFiles, ReadingStopsAtTheCap) {
  Env* env = Env::Default();
  ScratchFolder dir;
  MakeFile(dir / "ten.txt", "0123456789");
  // Sparse or not, the file reports 3 GB; only the cap is read.
  HANDLE h = CreateFileA((dir / "big.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD returned = 0;
  DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER size;
  size.QuadPart = int64_t{3} << 30;
  const bool sized = SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  CloseHandle(h);
  ASSERT_TRUE(sized);
  struct Case {
    const char* name;
    size_t cap;
    ReadResult result;
    size_t size;
  };
  const Case cases[] = {
      {"ten.txt", 10, ReadResult::kRead, 10},
      {"ten.txt", 9, ReadResult::kTooLong, 9},
      {"ten.txt", 0, ReadResult::kTooLong, 0},
      {"big.txt", 1 << 20, ReadResult::kTooLong, 1 << 20},
      {"missing.txt", 100, ReadResult::kFailed, 9},  // 9: unchanged
  };
  for (const Case& c : cases) {
    std::string data = "unchanged";
    EXPECT_EQ(env->ReadFile(dir / c.name, c.cap, &data), c.result) << c.name << " " << c.cap;
    EXPECT_EQ(data.size(), c.size) << c.name << " " << c.cap;
  }
}

TEST(Win32EnvFiles, WritesRelativeToTheCurrentFolder) {
  Env* env = Env::Default();
  ScratchFolder dir;
  std::string saved;
  ASSERT_TRUE(env->GetCurrentFolder(&saved));
  ASSERT_TRUE(env->SetCurrentFolder(dir.path()));
  EXPECT_TRUE(env->WriteFileSafely("index.html", "page"));
  ASSERT_TRUE(env->SetCurrentFolder(saved));
  EXPECT_EQ(Contents(dir / "index.html"), "page");
}

// Names in code page 936 whose second byte is 0x5C, the byte of '\\': the
// folder 中昞 and the page 昞.html in it.
TEST(Win32EnvFiles, DoubleByteNamesWithBackslashTrailBytes) {
  if (GetACP() != 936) GTEST_SKIP() << "needs code page 936";
  Env* env = Env::Default();
  ScratchFolder dir;
  const std::string folder = dir / "\xD6\xD0\x95\x5C";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string page = folder + "\\\x95\x5C.html";

  ASSERT_TRUE(env->WriteFileSafely(page, "page"));
  EXPECT_EQ(Contents(page), "page");
  ASSERT_TRUE(env->WriteFileSafely(page, "again"));
  EXPECT_EQ(Contents(page), "again");
  std::string read;
  ASSERT_TRUE(env->ReadWholeFile(page, SIZE_MAX, &read));
  EXPECT_EQ(read, "again");

  // The folder's last byte is no separator: its own items are listed.
  EXPECT_EQ(Names(List(folder, "*.*")), (Names_{"\x95\x5C.html"}));
  EXPECT_EQ(Names(List(dir.path(), "*.*")), (Names_{"\xD6\xD0\x95\x5C"}));
  EXPECT_TRUE(env->WriteFileSafely(dir / "\x95\x5C", "x"));  // a name ending in 0x5C
  EXPECT_EQ(Contents(dir / "\x95\x5C"), "x");
}

// The program's own texts are compiled to code page 936.
TEST(Win32Build, TextsAreInCodePage936) {
  EXPECT_EQ(std::string("被用户取消"), "\xB1\xBB\xD3\xC3\xBB\xA7\xC8\xA1\xCF\xFB");
}

}  // namespace
}  // namespace vellora
