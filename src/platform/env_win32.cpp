// The Win32 backend of Env: the ANSI file, time, locale and shell calls of
// the system. Every string is in the active ANSI code page.
#include "platform/env.h"
#include "platform/folder_watch.h"
#include "platform/file_time.h"
#include "platform/local_time.h"
#include "platform/pieces.h"
#include "platform/safe_write.h"

#include <windows.h>
#include <malloc.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string_view>
#include <vector>

namespace vellora {
namespace {

// A string that cannot be handed to an ANSI call: empty or with a NUL inside.
bool Unusable(const std::string& s) {
  return s.empty() || s.find('\0') != std::string::npos;
}

// Position of the last '\\' or '/' that is a character of its own: in a
// double-byte code page the trail byte of a character may be 0x5C too.
size_t LastSeparator(const std::string& s) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '\\' || c == '/') {
      last = i;
    } else if (i + 1 < s.size() && IsDBCSLeadByte(c)) {
      ++i;
    }
  }
  return last;
}

bool EndsWithSeparator(const std::string& s) {
  return !s.empty() && LastSeparator(s) == s.size() - 1;
}

FileTime FromFiletime(const FILETIME& ft) {
  return (static_cast<FileTime>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME ToFiletime(FileTime t) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
  return ft;
}

// Closes a handle when it goes out of scope.
class HandleCloser {
 public:
  explicit HandleCloser(HANDLE h) : h_(h) {}
  ~HandleCloser() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  HandleCloser(const HandleCloser&) = delete;
  HandleCloser& operator=(const HandleCloser&) = delete;

 private:
  HANDLE h_;
};

class FindCloser {
 public:
  explicit FindCloser(HANDLE h) : h_(h) {}
  ~FindCloser() { FindClose(h_); }
  FindCloser(const FindCloser&) = delete;
  FindCloser& operator=(const FindCloser&) = delete;

 private:
  HANDLE h_;
};

bool IsDirectory(const std::string& path) {
  if (Unusable(path)) return false;
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// True when every conversion of `format` is one the C runtime's strftime
// knows; others make it call the invalid-parameter handler.
bool KnownTimeFormat(const char* format) {
  static const char kConversions[] = "aAbBcdHIjmMpSUwWxXyYzZ%";
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '#') ++p;
    if (*p == '\0' || std::strchr(kConversions, *p) == nullptr) return false;
  }
  return true;
}

bool ValidLocalTime(const LocalTime& t) {
  return t.year >= 1900 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= 31 && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
         t.second >= 0 && t.second <= 59 && t.day_of_week >= 0 && t.day_of_week <= 6;
}

// The target of a safe write, written through a temporary file in its
// folder that is moved over it.
class Win32ReplaceTarget : public CReplaceTarget {
 public:
  ~Win32ReplaceTarget() override {
    CloseOld();
    if (temp_ != INVALID_HANDLE_VALUE) CloseHandle(temp_);
  }

  bool Open(const std::string& path) override {
    if (Unusable(path) || EndsWithSeparator(path)) return !(failed_ = true);
    path_ = path;
    const size_t slash = LastSeparator(path);
    folder_ = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    // The attributes of the name itself: a symbolic link or junction planted
    // where a page goes is never written, neither through nor over.
    attributes_ = GetFileAttributesA(path.c_str());
    exists_ = attributes_ != INVALID_FILE_ATTRIBUTES;
    if (exists_ &&
        (attributes_ & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
      return !(failed_ = true);
    }
    if (!exists_) return false;
    // Shared for reading only: nobody changes the old file while it is
    // compared and copied.
    old_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (old_ == INVALID_HANDLE_VALUE) return false;
    if (GetFileType(old_) != FILE_TYPE_DISK) {
      CloseOld();
      return false;
    }
    return true;
  }

  bool failed() const override { return failed_; }

  int64_t ReadOld(char* buffer, size_t size) override {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(size, 1u << 20));
    if (!::ReadFile(old_, buffer, want, &got, nullptr)) return -1;
    return got;
  }
  bool RewindOld() override {
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    return SetFilePointerEx(old_, zero, nullptr, FILE_BEGIN) != 0;
  }
  bool OldUnchanged() override { return true; }
  void CloseOld() override {
    if (old_ != INVALID_HANDLE_VALUE) CloseHandle(old_);
    old_ = INVALID_HANDLE_VALUE;
  }

