// The settings window on Qt Widgets: five tabs, the Build and Exit buttons,
// and the function keys. A thin view over CSheetModel: it shows the model's
// controls, writes every edit back into them at once and again before a
// command, and runs the model's commands.
#ifndef VELLORA_UI_QT_SHEET_WINDOW_H_
#define VELLORA_UI_QT_SHEET_WINDOW_H_

#include <QDialog>

#include <functional>

#include "settings/controls.h"
#include "sheet/sheet.h"

class QPushButton;
class QTabWidget;

namespace vellora {

class CBitmapWidget;
class CIconButton;

class CSheetWindow : public QDialog {
  Q_OBJECT

 public:
  // `model` is not owned and must outlive the window. The window watches
  // the whole application's keys while it exists.
  explicit CSheetWindow(CSheetModel* model, QWidget* parent = nullptr);
  ~CSheetWindow() override;

  // Shows the model's controls, title and page.
  void Refresh();
  // Writes every control and the page shown into the model.
  void WriteBack();
  // Runs a command as its key or button does.
  void Run(SheetCommand command);

  QTabWidget* tabs() const { return tabs_; }
  QWidget* control(ControlId id) const { return controls_[static_cast<int>(id)]; }
  QPushButton* buildButton() const { return build_; }
  QPushButton* exitButton() const { return exit_; }

  // Every way out (Exit, Esc, the close box) passes here once.
  void done(int result) override;

 protected:
  // Runs the function keys of the table before any widget of this window
  // sees them.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* MakeFolderFilesPage();
  QWidget* MakeMiscPage();
  QWidget* MakeRecursionPage();
  QWidget* MakeButtonPage(int page);
  QWidget* MakeControl(ControlId id);
  // A page with the background; sized from its dialog units.
  CBitmapWidget* MakePage(int page);
  // A raised, transparent icon button with its tooltip.
  CIconButton* MakeButton(const char* label, const char* tooltip, int page);
  void SetTooltip(QWidget* widget, const char* text, int page);
  // Writes back, runs `action` on the model, shows the result.
  void Act(const std::function<void()>& action);
  void WriteControl(ControlId id);
  bool BelongsHere(QObject* watched) const;

  CSheetModel* model_;
  QTabWidget* tabs_ = nullptr;
  QPushButton* build_ = nullptr;
  QPushButton* exit_ = nullptr;
  QWidget* controls_[kControlCount] = {};
  bool refreshing_ = false;
  bool closed_ = false;
};

}  // namespace vellora

#endif  // VELLORA_UI_QT_SHEET_WINDOW_H_
