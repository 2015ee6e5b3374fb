// vellora-window: the settings window on a Linux desktop. It reads the
// default configuration file, shows the sheet and writes the file again on
// every way out.
#include <QApplication>

#include "platform/env.h"
#include "settings/main_sheet.h"
#include "sheet/sheet.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/sheet_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  vellora::CMainSheet stored(vellora::Env::Default());
  vellora::CQtDesktop desktop;
  vellora::CSheetModel model(&stored, &desktop);
  model.Open();
  vellora::CSheetWindow window(&model);
  desktop.SetOwner(&window);
  window.exec();
  return 0;
}
