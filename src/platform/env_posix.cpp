// The POSIX backend of Env (Linux): UTF-8 names, '/' paths, file times
// converted from modification times, pages written through a temporary file.
#include <dirent.h>
#include <fcntl.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"
#include "platform/folder_watch.h"
#include "platform/file_time.h"
#include "platform/local_time.h"
#include "platform/pieces.h"
#include "platform/safe_write.h"
#include "platform/wildcard.h"

namespace vellora {

namespace {

#ifdef O_PATH
constexpr int kPathOnly = O_PATH;
#else
constexpr int kPathOnly = O_RDONLY;
#endif

// Calls tzset() when TZ differs from its value at the last call, so that a
// change of TZ is followed; with TZ unset every tzset() reads the status of
// /etc/localtime, which must not happen once per listed file.
// Each thread keeps its own record, so that threads making the rows of one
// page may convert times at the same time.
void FollowTimeZone() {
  thread_local bool called = false;
  thread_local bool had_tz = false;
  thread_local std::string last_tz;
  const char* tz = getenv("TZ");
  if (called && had_tz == (tz != nullptr) && (tz == nullptr || last_tz == tz)) return;
  tzset();
  called = true;
  had_tz = tz != nullptr;
  last_tz = tz != nullptr ? tz : "";
}

// Closes a descriptor unless it is negative, keeping errno.
void CloseKeepErrno(int fd) {
  if (fd < 0) return;
  const int saved = errno;
  close(fd);
  errno = saved;
}

// Opens `path` relative to `at`, one component at a time, for paths too long
// for a single call. Intermediate folders are opened for searching only.
int OpenByComponents(int at, const std::string& path, int flags) {
  size_t pos = 0;
  int dir = -1;
  if (!path.empty() && path[0] == '/') {
    dir = open("/", kPathOnly | O_DIRECTORY | O_CLOEXEC);
  } else {
    dir = openat(at, ".", kPathOnly | O_DIRECTORY | O_CLOEXEC);
  }
  if (dir < 0) return -1;
  std::string component;
  for (;;) {
    while (pos < path.size() && path[pos] == '/') ++pos;
    const size_t end = path.find('/', pos);
    const size_t stop = end == std::string::npos ? path.size() : end;
    component.assign(path, pos, stop - pos);
    size_t next = stop;
    while (next < path.size() && path[next] == '/') ++next;
    const bool last = next >= path.size();
    if (component.empty()) {  // the path was "/" or empty
      const int fd = openat(dir, ".", flags | O_CLOEXEC);
      CloseKeepErrno(dir);
      return fd;
    }
    const int fd = openat(dir, component.c_str(),
                          last ? flags | O_CLOEXEC : kPathOnly | O_DIRECTORY | O_CLOEXEC);
    CloseKeepErrno(dir);
    if (fd < 0 || last) return fd;
    dir = fd;
    pos = next;
  }
}

// Opens `segment` relative to the folder `dir` in one call, or component by
// component when the system finds the text too long.
int OpenSegment(int dir, const std::string& segment, int flags, mode_t mode) {
  const int fd = openat(dir, segment.empty() ? "." : segment.c_str(), flags | O_CLOEXEC, mode);
  if (fd >= 0 || errno != ENAMETOOLONG || (flags & O_CREAT) != 0) return fd;
  return OpenByComponents(dir, segment, flags);
}

// Folder handles at checkpoints of full paths longer than PATH_MAX, so that
// reaching such a path costs one call from the nearest checkpoint instead of
// one per component, and a walk down a deep branch stays linear.
//
// A checkpoint of a path is its last '/' at or before every multiple of
// kStride bytes of its text (a name is never longer than NAME_MAX, so each
// stride holds one); it depends only on the text before it, so paths that
// share a beginning share its checkpoints. The handles of the last path's
// checkpoints are kept while later paths share them; a walk below them
// reuses them. The long folder made current last is one more checkpoint,
// the nearest for its own items and subfolders. The handles are let go when
// a short folder is made current. A folder above a checkpoint that is
// renamed while the walk is below it is still reached through its old path,
// as a process keeps a current folder that moved; a call that fails through
// kept handles is retried afresh.
class CheckpointCache {
 public:
  // Opens the full path `path` (beginning with '/').
  int Open(const std::string& path, int flags, mode_t mode) {
    std::lock_guard<std::mutex> lock(mutex_);
    int fd = -1;
    if (OpenBelow(last_, last_fd_, path, flags, mode, &fd) ||
        OpenBelow(current_, current_fd_, path, flags, mode, &fd)) {
      Remember(path, flags, fd);
      return fd;
    }
    bool reused = false;
    fd = OpenLocked(path, flags, mode, &reused);
    if (fd < 0 && reused && (errno == ENOENT || errno == ENOTDIR || errno == ESTALE)) {
      Drop(0);
      fd = OpenLocked(path, flags, mode, &reused);
    }
    Remember(path, flags, fd);
    return fd;
  }

