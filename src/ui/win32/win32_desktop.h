// The desktop the settings window asks things of, over Win32: message
// boxes, the common file dialogs, the shell's folder browser, the shell's
// "open", the system beep, the progress window of a build (defined in
// progress_window.cpp) and the modal dialogs (win32_dialogs.cpp). Texts are
// shown through the system's UTF-16 functions; names and paths are in the
// ANSI code page.
#ifndef VELLORA_UI_WIN32_WIN32_DESKTOP_H_
#define VELLORA_UI_WIN32_WIN32_DESKTOP_H_

#include <windows.h>
// The desktop's method of that name must not become MessageBoxA here only.
#undef MessageBox

#include <string>

#include "sheet/desktop.h"
#include "ui/win32/progress_window.h"

namespace vellora {

class CWin32Desktop : public CDesktop {
 public:
  // The window that owns every box and dialog; may change once it exists.
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND owner() const { return owner_; }

  void MessageBox(const std::string& text, const std::string& caption,
                  MessageIcon icon) override;
  bool OpenFileDialog(const CFileDialogRequest& request, std::string* chosen) override;
  bool SaveFileDialog(const CFileDialogRequest& request, std::string* chosen) override;
  bool BrowseForFolder(const CFolderBrowseRequest& request, std::string* chosen) override;
  bool ShellOpen(const std::string& path) override;
  void Beep() override;

  DialogResult ShowSortOptions(CSortOptionsModel* model) override;
  DialogResult ShowDefaultWords(CDefaultWordsModel* model) override;
  DialogResult ShowMoreOptions(CMoreOptionsModel* model) override;
  DialogResult ShowRecursiveOptions(CRecursiveOptionsModel* model) override;
  DialogResult ShowFrameFiles(CFrameFilesModel* model) override;
  void ShowFileCreated(CFileCreatedModel* model) override;
  void ShowAbout() override;
  void ShowDistributionTerms(const std::string& background_bitmap) override;

  void RunBuild(const CBuildRun& run) override;
  void ShowProgress(const CProgressLines& lines) override;

 private:
  bool FileDialog(const CFileDialogRequest& request, bool save, std::string* chosen);

  HWND owner_ = nullptr;
  CProgressWindow progress_;
};

// The filter (a text) as the common file dialogs take it: each '|' becomes a
// NUL, and the list ends with two NULs.
std::wstring FileDialogFilter(const std::string& filter);

}  // namespace vellora

#endif  // VELLORA_UI_WIN32_WIN32_DESKTOP_H_
