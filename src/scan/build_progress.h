// The progress record of a build: counters the engine keeps up to date, the
// callback that shows them and the cancel request the engine polls.
#ifndef VELLORA_SCAN_BUILD_PROGRESS_H_
#define VELLORA_SCAN_BUILD_PROGRESS_H_

#include <cstdint>
#include <string>

namespace vellora {

class CBuildProgress {
 public:
  // Pages started plus subfolders entered by a recursive scan.
  int32_t folders_entered = 0;
  // Links written on the current page.
  int32_t links_done = 0;
  // Files found for the current page.
  int32_t links_total = 0;
  // 1 scan ended, 2 list sorted, 3 page being saved; other values: working.
  int32_t phase = 0;
  // Set to ask the build to stop; read at the engine's polling points.
  int32_t cancel = 0;
  // The folder being processed.
  std::string current_folder;
  // Links between two notifications while a page is written.
  int32_t update_interval = 25;
  // The callback may be called (the scan and the folder walk ask for it).
  int32_t notify_enabled = 0;
  // Shows the record; may be null.
  void (*notify)(CBuildProgress*) = nullptr;
  // Free for the owner of the callback.
  void* context = nullptr;
};

}  // namespace vellora

#endif  // VELLORA_SCAN_BUILD_PROGRESS_H_
