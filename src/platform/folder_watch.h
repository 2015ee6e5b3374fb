// Tells when what folders hold changes: a file or folder added, removed,
// renamed, written or given a new time. Made by Env::NewFolderWatch(); the
// system backends are inotify on Linux and directory-change notifications
// on Windows.
#ifndef VELLORA_PLATFORM_FOLDER_WATCH_H_
#define VELLORA_PLATFORM_FOLDER_WATCH_H_

#include <memory>
#include <string>
#include <vector>

namespace vellora {

// One change: the folder (a full path, as it was added or met below an
// added one) and the name in it that changed. A folder that itself went
// away is reported with an empty name.
struct FolderChange {
  std::string folder;
  std::string name;
};

class CFolderWatch {
 public:
  virtual ~CFolderWatch() = default;

  // Starts watching what `folder` holds. A backend may watch the folders
  // below it too; callers add each folder they care about anyway. Adding a
  // folder twice is harmless. False when it cannot be watched.
  virtual bool Add(const std::string& folder) = 0;

  enum class Result {
    kChanges,   // `changes` got at least one change
    kTimeout,   // nothing happened in time
    kOverflow,  // the system lost changes: everything may have changed
    kStopped,   // Stop() was called
    kFailed,    // the watch no longer works
  };
  // Waits at most `timeout_ms` milliseconds (negative: without end) for
  // changes and appends them to `changes`.
  virtual Result Wait(int timeout_ms, std::vector<FolderChange>* changes) = 0;

  // True when every change in a watched folder is reported, naming that
  // folder, so that what was read of a folder stays true until a change
  // names it. A backend that may miss changes (or report them only for an
  // ancestor) says false, and its users read everything again.
  virtual bool NamesEveryChange() const { return false; }

  // Makes the current or next Wait return kStopped. Safe to call from any
  // thread and from a signal handler.
  virtual void Stop() = 0;

  // Until this object goes, the system's requests to end the program
  // (SIGINT and SIGTERM; on Windows Ctrl+C, Ctrl+Break and the console
  // closing) call Stop() instead. False when that cannot be arranged.
  virtual bool StopOnInterrupt() = 0;
};

// The system's watch (folder_watch_posix.cpp, folder_watch_win32.cpp), or
// null when the system cannot give one.
std::unique_ptr<CFolderWatch> NewSystemFolderWatch();

}  // namespace vellora

#endif  // VELLORA_PLATFORM_FOLDER_WATCH_H_
