// Watch mode: the build of a configuration file, as batch mode makes it,
// then a new build each time what it lists changes, until the program is
// asked to stop. A build rewrites only the pages whose content changed (the
// safe write leaves a page that is already current alone), so a change
// touches the pages that list it.
#ifndef VELLORA_STARTUP_WATCH_MODE_H_
#define VELLORA_STARTUP_WATCH_MODE_H_

#include <cstdio>
#include <functional>
#include <string>

#include "startup/batch_mode.h"

namespace vellora {

class CMainSheet;

struct WatchOptions {
  // A build starts once no change has come for this long.
  int settle_ms = 100;
  // Called after each build with its outcome (the first build included);
  // batch mode's messages of a failed build go to `err` as well.
  std::function<void(const BatchOutcome&)> after_build;
  std::FILE* err = nullptr;
};

// Reads the configuration as batch mode does and builds; then watches the
// folders the build lists (the whole branch of a recursive build, folders
// made later included, not those it skips) and builds again when their
// content changes. Changes to the pages and manifests the build itself
// writes, and to names the build passes over (beginning with '.'), start
// no build. A lost queue of changes starts a build and a new watch of
// every folder. Returns when stopped (status kExitBuilt), or at once with
// batch mode's status and message when the configuration cannot be used,
// or kExitBuildFailed when the folders cannot be watched.
BatchOutcome RunWatchMode(CMainSheet* sheet, const std::string& config_name,
                          const WatchOptions& options);

}  // namespace vellora

#endif  // VELLORA_STARTUP_WATCH_MODE_H_
