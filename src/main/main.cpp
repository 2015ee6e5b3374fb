// vellora: writes HTML index pages for folders.
#include <clocale>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "startup/command_line.h"
#include "startup/index_app.h"
#include "platform/env.h"
#ifdef _WIN32
#include "ui/win32/win32_sheet.h"
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  // The tail of the command line as the system gives it, program name skipped.
  const std::string line = vellora::StripEnclosingQuotes(vellora::CommandLineTail(GetCommandLineA()));
  // Without a configuration file to build from, the settings window opens;
  // where no window can be shown, start-up says how to start the program.
  if (line.empty() && vellora::RunWin32Sheet(vellora::Env::Default()) == 0) return 0;
#else
  std::setlocale(LC_ALL, "");
  const std::string line = vellora::JoinArguments(argc, argv);
#endif
  vellora::CIndexApp app(vellora::Env::Default());
  return app.InitInstance(line);
}
