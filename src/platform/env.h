// The layer over the operating system. The core reaches the file system,
// the clock, the locale and the desktop only through an Env, so that tests
// can substitute a fake and the program builds for POSIX and for Win32 from
// the same core. Env::Default() is the real backend of the platform the
// program was built for (env_posix.cpp or env_win32.cpp).
//
// Strings are narrow and hold the system's narrow encoding: UTF-8 on POSIX,
// the active ANSI code page on Windows. Paths use the native separator.
#ifndef VELLORA_PLATFORM_ENV_H_
#define VELLORA_PLATFORM_ENV_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

class CFolderWatch;
class CSafeFileWrite;

// 100-nanosecond units since 1601-01-01 UTC, the file time of the design.
using FileTime = uint64_t;

// Identifies a folder for cycle checks: device and inode on POSIX, volume
// serial number and file index on Windows.
struct FolderIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FolderIdentity& o) const {
    return device == o.device && inode == o.inode;
  }
  bool operator!=(const FolderIdentity& o) const { return !(*this == o); }
};

// Calendar fields of a local time. month is 1..12, day_of_week 0 (Sunday)..6.
struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int day_of_week = 0;
};

// What Env::ReadFile found.
enum class ReadResult { kRead, kTooLong, kFailed };

// ReadFile over a file held in memory, for Envs that keep files as strings.
ReadResult ReadCapped(const std::string& content, size_t max_bytes, std::string* data);

// One item of a folder listing.
struct FolderItem {
  std::string name;      // as the file system returns it, no folder part
  bool is_folder = false;  // a folder, or a link to one
  uint64_t size = 0;     // bytes; 0 for folders
  FileTime write_time = 0;
  // A symbolic link (on Windows any reparse point: junctions too); the other
  // fields describe what it leads to.
  bool is_link = false;
};

// The most threads a walk reads folders ahead with.
constexpr int kMaxListingThreads = 8;

// What the system backends answer to Env::ListingThreads: as many threads
// as the machine has cores, at most kMaxListingThreads, unless the
// environment variable VELLORA_THREADS gives the number (0 to
// kMaxListingThreads).
int ThreadsForListing();

// Lets the calling thread give way to the process's other threads whenever
// both want a processor: for work that only runs ahead of a thread that
// needs it. Linux: the thread's nice value is raised by 10. Windows:
// nothing, since its strict priorities could leave the thread without a
// processor while the thread it serves waits for it.
void GiveWayToOtherThreads();

// Hands the memory the allocator holds free, in every thread's heap, back
// to the system. For a process that runs on (watch mode): listings freed
// by one thread and read again by another leave free pages in heaps that
// only their own thread would use again. Linux (glibc): malloc_trim.
// Windows: _heapmin.
void ReturnFreeMemory();

class Env {
 public:
  virtual ~Env();

  // The backend of the platform the program was built for. Never null.
  static Env* Default();

  // Calls `visit` for every item of `folder` whose name matches `pattern`
  // (the platform's find-first-file semantics: '*' any run, '?' one
  // character, letter case ignored, "*.*" every name; on Windows the short
  // 8.3 names take part too). Items "." and ".." are never reported. Only
  // regular files (or links to them) and folders (or links to them) are
  // reported; dangling links, devices, FIFOs and sockets are passed over.
  // Returns false when the folder cannot be read (nothing is reported).
  virtual bool ListFolder(const std::string& folder, const std::string& pattern,
                          const std::function<void(const FolderItem&)>& visit) = 0;

  // ListFolder for a build that shows no file's size or time: items may
  // report a size and time of 0, which spares a backend that can tell files
  // from folders by the listing alone (the POSIX d_type) a call per file.
  // Links are followed as ListFolder follows them. The default calls
  // ListFolder.
  virtual bool ListFolderBrief(const std::string& folder, const std::string& pattern,
                               const std::function<void(const FolderItem&)>& visit) {
    return ListFolder(folder, pattern, visit);
  }

