#include "html/page_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "html/page_output.h"
#include "html/text_helpers.h"

namespace vellora {
namespace pagetest {

CDefaultWords DefaultWords() {
  CDefaultWords w;
  w.folder_word = "<b>文件夹</b>";
  w.filename_word = "<b>文件名称</b>";
  w.size_word = "<b>大小</b>";
  w.date_word = "<b>日期</b>";
  w.anchor_word = "<b>文件夹锚点</b>";
  w.parent_word = "{parent folder}";
  w.summary_files_word = "合计文件:";
  w.summary_folders_word = "合计文件夹:";
  w.summary_size_word = "所有文件的大小:";
  w.folder_sort_word = "文件夹:";
  return w;
}

std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text.append(line).append("\r\n");
  return text;
}

void SetLocalWriteTime(const std::string& path, int year, int month, int day, int hour,
                       int minute) {
#ifdef _WIN32
  SYSTEMTIME local = {};
  local.wYear = static_cast<WORD>(year);
  local.wMonth = static_cast<WORD>(month);
  local.wDay = static_cast<WORD>(day);
  local.wHour = static_cast<WORD>(hour);
  local.wMinute = static_cast<WORD>(minute);
  FILETIME local_time, utc;
  ASSERT_TRUE(SystemTimeToFileTime(&local, &local_time));
  ASSERT_TRUE(LocalFileTimeToFileTime(&local_time, &utc));
  HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &utc));
  CloseHandle(h);
#else
  std::tm tm = {};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_isdst = -1;
  const time_t t = std::mktime(&tm);
  struct timespec times[2];
  times[0].tv_sec = t;
  times[0].tv_nsec = 0;
  times[1] = times[0];
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
#endif
}

PageTest::PageTest() : words(DefaultWords()), env(new ClockEnv) {
#ifndef _WIN32
  // Local time is UTC, whatever the machine's zone.
  const char* tz = std::getenv("TZ");
  had_tz_ = tz != nullptr;
  if (had_tz_) saved_tz_ = tz;
  setenv("TZ", "UTC0", 1);
  tzset();
#endif
  root = temp.MakeFolder("Data");
  // The configuration file's defaults, no custom HTML file.
  CBuildSettings& s = settings;
  s.path = root;
  s.root_folder = root;
  s.default_words = &words;
  s.title = "文件列表";
  s.file_columns = 1;
  s.folder_columns = 1;
  s.sizes_by_k = 0;
  s.folder_anchors = 1;
  s.multi_recurse_link = 1;
  s.sort_folders_first = 0;
  s.supress_parent_link = 0;
  s.replace_iso_chars = 1;
  s.include_time = 1;
  builder.reset(new CPageWriter(&settings, env.get()));
}

PageTest::~PageTest() {
  builder.reset();
#ifndef _WIN32
  if (had_tz_) {
    setenv("TZ", saved_tz_.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
#endif
}

namespace {

// Creates the folders of `relative` below `base` one by one with the
// system's narrow calls, so that names in the ANSI code page stay intact.
std::string MakeFolders(const std::string& base, const std::string& relative) {
  std::string path = base;
  size_t from = 0;
  while (from < relative.size()) {
    size_t slash = relative.find('/', from);
    if (slash == std::string::npos) slash = relative.size();
    path += kSeparator + relative.substr(from, slash - from);
#ifdef _WIN32
    CreateDirectoryA(path.c_str(), nullptr);
#else
    mkdir(path.c_str(), 0755);
#endif
    from = slash + 1;
  }
  return path;
}

}  // namespace

std::string PageTest::File(const std::string& relative, uint64_t size) {
  const size_t slash = relative.rfind('/');
  std::string path = root;
  if (slash != std::string::npos) path = MakeFolders(root, relative.substr(0, slash));
  path += kSeparator + relative.substr(slash == std::string::npos ? 0 : slash + 1);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr) << path;
  if (f != nullptr) std::fclose(f);
  if (size == 0) return path;
#ifdef _WIN32
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(size);
  EXPECT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h));
  CloseHandle(h);
#else
  EXPECT_EQ(truncate(path.c_str(), static_cast<off_t>(size)), 0);
#endif
  return path;
}

std::string PageTest::Folder(const std::string& relative) { return MakeFolders(root, relative); }

int PageTest::Write() { return WriteFolder(root); }

int PageTest::WriteFolder(const std::string& folder) {
  const int result = builder->write_page(folder);
  page = ReadFileForTest(builder->main_file_path.empty() ? folder + "/missing"
                                                         : builder->main_file_path);
  return result;
}

void PageTest::GroupedBranch() {
  settings.skip_files = "index.html";
  settings.include_subfolders = 0;
  settings.recursive_build = 1;
  settings.multi_recurse_link = 0;
  settings.sort_folders_first = 1;
  settings.show_folder_names = 1;
  builder->recurse_scan = 1;
}

std::string PageTest::Slice(const std::string& first, const std::string& last) const {
  size_t from = page.find("\n" + first);
  if (from == std::string::npos) return "<none>";
  ++from;
  size_t to = page.find("\n" + last, from - 1);
  if (to == std::string::npos) return "<none>";
  to = page.find("\r\n", to + 1);
  if (to == std::string::npos) return page.substr(from);
  return page.substr(from, to + 2 - from);
}

void ExpectAppendersMatchHelpers(const std::vector<std::string>& names) {
  CBuildSettings settings;
  CPageWriter builder(&settings, Env::Default());
  PageOutput out(&builder);
  for (const std::string& name : names) {
    for (int flags = 0; flags < 8; ++flags) {
      const bool href20 = (flags & 1) != 0;
      const bool iso = (flags & 2) != 0;
      const bool xhtml = (flags & 4) != 0;
      const std::string expected = EscapeLinkTarget(name, href20, iso, xhtml) + "|" +
                                   EscapeNameText(name, iso, xhtml);
      out.AddLinkTarget(name, href20, iso, xhtml);
      out.Add('|');
      out.AddNameText(name, iso, xhtml);
      EXPECT_EQ(out.Join(""), expected) << name << " " << flags;
    }
  }
}

}  // namespace pagetest
}  // namespace vellora
