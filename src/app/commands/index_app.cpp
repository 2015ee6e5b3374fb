#include "app/commands/index_app.h"

#include "app/commands/batch_mode.h"
#include "app/commands/command_line.h"
#include "app/main_sheet.h"

namespace vellora {

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
    case CommandLineAction::kBatch:
      break;
  }

  // The sheet holds the stored settings; it finds the program's folder itself.
  CMainSheet sheet(env_);

  const BatchOutcome outcome = RunBatchMode(&sheet, command_line);
  for (const std::string& warning : outcome.warnings) {
    std::fprintf(err, "vellora: warning: %s\n", warning.c_str());
  }
  if (!outcome.message.empty()) {
    std::fprintf(err, "vellora: %s\n", outcome.message.c_str());
    std::fflush(err);
  }
  return outcome.status;
}

}  // namespace vellora
