// Carries the build's reports from its thread to the window's: the build
// posts each report and goes on at once; the window takes what came on its
// own timer, so a build never waits for a paint and a flood of reports
// costs one paint per tick.
#ifndef VELLORA_SHEET_PROGRESS_MAILBOX_H_
#define VELLORA_SHEET_PROGRESS_MAILBOX_H_

#include <mutex>

#include "sheet/desktop.h"

namespace vellora {

class CProgressMailbox {
 public:
  // Called from the build's thread.
  void Post(const CProgressLines& lines);
  // Everything posted since the last Take, merged as the window would have
  // shown it report by report: the newest Folder line, File line and bar
  // among those that set them. False, with `lines` unchanged, when nothing
  // came.
  bool Take(CProgressLines* lines);

 private:
  std::mutex mutex_;
  CProgressLines pending_;
  bool has_pending_ = false;
};

}  // namespace vellora

#endif  // VELLORA_SHEET_PROGRESS_MAILBOX_H_
