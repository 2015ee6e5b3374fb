// The engine object of one build: the build entries over the page writer
// and the scan. Made for one build (one press of Build or one batch run)
// and then dropped; RunBuild (modes/run_build.h) makes one and runs it.
#ifndef VELLORA_MODES_INDEX_BUILDER_H_
#define VELLORA_MODES_INDEX_BUILDER_H_

#include <cstdint>
#include <string>

#include "html/page_writer.h"

namespace vellora {

class CIndexBuilder : public CPageWriter {
 public:
  // `settings` is not owned and must outlive the builder.
  explicit CIndexBuilder(CBuildSettings* build_settings, Env* system = Env::Default())
      : CPageWriter(build_settings, system) {}

  // Builds in the mode the settings choose; see the build modes.
  int Build(CBuildProgress* progress);
  // Sets the root folder to the settings' path, then Build.
  int BuildFromTop(CBuildProgress* progress);
  int FramedSiteBuild(CBuildProgress* progress, const std::string& frameset_file,
                      const std::string& left_frame_file, const std::string& right_frame_file);
  void PerFolderBuild();
  void WalkFolder();

  // The folder the build was given could not be read: its page (if any)
  // was left as it was.
  int32_t top_unreadable = 0;
};

}  // namespace vellora

#endif  // VELLORA_MODES_INDEX_BUILDER_H_
