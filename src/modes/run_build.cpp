#include "modes/run_build.h"

#include "settings/build_settings.h"
#include "modes/index_builder.h"

namespace vellora {

BuildResult RunBuild(CBuildSettings& settings, const FrameFiles& frames, CBuildProgress* progress,
                     Env* env) {
  if (progress != nullptr) progress->cancel = 0;
  CIndexBuilder builder(&settings, env);
  if (settings.build_framed_site != 0 && settings.recursive_build != 0) {
    builder.FramedSiteBuild(progress, frames.frameset_file, frames.left_frame_file,
                            frames.right_frame_file);
  } else if (settings.recursive_build != 0 && settings.multi_recurse_link != 0) {
    settings.framed_right_pass = 0;
    builder.BuildFromTop(progress);
  } else {
    builder.Build(progress);
  }
  BuildResult result;
  result.pages_written = builder.pages_written;
  result.main_file_path = builder.main_file_path;
  if (builder.top_unreadable != 0) {
    result.failed_pages.push_back(FailedPage{settings.path, PageFailure::kFolderUnreadable});
  }
  for (FailedPage& page : builder.failed_pages) result.failed_pages.push_back(std::move(page));
  result.cancelled = progress != nullptr && progress->cancelled();
  return result;
}

}  // namespace vellora
