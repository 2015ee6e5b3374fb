// The folder watch over inotify. Each added folder gets a watch descriptor;
// a pipe written by Stop() (and by the signal handlers) wakes the poll.
#include "platform/folder_watch.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace vellora {

namespace {

constexpr uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                             IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// The watch the signal handlers stop; one at a time.
std::atomic<int> g_stop_fd{-1};

void OnSignal(int) {
  const int saved = errno;
  const int fd = g_stop_fd.load();
  if (fd >= 0) {
    const char byte = 1;
    (void)!write(fd, &byte, 1);
  }
  errno = saved;
}

class InotifyWatch : public CFolderWatch {
 public:
  InotifyWatch(int inotify_fd, int stop_read, int stop_write)
      : fd_(inotify_fd), stop_read_(stop_read), stop_write_(stop_write) {}

  ~InotifyWatch() override {
    if (handlers_set_) {
      sigaction(SIGINT, &old_int_, nullptr);
      sigaction(SIGTERM, &old_term_, nullptr);
      g_stop_fd.store(-1);
    }
    close(fd_);
    close(stop_read_);
    close(stop_write_);
  }

  bool Add(const std::string& folder) override {
    const int wd = inotify_add_watch(fd_, folder.c_str(), kEvents);
    if (wd < 0) return false;
    folders_[wd] = folder;
    return true;
  }

  Result Wait(int timeout_ms, std::vector<FolderChange>* changes) override {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {stop_read_, POLLIN, 0}};
    for (;;) {
      const int n = poll(fds, 2, timeout_ms < 0 ? -1 : timeout_ms);
      if (n < 0 && errno == EINTR) continue;  // a signal's byte is read below
      if (n < 0) return Result::kFailed;
      if (n == 0) return Result::kTimeout;
      break;
    }
    if (fds[1].revents != 0) return Result::kStopped;
    return ReadEvents(changes);
  }

  // inotify reports each change to the watch of the folder it happened in.
  bool NamesEveryChange() const override { return true; }

  void Stop() override {
    const char byte = 1;
    (void)!write(stop_write_, &byte, 1);
  }

  bool StopOnInterrupt() override {
    int expected = -1;
    if (!g_stop_fd.compare_exchange_strong(expected, stop_write_)) return false;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &old_int_);
    sigaction(SIGTERM, &action, &old_term_);
    handlers_set_ = true;
    return true;
  }

 private:
  Result ReadEvents(std::vector<FolderChange>* changes) {
    alignas(inotify_event) char buffer[64 * 1024];
    bool overflow = false;
    bool any = false;
    for (;;) {
      const ssize_t got = read(fd_, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;  // EAGAIN: all read
      for (ssize_t at = 0; at < got;) {
        inotify_event event;
        std::memcpy(&event, buffer + at, sizeof event);
        const char* name = buffer + at + sizeof event;
        at += static_cast<ssize_t>(sizeof event + event.len);
        if ((event.mask & IN_Q_OVERFLOW) != 0) {
          overflow = true;
          continue;
        }
        const auto folder = folders_.find(event.wd);
        if (folder == folders_.end()) continue;
        if ((event.mask & IN_IGNORED) != 0) {  // the folder went away
          changes->push_back(FolderChange{folder->second, std::string()});
          folders_.erase(folder);
          any = true;
          continue;
        }
        const std::string changed = event.len > 0 ? std::string(name, strnlen(name, event.len))
                                                  : std::string();
        changes->push_back(FolderChange{folder->second, changed});
        any = true;
      }
    }
    if (overflow) return Result::kOverflow;
    return any ? Result::kChanges : Result::kTimeout;
  }

  int fd_;
  int stop_read_;
  int stop_write_;
  std::unordered_map<int, std::string> folders_;
  bool handlers_set_ = false;
  struct sigaction old_int_ {};
  struct sigaction old_term_ {};
};

}  // namespace

std::unique_ptr<CFolderWatch> NewSystemFolderWatch() {
  const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return nullptr;
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_NONBLOCK | O_CLOEXEC) != 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<InotifyWatch>(fd, pipe_fds[0], pipe_fds[1]);
}

}  // namespace vellora