  bool CreateTemp() override {
    // Windows refuses to replace a read-only file; some emulations do not.
    if (exists_ && (attributes_ & FILE_ATTRIBUTE_READONLY) != 0) return false;
    // A hidden-by-name temporary file beside the target, created new so that
    // no other file is ever overwritten by it.
    // Pages may be saved on several threads at once.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100 && temp_ == INVALID_HANDLE_VALUE; ++attempt) {
      char name[48];
      std::snprintf(name, sizeof name, ".vl%lx-%x.tmp", GetCurrentProcessId(), counter.fetch_add(1) + 1);
      const std::string temp = folder_ + name;
      // The temporary names can be guessed: a link planted under one must
      // count as taken, not lead the new file elsewhere.
      temp_ = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
      if (temp_ != INVALID_HANDLE_VALUE) {
        temp_path_ = temp;
      } else if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;  // the folder is missing or cannot be written
      }
    }
    return temp_ != INVALID_HANDLE_VALUE;
  }

  bool WriteTemp(std::string_view text) override {
    size_t done = 0;
    while (done < text.size()) {
      const DWORD want = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
      DWORD written = 0;
      if (!WriteFile(temp_, text.data() + done, want, &written, nullptr) || written != want) {
        return false;
      }
      done += written;
    }
    return true;
  }

  bool PutTempInPlace() override {
    const HANDLE h = temp_;
    temp_ = INVALID_HANDLE_VALUE;
    bool ok = FlushFileBuffers(h) != 0;
    ok = CloseHandle(h) && ok;
    ok = ok && MoveFileExA(temp_path_.c_str(), path_.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (ok) temp_path_.clear();
    return ok;
  }

  void RemoveTemp() override {
    if (temp_ != INVALID_HANDLE_VALUE) CloseHandle(temp_);
    temp_ = INVALID_HANDLE_VALUE;
    if (!temp_path_.empty()) DeleteFileA(temp_path_.c_str());
    temp_path_.clear();
  }

 private:
  std::string path_;
  std::string folder_;
  bool failed_ = false;
  bool exists_ = false;
  DWORD attributes_ = INVALID_FILE_ATTRIBUTES;
  HANDLE old_ = INVALID_HANDLE_VALUE;
  HANDLE temp_ = INVALID_HANDLE_VALUE;
  std::string temp_path_;
};

