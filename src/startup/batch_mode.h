// Batch mode: one build from a configuration file, without any window, and
// an outcome that tells a scheduled job whether its pages were written.
#ifndef VELLORA_APP_COMMANDS_BATCH_MODE_H_
#define VELLORA_APP_COMMANDS_BATCH_MODE_H_

#include <string>
#include <vector>

#include "platform/env.h"


namespace vellora {

class CBuildSettings;
class CMainSheet;

// Exit statuses of the program.
constexpr int kExitBuilt = 0;        // the pages were written (or had nothing to list)
constexpr int kExitBuildFailed = 1;  // bad folder, missing frameset, unwritten page
constexpr int kExitNoConfig = 2;     // the configuration file could not be read; also usage

struct BatchOutcome {
  int status = kExitBuilt;
  std::string message;  // one line for the user; empty on success
  std::vector<std::string> warnings;  // lines for the user, whatever the status
};

// An outcome with `status` and `message`.
BatchOutcome Failure(int status, const std::string& message);

// Reads the configuration file `config_name` into `sheet` (a name without a
// separator comes from the program's folder) and makes the build it
// describes: the framed site when it chooses one with the recursive build
// on, the general build otherwise. The current folder is left as it was.
// The first part of RunBatchMode: reads the configuration file into `sheet`
// and fills `settings` for its build (the folder made a full path), with
// the same checks and messages; status kExitBuilt when the build may run.
// Nothing is built or written.
BatchOutcome PrepareBatchBuild(CMainSheet* sheet, const std::string& config_name,
                               CBuildSettings* settings);

// The second part: makes the build `settings` describe (as
// PrepareBatchBuild filled them; the build modes change them on the way)
// and turns what came of it into the outcome batch mode reports. The
// build works on `env`, or on the sheet's when null.
BatchOutcome RunPreparedBuild(CMainSheet* sheet, CBuildSettings* settings,
                              Env* env = nullptr);

BatchOutcome RunBatchMode(CMainSheet* sheet, const std::string& config_name);

}  // namespace vellora

#endif  // VELLORA_APP_COMMANDS_BATCH_MODE_H_