  // ListFolderBrief when `brief`, else ListFolder.
  bool ListFolderAs(bool brief, const std::string& folder, const std::string& pattern,
                    const std::function<void(const FolderItem&)>& visit) {
    return brief ? ListFolderBrief(folder, pattern, visit) : ListFolder(folder, pattern, visit);
  }

  // How many threads may read folders ahead of a walk: each calls
  // ListFolder and ListFolderBrief at the same time as the others and as the
  // walk. 0 for an Env that is not safe for that (the default). The sort of
  // a long list uses as many threads: each calls IsLeadByte, CompareText and
  // CollationKey at the same time, and must get the answers the calling
  // thread would (the system backends: one locale for every thread).
  virtual int ListingThreads() { return 0; }

  // A new watch of folders for changes (platform/folder_watch.h), or null
  // when this Env cannot watch (the default).
  virtual std::unique_ptr<CFolderWatch> NewFolderWatch();

  // Calls `visit` for every folder (or link to one) in `folder`, as
  // ListFolder(folder, "*.*") would report them, skipping the files. Backends
  // may override it to avoid examining every file of a large folder.
  virtual bool ListSubfolders(const std::string& folder,
                              const std::function<void(const FolderItem&)>& visit);

  // The identity of a folder (following links). False when it cannot be had.
  virtual bool GetFolderIdentity(const std::string& folder, FolderIdentity* id) = 0;

  // The process's current folder: a full path without a trailing separator,
  // except for a file-system root ("/" or "C:\").
  virtual bool GetCurrentFolder(std::string* folder) = 0;
  virtual bool SetCurrentFolder(const std::string& folder) = 0;

  // True when `folder` exists and may be entered (SetCurrentFolder would
  // succeed), without changing the current folder. The default asks
  // IsFolder.
  virtual bool CanEnterFolder(const std::string& folder);

  // A walk over folders has ended: handles a backend keeps to reach long
  // paths quickly are let go, so that the next walk sees the tree as it
  // then is.
  virtual void EndWalk() {}

  // Full path of the running executable, as the system reports it.
  virtual std::string ExecutablePath() = 0;

  // File time to local calendar fields. False for a time the platform
  // cannot convert.
  virtual bool FileTimeToLocal(FileTime t, LocalTime* out) = 0;

  // The current time as a file time (UTC).
  virtual FileTime Now() = 0;

  // strftime of a local time under the runtime's locale.
  virtual std::string FormatLocalTime(const char* format, const LocalTime& t) = 0;

  // Locale-aware comparison of the user's default locale: negative, 0 or
  // positive (lstrcmpA on Windows, strcoll on POSIX).
  virtual int CompareText(const std::string& a, const std::string& b) = 0;

  // A sort key for `text`: two keys compared byte by byte (as std::string
  // compares them) are ordered as CompareText orders their texts. False
  // when the backend gives no keys; callers then use CompareText. Backends
  // that override CompareText must not inherit another backend's keys.
  virtual bool CollationKey(const std::string& text, std::string* key);

  // True when CompareText orders texts as their bytes do (unsigned, a text
  // before a longer one it begins) and CollationKey gives each text itself,
  // as in the C locale; callers may then compare and key texts without the
  // system. Never inherited by a backend that overrides CompareText or
  // CollationKey.
  virtual bool CollatesByteByByte();

  // True when `c` starts a two-byte character of the active code page
  // (always false for UTF-8, whose continuation bytes are never ASCII).
  virtual bool IsLeadByte(unsigned char c) = 0;

  // The name of the charset narrow strings are in: "utf-8" on POSIX, the
  // active code page's name on Windows ("gbk", "windows-1252", ...).
  virtual std::string CharsetName() = 0;

  // A name (or path) recoded as the program's own texts are, to show it
  // among them: those are UTF-8 on POSIX and code page 936 on Windows, where
  // names are in the active code page. Unchanged where the two agree;
  // characters the texts' code page lacks become '?'.
  virtual std::string NameAsText(const std::string& name) { return name; }

