#include "ui/win32/progress_window.h"

#include <commctrl.h>

#include <string>
#include <system_error>
#include <thread>

#include "ui/win32/progress_bar.h"
#include "ui/win32/resource.h"
#include "ui/win32/text_conversion.h"
#include "ui/win32/win32_desktop.h"

namespace vellora {

namespace {

constexpr UINT kLinesArrived = WM_APP + 1;
constexpr UINT kWorkEnded = WM_APP + 2;

}  // namespace

INT_PTR CALLBACK CProgressWindow::DialogProc(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    SetFocus(GetDlgItem(window, IDCANCEL));
    return FALSE;
  }
  auto* self = reinterpret_cast<CProgressWindow*>(GetWindowLongPtrW(window, DWLP_USER));
  if (self == nullptr) return FALSE;
  switch (message) {
    case kLinesArrived:
      self->ShowLines(window);
      return TRUE;
    case kWorkEnded:
      self->ended_ = true;
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDCANCEL) self->Cancel(window);
      return TRUE;
    case WM_CLOSE:
      self->Cancel(window);
      return TRUE;
    default:
      return FALSE;
  }
}

void CProgressWindow::ShowLines(HWND window) {
  // Cleared before taking, so that a report posted meanwhile wakes the
  // window again.
  wake_posted_ = false;
  CProgressLines lines;
  if (!mailbox_.Take(&lines)) return;
  if (lines.folder_changed) {
    const std::wstring folder =
        lines.folder_is_path ? WideFromAnsi(lines.folder_line) : WideFromText(lines.folder_line);
    SetDlgItemTextW(window, IDC_PROGRESS_FOLDER, folder.c_str());
  }
  SetDlgItemTextW(window, IDC_PROGRESS_FILE,
                  WideFromText(lines.file_line).c_str());
  if (lines.bar_changed) {
    SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, lines.bar_high);
    SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETPOS,
                        static_cast<WPARAM>(lines.bar_position), 0);
  }
  UpdateWindow(window);
}

void CProgressWindow::Cancel(HWND window) {
  if (cancelled_ || run_ == nullptr) return;
  cancelled_ = true;
  run_->cancel();
  HWND button = GetDlgItem(window, IDCANCEL);
  SetWindowTextW(button, L"正在取消...");
  EnableWindow(button, FALSE);
  SetFocus(window);
}

void CProgressWindow::Post(const CProgressLines& lines) {
  mailbox_.Post(lines);
  HWND window = window_;
  if (window != nullptr && !wake_posted_.exchange(true)) {
    PostMessageW(window, kLinesArrived, 0, 0);
  }
}

void CProgressWindow::Run(HWND owner, const CBuildRun& run) {
  CProgressLines stale;
  mailbox_.Take(&stale);  // an earlier build's last report
  run_ = &run;
  cancelled_ = false;
  ended_ = false;
  wake_posted_ = false;
  HWND window = nullptr;
  if (RegisterProgressBarClass()) {
    window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROGRESS), owner,
                                DialogProc, reinterpret_cast<LPARAM>(this));
  }
  if (window == nullptr) {
    // No window: the build still runs, as batch mode runs it.
    run.work();
    run_ = nullptr;
    return;
  }
  if (owner != nullptr) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  window_ = window;

  std::thread worker;
  try {
    worker = std::thread([&run, window] {
      run.work();
      // The window's thread waits for this message: a full queue only
      // delays it.
      while (!PostMessageW(window, kWorkEnded, 0, 0)) Sleep(10);
    });
  } catch (const std::system_error&) {
    run.work();
    ended_ = true;
  }
  bool quit = false;
  WPARAM quit_code = 0;
  MSG message;
  while (!ended_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // The program is asked to end: stop the build, and pass the request
      // on once it has stopped.
      quit = got == 0;
      quit_code = message.wParam;
      Cancel(window);
      break;
    }
    if (!IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (worker.joinable()) worker.join();
  window_ = nullptr;
  // The owner first, so that it becomes the active window again.
  if (owner != nullptr) EnableWindow(owner, TRUE);
  DestroyWindow(window);
  run_ = nullptr;
  if (quit) PostQuitMessage(static_cast<int>(quit_code));
}

void CWin32Desktop::RunBuild(const CBuildRun& run) { progress_.Run(owner_, run); }

void CWin32Desktop::ShowProgress(const CProgressLines& lines) { progress_.Post(lines); }

}  // namespace vellora
