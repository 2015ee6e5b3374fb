#include "sheet/progress_mailbox.h"

namespace vellora {

void CProgressMailbox::Post(const CProgressLines& lines) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!has_pending_) {
    pending_ = CProgressLines();
    pending_.folder_changed = false;
  }
  if (lines.folder_changed) {
    pending_.folder_changed = true;
    pending_.folder_is_path = lines.folder_is_path;
    pending_.folder_line = lines.folder_line;
  }
  pending_.file_line = lines.file_line;
  if (lines.bar_changed) {
    pending_.bar_changed = true;
    pending_.bar_high = lines.bar_high;
    pending_.bar_position = lines.bar_position;
  }
  has_pending_ = true;
}

bool CProgressMailbox::Take(CProgressLines* lines) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!has_pending_) return false;
  *lines = pending_;
  has_pending_ = false;
  return true;
}

}  // namespace vellora
