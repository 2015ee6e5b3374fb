// The window shown while a build runs ("创建 HTML 文件"): the Folder and File
// lines (read-only), the bar, and a Cancel button. Cancel, Esc and the close
// box ask the build to stop, once; the window stays until the build ends.
#ifndef VELLORA_UI_QT_PROGRESS_WINDOW_H_
#define VELLORA_UI_QT_PROGRESS_WINDOW_H_

#include <QDialog>

#include <functional>

#include "sheet/desktop.h"

class QLineEdit;
class QPushButton;

namespace vellora {

class CProgressBar;
class CProgressMailbox;

class CProgressWindow : public QDialog {
  Q_OBJECT

 public:
  // `cancel` is called at most once.
  CProgressWindow(std::function<void()> cancel, QWidget* parent = nullptr);

  // Shows a report: the lines it sets and the bar when it moves.
  void Show(const CProgressLines& lines);
  // Shows the window over its owner, which takes no input meanwhile, runs
  // `work` on a thread of its own while showing what comes through
  // `mailbox`, and returns when the work has ended.
  void Run(const std::function<void()>& work, CProgressMailbox* mailbox);

  QLineEdit* folderLine() const { return folder_; }
  QLineEdit* fileLine() const { return file_; }
  CProgressBar* bar() const { return bar_; }
  QPushButton* cancelButton() const { return cancel_button_; }

  // Esc and the close box: the same as Cancel; the window stays.
  void reject() override;

 private:
  void Cancel();

  std::function<void()> cancel_;
  bool cancelled_ = false;
  QLineEdit* folder_;
  QLineEdit* file_;
  CProgressBar* bar_;
  QPushButton* cancel_button_;
};

}  // namespace vellora

#endif  // VELLORA_UI_QT_PROGRESS_WINDOW_H_
