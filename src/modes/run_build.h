// The one build call of every front end (batch mode, the settings window,
// tests, benchmarks, fuzz targets): it makes the build the settings
// describe and says what came of it.
#ifndef VELLORA_MODES_RUN_BUILD_H_
#define VELLORA_MODES_RUN_BUILD_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/env.h"
#include "scan/build_progress.h"
#include "scan/failed_page.h"

namespace vellora {

class CBuildSettings;

// The three template names of a framed site, as the user gave them (a
// name without a separator is looked up in the program's folder).
struct FrameFiles {
  std::string frameset_file;
  std::string left_frame_file;
  std::string right_frame_file;
};

struct BuildResult {
  // Page files written, as the file-created dialog counts them: of a
  // framed site the right-frame pages only.
  int32_t pages_written = 0;
  // The main file: the frameset of a framed site, else the page the last
  // call of the page writer wrote (empty when that one wrote none).
  std::string main_file_path;
  // In the order met.
  std::vector<FailedPage> failed_pages;
  // The build stopped because `cancel` was set.
  bool cancelled = false;
};

// Builds what `settings` describe: the framed site when build_framed_site
// and recursive_build are both set (with `frames`), one page in every
// folder when recursive_build and multi_recurse_link are (from the top:
// root_folder becomes path, framed_right_pass 0), otherwise one page for
// `path`, listing its branch when recursive_build is set. `settings` is
// changed as the build modes change it. `progress` may be null; its
// `cancel` may be set from any thread. `path` should be a full path: the
// build neither reads nor changes the process's current folder, so it may
// run on a thread of its own.
BuildResult RunBuild(CBuildSettings& settings, const FrameFiles& frames, CBuildProgress* progress,
                     Env* env = Env::Default());

}  // namespace vellora

#endif  // VELLORA_MODES_RUN_BUILD_H_
