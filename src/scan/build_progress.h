// The progress record of a build: counters the engine keeps up to date, the
// view that shows them and the cancel request the engine polls.
#ifndef VELLORA_SCAN_BUILD_PROGRESS_H_
#define VELLORA_SCAN_BUILD_PROGRESS_H_

#include <atomic>
#include <cstdint>
#include <string>

namespace vellora {

class CBuildProgress;

// What shows a build's progress (the progress window, a test's recorder).
// The engine calls Notify on the build's own thread, synchronously, with the
// record it keeps; the record may be read only during the call (and
// `cancel` set at any time). A view on
// another thread copies what it shows and hands it over (throttled) there.
class CProgressView {
 public:
  virtual ~CProgressView() = default;
  virtual void Notify(CBuildProgress& progress) = 0;
};

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
  // Set to ask the build to stop; read at the engine's polling points. Any
  // thread may set it while the build runs; each build clears it when it
  // starts.
  std::atomic<int32_t> cancel{0};
  // The folder being processed.
  std::string current_folder;
  // Links between two notifications while a page is written.
  int32_t update_interval = 25;
  // The view may be called (the scan and the folder walk ask for it).
  int32_t notify_enabled = 0;
  // Shows the record; may be null; not owned.
  CProgressView* notify = nullptr;

  // Calls the view, when there is one.
  void Notify() {
    if (notify != nullptr) notify->Notify(*this);
  }
  bool cancelled() const { return cancel.load(std::memory_order_relaxed) != 0; }
};

}  // namespace vellora

#endif  // VELLORA_SCAN_BUILD_PROGRESS_H_
