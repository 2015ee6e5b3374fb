// The desktop of the settings window on Qt: message boxes, Qt's file and
// folder dialogs, the desktop's default handler for opening files, the
// sheet's modal dialogs, and the progress window of a build, which runs the
// build on a worker thread.
#ifndef VELLORA_UI_QT_QT_DESKTOP_H_
#define VELLORA_UI_QT_QT_DESKTOP_H_

#include <QString>
#include <QStringList>

#include <string>

#include "sheet/desktop.h"
#include "sheet/progress_mailbox.h"

class QWidget;

namespace vellora {

// The filter as the sheet writes it ("text |patterns|text |patterns|") in
// Qt's form: "text (p1 p2)" per choice.
QStringList QtNameFilters(const std::string& filter);

class CQtDesktop : public CDesktop {
 public:
  // The dialogs are owned by `owner` (may be null until the window exists).
  explicit CQtDesktop(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }

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
  // What a box or dialog is shown over: the dialog open now, else the owner.
  QWidget* Parent() const;

  QWidget* owner_;
  CProgressMailbox mailbox_;
};

}  // namespace vellora

#endif  // VELLORA_UI_QT_QT_DESKTOP_H_
