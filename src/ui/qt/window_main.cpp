// vellora-window: the settings window on a Linux desktop. It reads the
// default configuration file, shows the sheet and writes the file again on
// every way out.
#include <QApplication>

#include <cstdio>

#include "platform/env.h"
#include "settings/main_sheet.h"
#include "sheet/sheet.h"
#include "startup/batch_mode.h"
#include "startup/command_line.h"
#include "ui/qt/display_check.h"
#include "ui/qt/icon_button.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/sheet_window.h"

int main(int argc, char** argv) {
  // Without a display there is no window: say how the program is started,
  // as the program itself does.
  if (!vellora::DisplayReachable()) {
    std::fputs(vellora::UsageText(), stderr);
    return vellora::kExitNoConfig;
  }
  QApplication app(argc, argv);
  // The desktop matches the window to its menu entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("vellora"));
  QApplication::setWindowIcon(vellora::ProgramIcon());
  vellora::CMainSheet stored(vellora::Env::Default());
  vellora::CQtDesktop desktop;
  vellora::CSheetModel model(&stored, &desktop);
  model.Open();
  vellora::CSheetWindow window(&model);
  desktop.SetOwner(&window);
  window.exec();
  return 0;
}
