#include "scan/walk_guard.h"

#include "platform/path.h"

namespace vellora {

bool CWalkGuard::Enter(const std::string& folder) {
  FolderIdentity id;
  if (!env_->GetFolderIdentity(folder, &id)) return true;
  return entered_.insert(id).second;
}

std::string RealTreeRoot(Env* env, const std::string& top) {
  std::string real;
  return env->RealPath(top, &real) ? real : top;
}

bool LinkLeadsOutside(Env* env, const std::string& real_root, const std::string& folder) {
  std::string real;
  if (!env->RealPath(folder, &real)) return true;
  if (real == real_root) return false;
  const std::string inside = WithTrailingSeparator(real_root, env);
  return real.compare(0, inside.size(), inside) != 0;
}

}  // namespace vellora
