// The application object: start-up decides between the interactive sheet
// and a build from a configuration file named on the command line.
#ifndef VELLORA_APP_COMMANDS_INDEX_APP_H_
#define VELLORA_APP_COMMANDS_INDEX_APP_H_

#include <cstdio>
#include <string>

#include "platform/env.h"

namespace vellora {

class CIndexApp {
 public:
  // `env` must outlive the application object.
  explicit CIndexApp(Env* env) : env_(env) {}

  // Runs the program for the command-line text `command_line` (the text
  // after the program name) and returns the process's exit status. Texts for
  // the user go to `out` (usage, version, the link check's report) and `err`
  // (usage errors, failures).
  // A build that runs out of memory ends with one line and kExitBuildFailed.
  int InitInstance(const std::string& command_line, std::FILE* out = stdout,
                   std::FILE* err = stderr);

  // Set by the program's entry, whose process ends when InitInstance
  // returns: a batch build then leaves its long lists for the system to
  // take back at exit (KeepReleasedListsToExit).
  bool process_ends_after_run = false;

 private:
  // "--check": the report on `out`, failures on `err`; the exit status.
  int RunCheck(const std::string& config_name, std::FILE* out, std::FILE* err);
  int RunWatch(const std::string& config_name, std::FILE* err);

  Env* env_;
};

}  // namespace vellora

#endif  // VELLORA_APP_COMMANDS_INDEX_APP_H_
