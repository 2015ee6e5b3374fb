#include "scan/walk_guard.h"

namespace vellora {

bool CWalkGuard::Enter(const std::string& folder) {
  Step step{FolderIdentity(), false};
  step.known = env_->GetFolderIdentity(folder, &step.id);
  if (step.known) {
    for (const Step& s : path_) {
      if (s.known && s.id == step.id) return false;
    }
  }
  path_.push_back(step);
  return true;
}

void CWalkGuard::Leave() {
  if (!path_.empty()) path_.pop_back();
}

}  // namespace vellora