class Win32Env : public Env {
 public:
  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    if (Unusable(pattern) || folder.find('\0') != std::string::npos) return false;
    std::string search = folder;
    if (!search.empty() && !EndsWithSeparator(search)) search += '\\';
    search += pattern;

    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(search.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
      // No match in a readable folder is an empty listing, not a failure.
      DWORD error = GetLastError();
      return (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) &&
             IsDirectory(folder.empty() ? std::string(".") : folder);
    }
    FindCloser closer(find);
    do {
      const char* name = data.cFileName;
      if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
      FolderItem item;
      item.name = name;
      item.is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      item.is_link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      if (!item.is_folder) {
        item.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
      }
      item.write_time = FromFiletime(data.ftLastWriteTime);
      visit(item);
    } while (FindNextFileA(find, &data));
    return true;
  }

  int ListingThreads() override { return ThreadsForListing(); }

  std::unique_ptr<CFolderWatch> NewFolderWatch() override { return NewSystemFolderWatch(); }

  bool GetFolderIdentity(const std::string& folder, FolderIdentity* id) override {
    if (Unusable(folder)) return false;
    HANDLE h = CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    HandleCloser closer(h);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return false;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
    id->device = info.dwVolumeSerialNumber;
    id->inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
  }

  bool GetCurrentFolder(std::string* folder) override {
    std::vector<char> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 8; ++attempt) {
      DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
      if (n == 0) return false;
      if (n < buffer.size()) {
        folder->assign(buffer.data(), n);
        return true;
      }
      // Too small: n is the size needed, with the terminating NUL.
      buffer.resize(static_cast<size_t>(n) + 1);
    }
    return false;
  }

  bool SetCurrentFolder(const std::string& folder) override {
    return !Unusable(folder) && SetCurrentDirectoryA(folder.c_str()) != 0;
  }

  bool CanEnterFolder(const std::string& folder) override {
    if (!IsDirectory(folder)) return false;
    // As SetCurrentDirectory asks: the full path with its trailing backslash
    // shorter than MAX_PATH characters, and the folder open for traversal.
    std::vector<char> buffer(32768);
    const DWORD n = GetFullPathNameA(folder.c_str(), static_cast<DWORD>(buffer.size()),
                                     buffer.data(), nullptr);
    if (n == 0 || n >= buffer.size()) return false;
    std::string full(buffer.data(), n);
    if (!EndsWithSeparator(full)) full += '\\';
    const int wide = MultiByteToWideChar(CP_ACP, 0, full.data(), static_cast<int>(full.size()),
                                         nullptr, 0);
    if (wide <= 0 || wide >= MAX_PATH) return false;
    HANDLE h = CreateFileA(folder.c_str(), FILE_TRAVERSE | SYNCHRONIZE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
  }

  std::string ExecutablePath() override {
    std::vector<char> buffer(MAX_PATH + 1);
    while (buffer.size() <= 65536) {
      DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (n == 0) return std::string();
      if (n < buffer.size()) return std::string(buffer.data(), n);
      buffer.resize(buffer.size() * 2);  // truncated
    }
    return std::string();
  }

  bool FileTimeToLocal(FileTime t, LocalTime* out) override {
    if (t > kLastConvertibleFileTime) return false;
    FILETIME utc = ToFiletime(t);
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) {
      return false;
    }
    out->year = st.wYear;
    out->month = st.wMonth;
    out->day = st.wDay;
    out->hour = st.wHour;
    out->minute = st.wMinute;
    out->second = st.wSecond;
    out->day_of_week = st.wDayOfWeek;
    return true;
  }

  FileTime Now() override {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return FromFiletime(ft);
  }

  std::string FormatLocalTime(const char* format, const LocalTime& t) override {
    // The runtime rejects out-of-range fields and unknown conversions by
    // ending the process; such input gives an empty text instead.
    if (format == nullptr || *format == '\0' || !ValidLocalTime(t) || !KnownTimeFormat(format)) {
      return std::string();
    }
    const std::tm tm = ToStructTm(t);
    size_t size = 64 + std::strlen(format) * 8;
    for (int attempt = 0; attempt < 6; ++attempt, size *= 4) {
      std::vector<char> buffer(size);
      size_t n = std::strftime(buffer.data(), buffer.size(), format, &tm);
      if (n > 0) return std::string(buffer.data(), n);
    }
    return std::string();  // an empty result, or one too long to be meant
  }

  int CompareText(const std::string& a, const std::string& b) override {
    return lstrcmpA(a.c_str(), b.c_str());
  }

  // The sort key of lstrcmpA's comparison (the thread's locale, no flags).
  bool CollationKey(const std::string& text, std::string* key) override {
    if (text.find('\0') != std::string::npos) return false;
    const LCID locale = GetThreadLocale();
    const int n = LCMapStringA(locale, LCMAP_SORTKEY, text.c_str(), -1, nullptr, 0);
    if (n <= 0) return false;
    key->assign(static_cast<size_t>(n), '\0');
    if (LCMapStringA(locale, LCMAP_SORTKEY, text.c_str(), -1, &(*key)[0], n) != n) return false;
    key->resize(static_cast<size_t>(n) - 1);  // without the closing zero byte
    return true;
  }

  bool IsLeadByte(unsigned char c) override { return IsDBCSLeadByte(c) != 0; }
  // The program's texts are compiled in code page 936.
  std::string NameAsText(const std::string& name) override {
    if (name.empty() || GetACP() == 936) return name;
    const int size = static_cast<int>(name.size());
    const int wide_length = MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wide_length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), size, &wide[0], wide_length);
    const int length =
        WideCharToMultiByte(936, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(936, 0, wide.data(), wide_length, &text[0], length, nullptr, nullptr);
    return text;
  }

  std::string NameAsUtf8(const std::string& name) override {
    if (name.empty() || GetACP() == CP_UTF8) return name;
    const int size = static_cast<int>(name.size());
    const int wide_length = MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0);
    if (wide_length <= 0) return name;
    std::wstring wide(static_cast<size_t>(wide_length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), size, &wide[0], wide_length);
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, &text[0], length, nullptr, nullptr);
    return text;
  }

  std::string CharsetName() override {
    UINT cp = GetACP();
    switch (cp) {
      case 936: return "gbk";
      case 932: return "shift_jis";
      case 950: return "big5";
      case 949: return "euc-kr";
      case 65001: return "utf-8";
      default: return "windows-" + std::to_string(cp);
    }
  }

  ReadResult ReadFile(const std::string& path, size_t max_bytes, std::string* data) override {
    if (Unusable(path)) return ReadResult::kFailed;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ReadResult::kFailed;
    HandleCloser closer(h);
    // Only disk files: a device name such as CON would wait for input.
    if (GetFileType(h) != FILE_TYPE_DISK) return ReadResult::kFailed;
    std::string content;
    LARGE_INTEGER size;
    if (GetFileSizeEx(h, &size) && size.QuadPart > 0) {
      content.reserve(static_cast<size_t>(
          std::min(static_cast<uint64_t>(size.QuadPart), static_cast<uint64_t>(max_bytes))));
    }
    // Read to the end or past the cap, whatever the size said: the file may
    // grow meanwhile. A chunk that goes past the cap tells a file of exactly
    // max_bytes from a longer one.
    std::vector<char> chunk(64 * 1024);
    for (;;) {
      const size_t room = max_bytes - content.size();
      DWORD got = 0;
      if (!::ReadFile(h, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
        return ReadResult::kFailed;
      }
      if (got == 0) break;
      if (got > room) {
        content.append(chunk.data(), room);
        data->swap(content);
        return ReadResult::kTooLong;
      }
      content.append(chunk.data(), got);
    }
    data->swap(content);
    return ReadResult::kRead;
  }

  bool ReadInBlocks(const std::string& path, size_t block_size,
                    const std::function<bool(std::string_view)>& consume) override {
    if (Unusable(path)) return false;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    HandleCloser closer(h);
    if (GetFileType(h) != FILE_TYPE_DISK) return false;
    std::vector<char> block(block_size == 0 ? 1 : block_size);
    for (;;) {
      DWORD got = 0;
      if (!::ReadFile(h, block.data(), static_cast<DWORD>(block.size()), &got, nullptr)) {
        return false;
      }
      if (got == 0) return true;
      if (!consume(std::string_view(block.data(), got))) return false;
    }
  }

  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>& pieces) override {
    return WritePiecesThrough(StartSafeWrite(path).get(), pieces);
  }

  std::unique_ptr<CSafeFileWrite> StartSafeWrite(const std::string& path) override {
    return StartReplacingWrite(std::make_unique<Win32ReplaceTarget>(), path);
  }

  bool IsLink(const std::string& path) override {
    if (Unusable(path)) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  }

  bool IsFolder(const std::string& path) override { return IsDirectory(path); }

  bool RealPath(const std::string& path, std::string* real) override {
    if (Unusable(path)) return false;
    HANDLE h = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    HandleCloser closer(h);
    // Junctions and symbolic links are resolved by the final path of the
    // open handle, a call that older systems lack; there the full path name
    // is the best answer, as they have no symbolic links.
    using FinalPathFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
    static const FinalPathFn final_path = reinterpret_cast<FinalPathFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    std::vector<char> buffer(MAX_PATH + 1);
    if (final_path != nullptr) {
      DWORD n = final_path(h, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
      if (n >= buffer.size()) {
        buffer.resize(static_cast<size_t>(n) + 1);
        n = final_path(h, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
      }
      if (n > 0 && n < buffer.size()) {
        std::string text(buffer.data(), n);
        // "\\?\C:\x" is "C:\x"; "\\?\UNC\server\share" is "\\server\share".
        if (text.compare(0, 8, "\\\\?\\UNC\\") == 0) {
          text = "\\" + text.substr(7);
        } else if (text.compare(0, 4, "\\\\?\\") == 0) {
          text.erase(0, 4);
        }
        real->swap(text);
        return true;
      }
    }
    DWORD n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (n >= buffer.size()) {
      buffer.resize(static_cast<size_t>(n) + 1);
      n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    }
    if (n == 0 || n >= buffer.size()) return false;
    real->assign(buffer.data(), n);
    return true;
  }

  // A batch file runs by its name alone.
  bool MakeExecutable(const std::string&) override { return true; }

  bool OpenWithDefaultProgram(const std::string& target) override {
    if (Unusable(target)) return false;
    HINSTANCE result =
        ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
  }
};

}  // namespace

void GiveWayToOtherThreads() {}

void ReturnFreeMemory() { _heapmin(); }

Env* Env::Default() {
  static Win32Env env;
  return &env;
}

}  // namespace vellora
