// The folder watch over directory-change notifications. The first folder
// added is watched with everything below it, so one request covers a whole
// tree; folders added later inside it need nothing more. An event set by
// Stop() (and by the console's control handler) ends a wait.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "platform/folder_watch.h"

namespace vellora {

namespace {

constexpr DWORD kNotify = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                          FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE |
                          FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_CREATION;

// The stop event the console's control handler sets; one watch at a time.
std::atomic<HANDLE> g_stop_event{nullptr};

BOOL WINAPI OnConsoleControl(DWORD) {
  const HANDLE stop = g_stop_event.load();
  if (stop == nullptr) return FALSE;
  SetEvent(stop);
  return TRUE;  // handled: the watch ends the program itself
}

std::string AnsiFromWideText(const wchar_t* text, int length) {
  if (length <= 0) return std::string();
  const int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], n, nullptr, nullptr);
  return out;
}

class DirectoryChangesWatch : public CFolderWatch {
 public:
  DirectoryChangesWatch(HANDLE stop, HANDLE ready) : stop_(stop), ready_(ready) {}

  ~DirectoryChangesWatch() override {
    if (handler_set_) {
      SetConsoleCtrlHandler(OnConsoleControl, FALSE);
      g_stop_event.store(nullptr);
    }
    if (folder_ != INVALID_HANDLE_VALUE) {
      if (armed_) {
        CancelIo(folder_);
        DWORD bytes = 0;
        GetOverlappedResult(folder_, &overlapped_, &bytes, TRUE);
      }
      CloseHandle(folder_);
    }
    CloseHandle(ready_);
    CloseHandle(stop_);
  }

  bool Add(const std::string& folder) override {
    if (folder_ != INVALID_HANDLE_VALUE) return true;  // below the tree already watched
    folder_ = CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (folder_ == INVALID_HANDLE_VALUE) return false;
    root_ = folder;
    if (!root_.empty() && root_.back() == '\\') root_.pop_back();
    return Arm();
  }

  Result Wait(int timeout_ms, std::vector<FolderChange>* changes) override {
    const HANDLE handles[2] = {stop_, ready_};
    const DWORD count = armed_ ? 2 : 1;
    const DWORD waited =
        WaitForMultipleObjects(count, handles, FALSE, timeout_ms < 0 ? INFINITE : timeout_ms);
    if (waited == WAIT_OBJECT_0) return Result::kStopped;
    if (waited == WAIT_TIMEOUT) return Result::kTimeout;
    if (waited != WAIT_OBJECT_0 + 1) return Result::kFailed;
    DWORD bytes = 0;
    armed_ = false;
    if (!GetOverlappedResult(folder_, &overlapped_, &bytes, FALSE)) return Result::kFailed;
    // No bytes: the system's buffer ran over and the changes were lost.
    const Result result = bytes == 0 ? Result::kOverflow : Parse(bytes, changes);
    if (!Arm()) return Result::kFailed;
    return result;
  }

  void Stop() override { SetEvent(stop_); }

  bool StopOnInterrupt() override {
    HANDLE expected = nullptr;
    if (!g_stop_event.compare_exchange_strong(expected, stop_)) return false;
    handler_set_ = SetConsoleCtrlHandler(OnConsoleControl, TRUE) != 0;
    if (!handler_set_) g_stop_event.store(nullptr);
    return handler_set_;
  }

 private:
  bool Arm() {
    std::memset(&overlapped_, 0, sizeof overlapped_);
    ResetEvent(ready_);
    overlapped_.hEvent = ready_;
    armed_ = ReadDirectoryChangesW(folder_, buffer_, sizeof buffer_, TRUE, kNotify, nullptr,
                                   &overlapped_, nullptr) != 0;
    return armed_;
  }

  Result Parse(DWORD bytes, std::vector<FolderChange>* changes) {
    size_t at = 0;
    bool any = false;
    while (at + sizeof(FILE_NOTIFY_INFORMATION) <= bytes) {
      FILE_NOTIFY_INFORMATION info;
      std::memcpy(&info, buffer_ + at, sizeof info);
      const size_t name_at = at + offsetof(FILE_NOTIFY_INFORMATION, FileName);
      const size_t name_bytes = info.FileNameLength;
      if (name_at + name_bytes > bytes) break;
      std::vector<wchar_t> name(name_bytes / sizeof(wchar_t));
      if (!name.empty()) std::memcpy(name.data(), buffer_ + name_at, name.size() * sizeof(wchar_t));
      // The name is relative to the watched folder: its last part is the
      // name, the rest the folder below the watched one.
      const std::string relative = AnsiFromWideText(name.data(), static_cast<int>(name.size()));
      const size_t slash = relative.rfind('\\');
      FolderChange change;
      change.folder = slash == std::string::npos ? root_ : root_ + "\\" + relative.substr(0, slash);
      change.name = slash == std::string::npos ? relative : relative.substr(slash + 1);
      changes->push_back(std::move(change));
      any = true;
      if (info.NextEntryOffset == 0) break;
      at += info.NextEntryOffset;
    }
    return any ? Result::kChanges : Result::kTimeout;
  }

  HANDLE stop_;
  HANDLE ready_;
  HANDLE folder_ = INVALID_HANDLE_VALUE;
  std::string root_;
  OVERLAPPED overlapped_{};
  bool armed_ = false;
  bool handler_set_ = false;
  alignas(DWORD) BYTE buffer_[64 * 1024];
};

}  // namespace

std::unique_ptr<CFolderWatch> NewSystemFolderWatch() {
  const HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (stop == nullptr) return nullptr;
  const HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (ready == nullptr) {
    CloseHandle(stop);
    return nullptr;
  }
  return std::make_unique<DirectoryChangesWatch>(stop, ready);
}

}  // namespace vellora
