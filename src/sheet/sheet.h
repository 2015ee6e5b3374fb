// The settings window without its toolkit: the stored values (CMainSheet),
// what the pages' controls hold while the window is open, and every command
// of the window as an operation. A window shows `controls`, writes the
// user's edits back into it, and calls the operations; everything the
// operations ask of the user goes through the CDesktop.
#ifndef VELLORA_SHEET_SHEET_H_
#define VELLORA_SHEET_SHEET_H_

#include <cstdint>
#include <string>

#include "modes/run_build.h"
#include "scan/build_progress.h"
#include "settings/main_sheet.h"
#include "sheet/desktop.h"
#include "sheet/sheet_keys.h"

namespace vellora {

// The pages, in the order of their tabs.
constexpr int kPageCount = 5;

// The texts the progress window shows for a report of the build.
CProgressLines ProgressLinesFor(const CBuildProgress& progress);

class CSheetModel {
 public:
  // Neither is owned; both must outlive the model.
  CSheetModel(CMainSheet* stored, CDesktop* desktop);

  // The window opens: reads the configuration file in use, fills the
  // controls and turns to the page shown last (the first page when the
  // stored index is not one of the five).
  void Open();
  // Sets the controls from the stored values; the active page stays.
  void Refresh();
  const std::string& Title() const { return stored_->caption; }

  // The date and time boxes hold each other: a time needs a date.
  void SetIncludeTime(bool on);
  void SetIncludeDate(bool on);

  // Runs a command (a function key or a button).
  void Run(SheetCommand command);
  // A key-down of F1 to F12: runs its command and returns true (the key is
  // swallowed), or returns false for a key that goes on.
  bool OnFunctionKey(int function_key, bool ctrl);

  void Build();
  void SaveBatchFile();
  void ReadConfigurationFile();
  void WriteConfigurationFile();
  void OpenOutputFile();
  void EditCustomHtmlFile();
  void SortOptions();
  void DefaultWords();
  void MoreOptions();
  void ChangeBackground();
  void About();
  void Help();
  void DistributionTerms();
  // Every way out (the Exit button, Esc, the close box): writes the default
  // configuration file from the controls.
  void Exit();

  // The choosers of the first page.
  void BrowseFolder();
  void BrowseSkipFolder();
  void ChooseOutputFile();
  void ChooseCustomFile();

  // Fills the stored settings from the controls for a build; shows the
  // recursive build options first for a one-page-per-folder build. 0 when
  // the user abandoned the build there, 1 otherwise.
  int ExchangeFromControls();

  CControlValues controls;
  CMainSheet& stored() { return *stored_; }

 private:
  // Hands the engine's progress reports to the desktop's progress window.
  struct ProgressRelay : CProgressView {
    explicit ProgressRelay(CSheetModel* m) : model(m) {}
    void Notify(CBuildProgress& progress) override;
    CSheetModel* model;
  };
  // Runs the engine on the stored settings, through the desktop's build seam.
  struct EngineResult {
    std::string main_file_path;
    int32_t pages_written = 0;
    bool cancelled = false;
  };
  EngineResult RunEngine(const FrameFiles& frames);
  std::string StartFolder() const;
  bool FolderUsable(const std::string& folder);
  void ShowMessage(const std::string& text, const std::string& caption);

  CMainSheet* stored_;
  CDesktop* desktop_;
  Env* env_;
  CBuildProgress progress_;
  ProgressRelay relay_{this};
};

}  // namespace vellora

#endif  // VELLORA_SHEET_SHEET_H_