  // A walk has ended: the checkpoints and the last folder opened are let go.
  void EndWalk() {
    std::lock_guard<std::mutex> lock(mutex_);
    Drop(0);
    ForgetLast();
  }

  // Makes the folder `fd` (opened from the full path `path`) the current
  // folder; false, with nothing changed, when the system refuses.
  bool MakeCurrent(const std::string& path, int fd) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fchdir(fd) != 0) return false;
    CloseKeepErrno(current_fd_);
    current_fd_ = -1;
    current_.clear();
    // Only a path spelled as the system spells the current folder may stand
    // for it.
    if (IsPlainFullPath(path) && fstat(fd, &current_id_) == 0) {
      current_fd_ = fcntl(fd, F_DUPFD_CLOEXEC, 0);
      if (current_fd_ >= 0) current_ = path;
    }
    return true;
  }

  // A short folder was made current: the walk has come up from the long
  // paths, and their handles are let go, so that none outlives the walk.
  void Forget() {
    std::lock_guard<std::mutex> lock(mutex_);
    Drop(0);
    ForgetLast();
    if (current_fd_ < 0) return;
    CloseKeepErrno(current_fd_);
    current_fd_ = -1;
    current_.clear();
  }

  // The long folder made current last, while it still is the current one.
  bool Current(std::string* folder) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (current_fd_ < 0) return false;
    struct stat st {};
    if (stat(".", &st) != 0 || st.st_dev != current_id_.st_dev || st.st_ino != current_id_.st_ino) {
      return false;
    }
    *folder = current_;
    return true;
  }

 private:
  static constexpr size_t kStride = 2048;
  // Bounds the descriptors held; checkpoints deeper than this are opened
  // for the call and closed again.
  static constexpr size_t kMaxKept = 64;

  // A full path without "." or ".." components, repeated or trailing '/'.
  static bool IsPlainFullPath(const std::string& path) {
    if (path.size() < 2 || path[0] != '/' || path.back() == '/') return false;
    size_t pos = 1;
    while (pos <= path.size()) {
      size_t end = path.find('/', pos);
      if (end == std::string::npos) end = path.size();
      const size_t n = end - pos;
      if (n == 0 || (n == 1 && path[pos] == '.') ||
          (n == 2 && path[pos] == '.' && path[pos + 1] == '.')) {
        return false;
      }
      pos = end + 1;
    }
    return true;
  }

  // Opens `path` relative to the kept folder `fd` named `folder` when
  // `path` lies below it; true when that settled the call (`*out` is then
  // the handle or -1 with errno set).
  static bool OpenBelow(const std::string& folder, int fd, const std::string& path, int flags,
                        mode_t mode, int* out) {
    const size_t n = folder.size();
    if (fd < 0 || path.size() - n >= PATH_MAX || path.compare(0, n, folder) != 0 ||
        (path.size() != n && path[n] != '/')) {
      return false;
    }
    *out = OpenSegment(fd, path.substr(std::min(path.size(), n + 1)), flags, mode);
    return *out >= 0 || (errno != ENOENT && errno != ENOTDIR && errno != ESTALE);
  }

  // Keeps the long folder opened last: a walk works in one folder at a time
  // and then goes down into its subfolders, which are reached from it in one
  // call, without any current folder.
  void Remember(const std::string& path, int flags, int fd) {
    if (fd < 0 || (flags & O_DIRECTORY) == 0 || path == last_ || !IsPlainFullPath(path)) return;
    const int saved = errno;
    ForgetLast();
    last_fd_ = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (last_fd_ >= 0) last_ = path;
    errno = saved;
  }

  void ForgetLast() {
    CloseKeepErrno(last_fd_);
    last_fd_ = -1;
    last_.clear();
  }

  struct Level {
    size_t end;  // the checkpoint: the prefix is path[0, end)
    std::string prefix;
    int fd;
  };

  static std::vector<size_t> Checkpoints(const std::string& path) {
    std::vector<size_t> points;
    size_t last = 0;
    for (size_t at = kStride; at < path.size(); at += kStride) {
      const size_t slash = path.rfind('/', at);
      if (slash == std::string::npos || slash <= last) continue;
      points.push_back(slash);
      last = slash;
    }
    return points;
  }

  void Drop(size_t from) {
    for (size_t i = from; i < kept_.size(); ++i) CloseKeepErrno(kept_[i].fd);
    kept_.resize(std::min(from, kept_.size()));
  }

  int OpenLocked(const std::string& path, int flags, mode_t mode, bool* reused) {
    const std::vector<size_t> points = Checkpoints(path);
    // Kept levels that are checkpoints of this path too.
    size_t same = 0;
    size_t begin = 0;
    while (same < kept_.size() && same < points.size() && kept_[same].end == points[same] &&
           path.compare(begin, points[same] - begin, kept_[same].prefix, begin,
                        points[same] - begin) == 0) {
      begin = points[same];
      ++same;
    }
    Drop(same);
    *reused = same > 0;
    int dir = same > 0 ? kept_[same - 1].fd : AT_FDCWD;
    bool owned = false;  // `dir` is a transient handle beyond the kept ones
    size_t from = same > 0 ? points[same - 1] + 1 : 0;
    for (size_t i = same; i < points.size(); ++i) {
      const int next =
          OpenSegment(dir, path.substr(from, points[i] - from), kPathOnly | O_DIRECTORY, 0);
      if (owned) CloseKeepErrno(dir);
      if (next < 0) return -1;
      if (kept_.size() < kMaxKept) {
        kept_.push_back(Level{points[i], path.substr(0, points[i]), next});
        owned = false;
      } else {
        owned = true;
      }
      dir = next;
      from = points[i] + 1;
    }
    const int fd = OpenSegment(dir, path.substr(from), flags, mode);
    if (owned) CloseKeepErrno(dir);
    return fd;
  }

  std::mutex mutex_;
  std::vector<Level> kept_;
  std::string current_;
  int current_fd_ = -1;
  std::string last_;
  int last_fd_ = -1;
  struct stat current_id_ {};
};

