// vellora: writes HTML index pages for folders.
#include <clocale>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <cstdlib>
#endif

#include "startup/command_line.h"
#include "startup/index_app.h"
#include "platform/env.h"
#ifdef _WIN32
#include "ui/win32/win32_sheet.h"
#endif

#ifdef _WIN32
// A window program started from a console has no standard handles of its
// own unless they were redirected: then its messages go to the console of
// the program that started it, when there is one. Redirected handles are
// left alone.
static void UseParentConsole() {
  const auto unusable = [](DWORD which) {
    HANDLE handle = GetStdHandle(which);
    return handle == nullptr || handle == INVALID_HANDLE_VALUE ||
           GetFileType(handle) == FILE_TYPE_UNKNOWN;
  };
  if (!unusable(STD_OUTPUT_HANDLE) && !unusable(STD_ERROR_HANDLE)) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (unusable(STD_OUTPUT_HANDLE)) (void)std::freopen("CONOUT$", "w", stdout);
  if (unusable(STD_ERROR_HANDLE)) (void)std::freopen("CONOUT$", "w", stderr);
}
#else
// Started bare on a desktop, the program becomes its settings window, a
// program of its own beside this one: a batch run never loads the toolkit.
// Returns when there is no display or no window program to run.
static void RunWindowProgram(char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("QT_QPA_PLATFORM") == nullptr) {
    return;
  }
  const std::string self = vellora::Env::Default()->ExecutablePath();
  const size_t slash = self.rfind('/');
  if (slash == std::string::npos) return;
  const std::string window = self.substr(0, slash + 1) + "vellora-window";
  if (access(window.c_str(), X_OK) == 0) execv(window.c_str(), argv);
}
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
  UseParentConsole();
#else
  std::setlocale(LC_ALL, "");
  const std::string line = vellora::JoinArguments(argc, argv);
  if (line.empty()) RunWindowProgram(argv);
#endif
  vellora::CIndexApp app(vellora::Env::Default());
  app.process_ends_after_run = true;
  return app.InitInstance(line);
}