  // A name (or path) in UTF-8, for files that other programs read: on
  // Windows recoded from the active code page, elsewhere unchanged (so it
  // may hold bytes that are not UTF-8, which the caller must escape).
  virtual std::string NameAsUtf8(const std::string& name) { return name; }

  // Reads the regular file `path` as raw bytes, at most `max_bytes` of
  // them: reading stops at the cap whatever size the file reports, so that
  // a sparse giant or an endless system file costs no more than the cap.
  // kRead: `data` holds the whole file. kTooLong: the file holds more than
  // `max_bytes` bytes and `data` its first `max_bytes`. kFailed: it cannot
  // be opened or read, or is no regular file (a FIFO is never waited for);
  // `data` is unchanged.
  virtual ReadResult ReadFile(const std::string& path, size_t max_bytes, std::string* data) = 0;

  // Reads the regular file `path` from its start to its end, handing the
  // bytes to `consume` in blocks of at most `block_size` bytes, so that a
  // file of any size is never held whole. Reading stops when `consume`
  // returns false. True when the whole file was read and consumed; false
  // when it cannot be opened or read, or is no regular file. Safe to call
  // from several threads at once. The default reads the file through
  // ReadFile (for Envs that keep files in memory).
  virtual bool ReadInBlocks(const std::string& path, size_t block_size,
                            const std::function<bool(std::string_view)>& consume);

  // True when the whole file, at most `max_bytes` long, was read into
  // `data`; a longer file is treated like one that cannot be read, and
  // `data` is then unchanged.
  bool ReadWholeFile(const std::string& path, size_t max_bytes, std::string* data);

  // Writes the `pieces`, one after another, to `path` byte for byte through
  // a temporary file in the same folder that is renamed over the target, so
  // that the target is either the old file or the complete new one. False
  // on any failure; the old file is then untouched and no temporary file
  // stays. A target that is a link (see IsLink) is never written, neither
  // through the link nor over it: false, the link and what it leads to left
  // as they are. A large page is handed over in pieces so that it never has
  // to be joined into one string.
  virtual bool WritePiecesSafely(const std::string& path,
                                 const std::vector<std::string_view>& pieces) = 0;

  // The write of WritePiecesSafely with the text handed over as it is
  // produced (platform/safe_write.h), so that a large page is never held:
  // the same temporary file renamed over `path` at Commit, the same refusal
  // of a link at `path`, the same failures; a write not committed (dropped
  // or failed) leaves the old file and no temporary file. Never null. The
  // default keeps the text and calls WritePiecesSafely at Commit.
  virtual std::unique_ptr<CSafeFileWrite> StartSafeWrite(const std::string& path);

  // WritePiecesSafely with `data` as the only piece.
  bool WriteFileSafely(const std::string& path, const std::string& data) {
    return WritePiecesSafely(path, {std::string_view(data)});
  }

  // True when the last component of `path` is a symbolic link (on Windows
  // any reparse point), the link itself being looked at, not followed.
  // WritePiecesSafely never writes such a path.
  virtual bool IsLink(const std::string& path);

  // True when `path` names an existing folder.
  virtual bool IsFolder(const std::string& path) = 0;

  // The full path of the file or folder `path` leads to, every link
  // followed and every "." and ".." resolved, so that two paths to the same
  // place give the same text. False when `path` does not exist or cannot be
  // resolved. The default, for file systems without links, resolves "." and
  // ".." in the text of a full path.
  virtual bool RealPath(const std::string& path, std::string* real);

  // Opens a file or an address with the desktop's default program.
  virtual bool OpenWithDefaultProgram(const std::string& target) = 0;

  // Lets the file `path` be run as a program: on POSIX each class that may
  // read it may now also execute it; on Windows nothing needs doing. False
  // when that failed. The default, for systems without such a bit, does
  // nothing and returns false.
  virtual bool MakeExecutable(const std::string& path);
};

}  // namespace vellora

#endif  // VELLORA_PLATFORM_ENV_H_
