// The progress window of a build ("创建 HTML 文件"): the Folder and File
// lines, the bar and Cancel. The build runs on a worker thread while the
// window's thread keeps the window painting; the build's reports reach the
// window through a mailbox and a posted message, never by waiting on it.
#ifndef VELLORA_UI_WIN32_PROGRESS_WINDOW_H_
#define VELLORA_UI_WIN32_PROGRESS_WINDOW_H_

#include <windows.h>
// The desktop's method of that name must not become MessageBoxA here only.
#undef MessageBox

#include <atomic>

#include "sheet/desktop.h"
#include "sheet/progress_mailbox.h"

namespace vellora {

class CProgressWindow {
 public:
  // Opens the window owned by `owner` and disables the owner, runs
  // `run.work` on a worker thread and handles messages until it ends; then
  // enables the owner and destroys the window. Cancel (the button or Esc)
  // calls `run.cancel` once and the window shows that it is cancelling; the
  // window stays until the work returns.
  void Run(HWND owner, const CBuildRun& run);
  // Called from the worker: hands the lines to the window's thread.
  void Post(const CProgressLines& lines);

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void ShowLines(HWND window);
  void Cancel(HWND window);

  CProgressMailbox mailbox_;
  std::atomic<HWND> window_{nullptr};
  // A wake-up message is on its way: further reports only fill the mailbox.
  std::atomic<bool> wake_posted_{false};
  const CBuildRun* run_ = nullptr;
  bool cancelled_ = false;
  bool ended_ = false;
};

}  // namespace vellora

#endif  // VELLORA_UI_WIN32_PROGRESS_WINDOW_H_