CheckpointCache& LongPaths() {
  static CheckpointCache* const cache = new CheckpointCache;
  return *cache;
}

// openat() that also copes with paths longer than PATH_MAX.
int OpenAt(int at, const std::string& path, int flags, mode_t mode = 0) {
  if (path.empty()) {
    errno = ENOENT;
    return -1;
  }
  const int fd = openat(at, path.c_str(), flags | O_CLOEXEC, mode);
  if (fd >= 0 || errno != ENAMETOOLONG || (flags & O_CREAT) != 0) return fd;
  if (at == AT_FDCWD && path[0] == '/') return LongPaths().Open(path, flags, mode);
  return OpenByComponents(at, path, flags);
}

// stat() that follows links and copes with long paths.
bool StatPath(const std::string& path, struct stat* st) {
  if (path.empty()) return false;
  if (stat(path.c_str(), st) == 0) return true;
  if (errno != ENAMETOOLONG) return false;
  const int fd = OpenAt(AT_FDCWD, path, kPathOnly);
  if (fd < 0) return false;
  const bool ok = fstat(fd, st) == 0;
  CloseKeepErrno(fd);
  return ok;
}

// Opens the folder holding `path` (relative to `at`) and stores the last
// component in `base`. Returns -1 when there is no last component.
int OpenParent(int at, const std::string& path, std::string* base) {
  size_t end = path.size();
  const size_t slash = path.rfind('/', end == 0 ? 0 : end - 1);
  if (slash == std::string::npos) {
    *base = path;
    if (base->empty()) {
      errno = ENOENT;
      return -1;
    }
    return openat(at, ".", kPathOnly | O_DIRECTORY | O_CLOEXEC);
  }
  *base = path.substr(slash + 1);
  if (base->empty() || *base == "." || *base == "..") {
    errno = EISDIR;
    return -1;
  }
  const std::string parent = slash == 0 ? std::string("/") : path.substr(0, slash);
  return OpenAt(at, parent, kPathOnly | O_DIRECTORY);
}

// A name for a temporary file beside `base`: hidden, within NAME_MAX, unique
// enough that O_EXCL rarely has to retry.
// Once the program file was removed or replaced while the program runs, the
// system names it with " (deleted)" appended; its folder is still the
// program's folder. A file that really has such a name is left alone.
std::string WithoutDeletedMark(std::string path) {
  static const char kMark[] = " (deleted)";
  const size_t n = sizeof kMark - 1;
  struct stat st {};
  if (path.size() > n && path.compare(path.size() - n, n, kMark) == 0 &&
      lstat(path.c_str(), &st) != 0) {
    path.resize(path.size() - n);
  }
  return path;
}

