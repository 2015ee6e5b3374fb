// Everything the settings window asks of the desktop it runs on: message
// boxes, file and folder choosers, the shell, the modal option dialogs and
// the progress window of a build. Each window (Win32, Qt) implements it; the
// sheet's commands use nothing else, so they run and are tested without any
// toolkit.
//
// Texts meant to be read (messages, captions, titles, filters, progress
// lines, dialog texts) are in the program's own text encoding, any name in
// them already recoded (Env::NameAsText). Names and paths handed over as
// such (initial names and folders, chosen paths, what the shell opens) are
// in the system's narrow encoding, as everywhere else in the program.
#ifndef VELLORA_SHEET_DESKTOP_H_
#define VELLORA_SHEET_DESKTOP_H_

#include <functional>
#include <string>

namespace vellora {

class CSortOptionsModel;
class CDefaultWordsModel;
class CRecursiveOptionsModel;
class CMoreOptionsModel;
class CFrameFilesModel;
class CFileCreatedModel;

enum class MessageIcon { kNone, kInformation, kWarning, kError };

// How a modal dialog ended.
enum class DialogResult { kOk, kCancel };

// An open-style or save-style file dialog. The filter is written as the
// design gives it: "text |patterns|text |patterns|", each pair one choice.
// Every dialog hides the read-only box and leaves the current folder alone.
struct CFileDialogRequest {
  std::string title;           // empty: the system's
  std::string initial_folder;  // empty: the folder of initial_name, or the system's
  std::string initial_name;    // may hold a folder
  std::string filter;
  std::string default_extension;  // without a dot; empty: none
  bool must_exist = false;
  bool prompt_overwrite = false;
};

// The folder browser: file-system folders only, a status line that shows
// the selected folder's path.
struct CFolderBrowseRequest {
  std::string title;
  // Selected when the browser opens; empty: the current folder.
  std::string start_folder;
};

// The three lines of the progress window. The Folder line is set only when
// folder_changed, the bar only when bar_changed; its range is 0 to bar_high.
// The File line is always one of the program's own texts; the Folder line is
// one too unless folder_is_path: then it is a folder's path, which may be in
// another code page than the program's texts (Windows: the system's ANSI code
// page against the texts' 936).
struct CProgressLines {
  bool folder_changed = true;
  bool folder_is_path = false;
  std::string folder_line;
  std::string file_line;
  bool bar_changed = false;
  int bar_high = 0;
  int bar_position = 0;
};

// One build to run while the progress window ("创建 HTML 文件") is shown.
struct CBuildRun {
  // The build itself; it calls the desktop's ShowProgress while it works.
  std::function<void()> work;
  // Asks the build to stop (the window's Cancel button); callable from any
  // thread.
  std::function<void()> cancel;
};

class CDesktop {
 public:
  virtual ~CDesktop() = default;

  // A message box with one OK button, owned by the sheet.
  virtual void MessageBox(const std::string& text, const std::string& caption,
                          MessageIcon icon) = 0;
  // True with the chosen full path in `chosen`; false when cancelled.
  virtual bool OpenFileDialog(const CFileDialogRequest& request, std::string* chosen) = 0;
  virtual bool SaveFileDialog(const CFileDialogRequest& request, std::string* chosen) = 0;
  // True with the chosen folder's path; false when cancelled or when the
  // selection has no file-system path.
  virtual bool BrowseForFolder(const CFolderBrowseRequest& request, std::string* chosen) = 0;
  // Opens a file with the program registered for its type ("open" verb,
  // normal window) without waiting; false when that failed.
  virtual bool ShellOpen(const std::string& path) = 0;
  virtual void Beep() = 0;

  // The modal dialogs: the view shows the model, lets the user change it
  // through the model's operations and returns how the dialog ended.
  virtual DialogResult ShowSortOptions(CSortOptionsModel* model) = 0;
  virtual DialogResult ShowDefaultWords(CDefaultWordsModel* model) = 0;
  virtual DialogResult ShowMoreOptions(CMoreOptionsModel* model) = 0;
  virtual DialogResult ShowRecursiveOptions(CRecursiveOptionsModel* model) = 0;
  virtual DialogResult ShowFrameFiles(CFrameFilesModel* model) = 0;
  virtual void ShowFileCreated(CFileCreatedModel* model) = 0;
  virtual void ShowAbout() = 0;
  // The distribution terms, over the background bitmap file named (the
  // built-in picture when it cannot be loaded).
  virtual void ShowDistributionTerms(const std::string& background_bitmap) = 0;

  // Opens the progress window, runs `run.work` (a window runs it on a
  // worker thread and keeps painting; the sheet takes no input meanwhile),
  // then closes the window. Returns when the work has ended.
  virtual void RunBuild(const CBuildRun& run) = 0;
  // New texts for the progress window; called from the build's thread. A
  // window may drop reports that come faster than it can paint.
  virtual void ShowProgress(const CProgressLines& lines) = 0;
};

}  // namespace vellora

#endif  // VELLORA_SHEET_DESKTOP_H_
