#include "startup/index_app.h"

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "scan/file_list.h"
#include "startup/batch_mode.h"
#include "startup/command_line.h"
#include "startup/link_check.h"
#include "startup/watch_mode.h"
#include "settings/main_sheet.h"

namespace vellora {

namespace {

// A build that runs out of memory stops where it is: every page is written
// through a temporary file renamed into place, so the pages not yet written
// keep their old content and no temporary file stays. The message is a
// fixed text, printed without allocating.
int OutOfMemory(std::FILE* err) {
  std::fputs("vellora: out of memory\n", err);
  std::fflush(err);
  return kExitBuildFailed;
}

void PrintWarnings(const std::vector<std::string>& warnings, std::FILE* err) {
  for (const std::string& warning : warnings) {
    std::fprintf(err, "vellora: warning: %s\n", warning.c_str());
  }
}

}  // namespace

int CIndexApp::RunCheck(const std::string& config_name, std::FILE* out, std::FILE* err) {
  CheckOutcome outcome;
  try {
    CMainSheet sheet(env_);
    outcome = RunCheckMode(&sheet, config_name);
  } catch (const std::bad_alloc&) {
    return OutOfMemory(err);
  } catch (const std::length_error&) {
    return OutOfMemory(err);
  }
  PrintWarnings(outcome.warnings, err);
  for (const std::string& line : outcome.lines) std::fprintf(out, "%s\n", line.c_str());
  std::fflush(out);
  if (!outcome.message.empty()) {
    std::fprintf(err, "vellora: %s\n", outcome.message.c_str());
    std::fflush(err);
  }
  return outcome.status;
}

int CIndexApp::RunWatch(const std::string& config_name, std::FILE* err) {
  BatchOutcome outcome;
  try {
    CMainSheet sheet(env_);
    WatchOptions options;
    options.err = err;
    bool warned = false;
    // The configuration's warnings once, when it has been read.
    options.after_build = [&](const BatchOutcome&) {
      if (!warned) PrintWarnings(sheet.config_warnings, err);
      warned = true;
    };
    outcome = RunWatchMode(&sheet, config_name, options);
    if (!warned) PrintWarnings(sheet.config_warnings, err);
  } catch (const std::bad_alloc&) {
    return OutOfMemory(err);
  } catch (const std::length_error&) {
    return OutOfMemory(err);
  }
  if (!outcome.message.empty()) {
    std::fprintf(err, "vellora: %s\n", outcome.message.c_str());
    std::fflush(err);
  }
  return outcome.status;
}

int CIndexApp::InitInstance(const std::string& command_line, std::FILE* out, std::FILE* err) {
  switch (ClassifyCommandLine(command_line)) {
    case CommandLineAction::kUsage:
      // No window exists to open yet: say how the program is started.
      std::fputs(UsageText(), err);
      return kExitNoConfig;
    case CommandLineAction::kHelp:
      std::fputs(UsageText(), out);
      return kExitBuilt;
    case CommandLineAction::kVersion:
      std::fprintf(out, "%s\n", kSheetCaption);
      return kExitBuilt;
    case CommandLineAction::kCheck:
      return RunCheck(CheckConfigName(command_line), out, err);
    case CommandLineAction::kWatch:
      return RunWatch(WatchConfigName(command_line), err);
    case CommandLineAction::kBatch:
      if (process_ends_after_run) KeepReleasedListsToExit();
      break;
  }

  BatchOutcome outcome;
  try {
    // The sheet holds the stored settings; it finds the program's folder itself.
    CMainSheet sheet(env_);
    outcome = RunBatchMode(&sheet, command_line);
  } catch (const std::bad_alloc&) {
    return OutOfMemory(err);
  } catch (const std::length_error&) {
    // A size beyond what a string or list can hold.
    return OutOfMemory(err);
  }
  PrintWarnings(outcome.warnings, err);
  if (!outcome.message.empty()) {
    std::fprintf(err, "vellora: %s\n", outcome.message.c_str());
    std::fflush(err);
  }
  return outcome.status;
}

}  // namespace vellora