std::string TemporaryName(const std::string& base, unsigned attempt) {
  // Pages may be saved on several threads at once.
  static std::atomic<uint64_t> counter{0};
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  uint64_t x = (static_cast<uint64_t>(getpid()) << 32) ^ static_cast<uint64_t>(ts.tv_nsec) ^
               (static_cast<uint64_t>(ts.tv_sec) << 20) ^ ((counter.fetch_add(1) + 1) * 0x9E3779B97F4A7C15ULL) ^
               attempt;
  // splitmix64 finaliser
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ULL;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBULL;
  x ^= x >> 31;
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string suffix = ".";
  for (int i = 0; i < 10; ++i) {
    suffix += kDigits[x % 62];
    x /= 62;
  }
  const size_t room = 255 - 1 - suffix.size();
  return "." + base.substr(0, room) + suffix;
}

bool WriteAll(int fd, std::string_view data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// The target of a safe write in its open folder, written through a hidden
// temporary file renamed over it.
class PosixReplaceTarget : public CReplaceTarget {
 public:
  ~PosixReplaceTarget() override {
    CloseOld();
    if (temp_fd_ >= 0) CloseKeepErrno(temp_fd_);
    if (dir_ >= 0) CloseKeepErrno(dir_);
  }

  bool Open(const std::string& path) override {
    dir_ = OpenParent(AT_FDCWD, path, &base_);
    if (dir_ < 0) return !(failed_ = true);
    // The name itself is looked at: a link planted where a page goes would
    // lead the page (and the old file's mode) to any file the user may
    // write, so it is left alone, and so is a dangling one. The rename
    // replaces a name, never what a link there leads to, so a link swapped
    // in meanwhile is replaced, not followed.
    if (fstatat(dir_, base_.c_str(), &old_, AT_SYMLINK_NOFOLLOW) == 0) {
      if (S_ISLNK(old_.st_mode)) {
        errno = ELOOP;
        return !(failed_ = true);
      }
      if (!S_ISREG(old_.st_mode)) {
        errno = EISDIR;
        return !(failed_ = true);  // never replace a folder, device or FIFO
      }
      exists_ = true;
    } else if (errno != ENOENT) {
      return !(failed_ = true);
    }
    if (!exists_) return false;
    // Not blocking: a FIFO swapped in is told by its type, never waited for.
    old_fd_ = openat(dir_, base_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (old_fd_ < 0) return false;
    if (fstat(old_fd_, &opened_) != 0 || !S_ISREG(opened_.st_mode) ||
        opened_.st_ino != old_.st_ino || opened_.st_dev != old_.st_dev) {
      CloseOld();
      return false;
    }
    return true;
  }

  bool failed() const override { return failed_; }

  int64_t ReadOld(char* buffer, size_t size) override {
    for (;;) {
      const ssize_t n = read(old_fd_, buffer, size);
      if (n < 0 && errno == EINTR) continue;
      return n;
    }
  }
  bool RewindOld() override { return lseek(old_fd_, 0, SEEK_SET) == 0; }
  bool OldUnchanged() override {
    struct stat now {};
    return fstat(old_fd_, &now) == 0 && now.st_size == opened_.st_size &&
           now.st_mtim.tv_sec == opened_.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == opened_.st_mtim.tv_nsec &&
           now.st_ctim.tv_sec == opened_.st_ctim.tv_sec &&
           now.st_ctim.tv_nsec == opened_.st_ctim.tv_nsec;
  }
  void CloseOld() override {
    if (old_fd_ >= 0) CloseKeepErrno(old_fd_);
    old_fd_ = -1;
  }

  bool CreateTemp() override {
    for (unsigned attempt = 0; attempt < 100 && temp_fd_ < 0; ++attempt) {
      const std::string name = TemporaryName(base_, attempt);
      // A new file gets 0666 less the umask (and any default ACL), as
      // any freshly created file would.
      temp_fd_ = openat(dir_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        exists_ ? 0600 : 0666);
      if (temp_fd_ >= 0) temp_ = name;
      if (temp_fd_ < 0 && errno != EEXIST) return false;
    }
    if (temp_fd_ < 0) return false;
    if (exists_) {
      if (old_.st_uid != geteuid() || old_.st_gid != getegid()) {
        // Best effort: only the owner or root may hand the file back.
        if (fchown(temp_fd_, old_.st_uid, old_.st_gid) != 0) {
        }
      }
      if (fchmod(temp_fd_, old_.st_mode & 07777) != 0) {
        RemoveTemp();
        return false;
      }
    }
    return true;
  }

  bool WriteTemp(std::string_view text) override { return WriteAll(temp_fd_, text); }

  // No fdatasync: a per-folder build writes thousands of pages and a sync
  // each would cost more than the whole build. The rename still makes a
  // killed or failed write leave the old page; file systems order the data
  // of a file replaced by rename before the rename itself.
  bool PutTempInPlace() override {
    const int fd = temp_fd_;
    temp_fd_ = -1;
    if (close(fd) != 0 && errno != EINTR) return false;
    if (renameat(dir_, temp_.c_str(), dir_, base_.c_str()) != 0) return false;
    temp_.clear();
    return true;
  }

  void RemoveTemp() override {
    if (temp_fd_ >= 0) CloseKeepErrno(temp_fd_);
    temp_fd_ = -1;
    if (temp_.empty()) return;
    const int saved = errno;
    unlinkat(dir_, temp_.c_str(), 0);
    errno = saved;
    temp_.clear();
  }

 private:
  int dir_ = -1;
  std::string base_;
  bool failed_ = false;
  bool exists_ = false;
  struct stat old_ {};     // the name, as looked at
  struct stat opened_ {};  // the old file, as opened
  int old_fd_ = -1;
  std::string temp_;
  int temp_fd_ = -1;
};

class PosixEnv : public Env {
 public:
  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    return ListMatching(folder, pattern, false, visit);
  }

  bool ListFolderBrief(const std::string& folder, const std::string& pattern,
                       const std::function<void(const FolderItem&)>& visit) override {
    return ListMatching(folder, pattern, true, visit);
  }

  int ListingThreads() override { return ThreadsForListing(); }

  std::unique_ptr<CFolderWatch> NewFolderWatch() override { return NewSystemFolderWatch(); }

  bool ListSubfolders(const std::string& folder,
                      const std::function<void(const FolderItem&)>& visit) override {
    return Walk(folder, [](const char* name, unsigned char type, FolderItem* item) {
      if (type == DT_REG) return false;
      item->name.assign(name);
      return true;
    }, [&visit](const FolderItem& item) {
      if (item.is_folder) visit(item);
    });
  }

  bool GetFolderIdentity(const std::string& folder, FolderIdentity* id) override {
    struct stat st {};
    if (!StatPath(folder, &st) || !S_ISDIR(st.st_mode)) return false;
    id->device = static_cast<uint64_t>(st.st_dev);
    id->inode = static_cast<uint64_t>(st.st_ino);
    return true;
  }

  bool GetCurrentFolder(std::string* folder) override {
    // Beyond PATH_MAX the C library finds the current folder by climbing
    // "..", reading every folder on the way: a walk asking once per folder
    // would grow with the square of the depth. The long folder made current
    // last answers while it still is the current one.
    if (LongPaths().Current(folder)) return true;
    std::vector<char> buf(PATH_MAX + 1);  // the longest the system call returns
    for (;;) {
      if (getcwd(buf.data(), buf.size()) != nullptr) {
        if (buf[0] != '/') return false;  // unreachable folder
        folder->assign(buf.data());
        return true;
      }
      if (errno != ERANGE || buf.size() >= (1u << 24)) return false;
      buf.resize(buf.size() * 2);
    }
  }

  bool SetCurrentFolder(const std::string& folder) override {
    if (folder.empty()) return false;
    if (chdir(folder.c_str()) == 0) {
      LongPaths().Forget();
      return true;
    }
    if (errno != ENAMETOOLONG) return false;
    const int fd = OpenAt(AT_FDCWD, folder, kPathOnly | O_DIRECTORY);
    if (fd < 0) return false;
    const bool ok = LongPaths().MakeCurrent(folder, fd);
    CloseKeepErrno(fd);
    return ok;
  }

  bool CanEnterFolder(const std::string& folder) override {
    const int fd = OpenAt(AT_FDCWD, folder, kPathOnly | O_DIRECTORY);
    if (fd < 0) return false;
    // Entering asks for search permission on the folder itself, which
    // looking up "." in it asks for too.
    const int in = openat(fd, ".", kPathOnly | O_DIRECTORY | O_CLOEXEC);
    CloseKeepErrno(fd);
    CloseKeepErrno(in);
    return in >= 0;
  }

  void EndWalk() override { LongPaths().EndWalk(); }

  std::string ExecutablePath() override {
    std::vector<char> buf(256);
    for (;;) {
      const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
      if (n < 0) return std::string();
      if (static_cast<size_t>(n) < buf.size()) {
        return WithoutDeletedMark(std::string(buf.data(), static_cast<size_t>(n)));
      }
      if (buf.size() >= (1u << 20)) return std::string();
      buf.resize(buf.size() * 2);
    }
  }

  bool FileTimeToLocal(FileTime t, LocalTime* out) override {
    int64_t secs = 0;
    if (!UnixSecondsOf(t, &secs)) return false;
    const time_t tt = static_cast<time_t>(secs);
    if (static_cast<int64_t>(tt) != secs) return false;
    FollowTimeZone();
    struct tm tm {};
    if (localtime_r(&tt, &tm) == nullptr) return false;
    out->year = tm.tm_year + 1900;
    out->month = tm.tm_mon + 1;
    out->day = tm.tm_mday;
    out->hour = tm.tm_hour;
    out->minute = tm.tm_min;
    out->second = tm.tm_sec;
    out->day_of_week = tm.tm_wday;
    return true;
  }

  FileTime Now() override {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return FileTimeFromUnix(static_cast<int64_t>(ts.tv_sec), ts.tv_nsec);
  }

  std::string FormatLocalTime(const char* format, const LocalTime& t) override {
    if (format == nullptr || *format == '\0') return std::string();
    const std::tm tm = ToStructTm(t);
    std::vector<char> buf(128);
    for (;;) {
      const size_t n = strftime(buf.data(), buf.size(), format, &tm);
      // 0 is also the length of an empty result; a large buffer settles it.
      if (n > 0 || buf.size() >= 65536) return std::string(buf.data(), n);
      buf.resize(buf.size() * 4);
    }
  }

  int CompareText(const std::string& a, const std::string& b) override {
    return strcoll(a.c_str(), b.c_str());
  }

  bool CollationKey(const std::string& text, std::string* key) override {
    if (text.find('\0') != std::string::npos) return false;
    size_t room = text.size() * 8 + 32;
    for (int attempt = 0; attempt < 4; ++attempt) {
      key->resize(room);
      const size_t n = strxfrm(&(*key)[0], text.c_str(), room);
      if (n < room) {
        key->resize(n);
        return true;
      }
      room = n + 1;
    }
    return false;
  }

  // The C and POSIX locales and C.UTF-8 collate by bytes. The name alone
  // is not trusted: a few texts that other collations order otherwise (case,
  // punctuation, accents, bytes that are no UTF-8) must compare and key as
  // bytes too.
  bool CollatesByteByByte() override {
    const char* name = std::setlocale(LC_COLLATE, nullptr);
    if (name == nullptr) return false;
    if (std::strcmp(name, "C") != 0 && std::strcmp(name, "POSIX") != 0 &&
        std::strncmp(name, "C.", 2) != 0) {
      return false;
    }
    static const char* const kAscending[] = {"B",        "_",        "a",    "a b", "a-b",
                                             "ab",       "abc",      "\x80", "\xC3\x89",
                                             "\xC3\xA9", "\xE4\xB8\xAD", "\xFF"};
    const size_t n = sizeof kAscending / sizeof *kAscending;
    std::string key;
    for (size_t i = 0; i < n; ++i) {
      if (i + 1 < n && strcoll(kAscending[i], kAscending[i + 1]) >= 0) return false;
      if (!CollationKey(kAscending[i], &key) || key != kAscending[i]) return false;
    }
    return true;
  }

  bool IsLeadByte(unsigned char) override { return false; }

  std::string CharsetName() override { return "utf-8"; }

  ReadResult ReadFile(const std::string& path, size_t max_bytes, std::string* data) override {
    // O_NONBLOCK keeps a FIFO from blocking the open; only regular files are read.
    const int fd = OpenAt(AT_FDCWD, path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) return ReadResult::kFailed;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      CloseKeepErrno(fd);
      return ReadResult::kFailed;
    }
    // The reported size only sizes the buffer: files of /proc report 0 and
    // a sparse file any size, so the cap is kept while reading. Whole
    // chunks are read (some system files refuse odd sizes); a chunk that
    // goes past the cap tells a file of exactly max_bytes from a longer one.
    std::string text;
    if (st.st_size > 0) {
      text.reserve(std::min(static_cast<uint64_t>(st.st_size), static_cast<uint64_t>(max_bytes)));
    }
    char chunk[65536];
    bool too_long = false;
    for (;;) {
      const size_t room = max_bytes - text.size();
      const ssize_t n = read(fd, chunk, sizeof chunk);
      if (n < 0) {
        if (errno == EINTR) continue;
        CloseKeepErrno(fd);
        return ReadResult::kFailed;
      }
      if (n == 0) break;
      if (static_cast<size_t>(n) > room) {
        text.append(chunk, room);
        too_long = true;
        break;
      }
      text.append(chunk, static_cast<size_t>(n));
    }
    close(fd);
    data->swap(text);
    return too_long ? ReadResult::kTooLong : ReadResult::kRead;
  }

  bool ReadInBlocks(const std::string& path, size_t block_size,
                    const std::function<bool(std::string_view)>& consume) override {
    const int fd = OpenAt(AT_FDCWD, path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      CloseKeepErrno(fd);
      return false;
    }
    std::vector<char> block(block_size == 0 ? 1 : block_size);
    bool whole = true;
    for (;;) {
      const ssize_t n = read(fd, block.data(), block.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        whole = false;
        break;
      }
      if (n == 0) break;
      if (!consume(std::string_view(block.data(), static_cast<size_t>(n)))) {
        whole = false;
        break;
      }
    }
    CloseKeepErrno(fd);
    return whole;
  }

  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>& pieces) override {
    return WritePiecesThrough(StartSafeWrite(path).get(), pieces);
  }

  std::unique_ptr<CSafeFileWrite> StartSafeWrite(const std::string& path) override {
    return StartReplacingWrite(std::make_unique<PosixReplaceTarget>(), path);
  }

  bool IsLink(const std::string& path) override {
    std::string base;
    const int dir = OpenParent(AT_FDCWD, path, &base);
    if (dir < 0) return false;
    struct stat st {};
    const bool link = fstatat(dir, base.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
    CloseKeepErrno(dir);
    return link;
  }

  bool IsFolder(const std::string& path) override {
    struct stat st {};
    return StatPath(path, &st) && S_ISDIR(st.st_mode);
  }

  bool RealPath(const std::string& path, std::string* real) override {
    // The system names an open file by its resolved path, but only up to a
    // page of text; realpath() stops at PATH_MAX. Longer paths are resolved
    // one component at a time.
    const int fd = OpenAt(AT_FDCWD, path, kPathOnly);
    if (fd < 0) return false;
    std::vector<char> buf(4096);
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = readlink(link.c_str(), buf.data(), buf.size());
    CloseKeepErrno(fd);
    if (n > 0 && static_cast<size_t>(n) < buf.size() && buf[0] == '/') {
      real->assign(buf.data(), static_cast<size_t>(n));
      return true;
    }
    return ResolveByComponents(path, real);
  }

  bool MakeExecutable(const std::string& path) override {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // Execute for whoever may read it.
    const mode_t read_bits = st.st_mode & (S_IRUSR | S_IRGRP | S_IROTH);
    return chmod(path.c_str(), (st.st_mode & 07777) | (read_bits >> 2)) == 0;
  }

  bool OpenWithDefaultProgram(const std::string& target) override {
    if (target.empty()) return false;
    // xdg-open takes a leading '-' for an option.
    const std::string arg = target[0] == '-' ? "./" + target : target;
    const char* argv[] = {"xdg-open", arg.c_str(), nullptr};
    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) return false;
    // The opener is started from a short-lived child so that it is never
    // waited for nor left as a zombie; the pipe reports a failed exec.
    const pid_t child = fork();
    if (child < 0) {
      CloseKeepErrno(pipe_fds[0]);
      CloseKeepErrno(pipe_fds[1]);
      return false;
    }
    if (child == 0) {
      close(pipe_fds[0]);
      const pid_t grandchild = fork();
      if (grandchild == 0) {
        setsid();
        execvp(argv[0], const_cast<char* const*>(argv));
        const int err = errno;
        ssize_t ignored = write(pipe_fds[1], &err, sizeof err);
        (void)ignored;
        _exit(127);
      }
      _exit(grandchild < 0 ? 1 : 0);
    }
    close(pipe_fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    do {
      n = read(pipe_fds[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    close(pipe_fds[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
  }

 private:
  bool ListMatching(const std::string& folder, const std::string& pattern, bool brief,
                    const std::function<void(const FolderItem&)>& visit) {
    const bool all = pattern == "*" || pattern == "*.*";
    return Walk(folder, [&](const char* name, unsigned char, FolderItem* item) {
      item->name.assign(name);
      return all || WildcardMatch(item->name, pattern);
    }, visit, brief);
  }

  // Lists `folder`: `want` sees each name and its d_type, fills the item's
  // name and says whether the entry is worth a stat; `visit` gets the regular
  // files and folders among those. With `brief` a file or folder the listing
  // names as such is reported without a stat, its size and time 0.
  template <typename Want>
  bool Walk(const std::string& folder, Want want,
            const std::function<void(const FolderItem&)>& visit, bool brief = false) {
    const int fd = OpenAt(AT_FDCWD, folder, O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
      CloseKeepErrno(fd);
      return false;
    }
    FolderItem item;
    struct stat st {};
    int error = 0;
    for (;;) {
      errno = 0;
      const dirent* e = readdir(dir);
      if (e == nullptr) {
        error = errno;
        break;
      }
      const char* name = e->d_name;
      if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
      const unsigned char type = e->d_type;
      if (type == DT_FIFO || type == DT_SOCK || type == DT_CHR || type == DT_BLK) continue;
      if (!want(name, type, &item)) continue;
      item.is_link = type == DT_LNK;
      if (brief && (type == DT_REG || type == DT_DIR)) {
        item.is_folder = type == DT_DIR;
        item.size = 0;
        item.write_time = 0;
        visit(item);
        continue;
      }
      if (type == DT_UNKNOWN) {  // file systems that do not say
        if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        item.is_link = S_ISLNK(st.st_mode);
      }
      // Follows links; a dangling link or a vanished entry fails and is skipped.
      if ((type != DT_UNKNOWN || item.is_link) && fstatat(fd, name, &st, 0) != 0) continue;
      if (S_ISREG(st.st_mode)) {
        item.is_folder = false;
        item.size = static_cast<uint64_t>(st.st_size);
      } else if (S_ISDIR(st.st_mode)) {
        item.is_folder = true;
        item.size = 0;
      } else {
        continue;
      }
      item.write_time = FileTimeFromUnix(static_cast<int64_t>(st.st_mtim.tv_sec), st.st_mtim.tv_nsec);
      visit(item);
    }
    closedir(dir);
    // A read error part-way through is a failure even if items were reported.
    return error == 0;
  }

  // Resolves `path` the way the system would, one component at a time, for
  // results too long to be had in one call: "." and ".." are applied to the
  // text resolved so far, and a link's target takes the place of the link.
  static bool ResolveByComponents(const std::string& path, std::string* real) {
    std::string start = path;
    if (start.empty() || start[0] != '/') {
      std::string cwd;
      if (!Default()->GetCurrentFolder(&cwd)) return false;
      start = cwd + "/" + start;
    }
    std::vector<std::string> todo;  // components still to resolve, last first
    auto push_components = [&todo](const std::string& text) {
      std::vector<std::string> parts;
      size_t pos = 0;
      while (pos <= text.size()) {
        size_t end = text.find('/', pos);
        if (end == std::string::npos) end = text.size();
        if (end > pos) parts.push_back(text.substr(pos, end - pos));
        pos = end + 1;
      }
      todo.insert(todo.end(), parts.rbegin(), parts.rend());
    };
    push_components(start);
    std::vector<size_t> ends;  // where each resolved component ends in `out`
    std::string out;
    int dir = open("/", kPathOnly | O_DIRECTORY | O_CLOEXEC);  // the folder `out` names
    int links = 0;
    bool ok = dir >= 0;
    while (ok && !todo.empty()) {
      const std::string part = todo.back();
      todo.pop_back();
      if (part == ".") continue;
      int next = -1;
      if (part == "..") {
        if (!ends.empty()) ends.pop_back();
        out.resize(ends.empty() ? 0 : ends.back());
        next = openat(dir, "..", kPathOnly | O_DIRECTORY | O_CLOEXEC);
      } else {
        struct stat st {};
        ok = fstatat(dir, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (ok && S_ISLNK(st.st_mode)) {
          std::string target;
          ok = ++links <= 40 && ReadLinkAt(dir, part, &target);
          if (ok && target[0] == '/') {
            ends.clear();
            out.clear();
            next = open("/", kPathOnly | O_DIRECTORY | O_CLOEXEC);
            ok = next >= 0;
            CloseKeepErrno(dir);
            dir = next;
          }
          if (ok) push_components(target);
          continue;
        }
        if (ok) {
          next = openat(dir, part.c_str(), kPathOnly | O_NOFOLLOW | O_CLOEXEC);
          out += "/" + part;
          ends.push_back(out.size());
        }
      }
      if (!ok) break;
      ok = next >= 0;
      CloseKeepErrno(dir);
      dir = next;
    }
    CloseKeepErrno(dir);
    if (!ok) return false;
    *real = out.empty() ? "/" : out;
    return true;
  }

  static bool ReadLinkAt(int dir, const std::string& name, std::string* target) {
    std::vector<char> buf(256);
    for (;;) {
      const ssize_t n = readlinkat(dir, name.c_str(), buf.data(), buf.size());
      if (n < 0) return false;
      if (static_cast<size_t>(n) < buf.size()) {
        target->assign(buf.data(), static_cast<size_t>(n));
        return !target->empty();
      }
      if (buf.size() >= (1u << 20)) return false;
      buf.resize(buf.size() * 2);
    }
  }
};

}  // namespace

void GiveWayToOtherThreads() {
#ifdef __linux__
  // A thread id names that one thread here, not the whole process.
  const id_t self = static_cast<id_t>(syscall(SYS_gettid));
  errno = 0;
  const int now = getpriority(PRIO_PROCESS, self);
  if (errno == 0) setpriority(PRIO_PROCESS, self, std::min(now + 10, 19));
#endif
}

void ReturnFreeMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

Env* Env::Default() {
  static Env* const env = new PosixEnv;
  return env;
}

}  // namespace vellora
