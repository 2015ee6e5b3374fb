// Keeps a folder walk out of link cycles. A walk calls Enter before it goes
// into a folder and Leave when it comes back; Enter refuses a folder that is
// already on the path from the walk's start to the current folder (same
// device and inode on POSIX, same volume and file index on Windows), so a
// link to an ancestor ends the branch instead of recursing until the path
// length or the stack gives out. A link to a folder elsewhere is entered
// normally, and the same folder may be visited again on another branch.
#ifndef VELLORA_SCAN_WALK_GUARD_H_
#define VELLORA_SCAN_WALK_GUARD_H_

#include <cstddef>
#include <string>
#include <vector>

#include "platform/env.h"

namespace vellora {

class CWalkGuard {
 public:
  explicit CWalkGuard(Env* env) : env_(env) {}

  // Pushes `folder` on the path and returns true, unless it is already on
  // it (then nothing is pushed and the answer is false). A folder whose
  // identity cannot be read is entered; it cannot close a cycle that the
  // system's path length limit would not end anyway.
  bool Enter(const std::string& folder);
  // Pops the folder of the last successful Enter.
  void Leave();
  // Folders on the path.
  size_t depth() const { return path_.size(); }

 private:
  struct Step {
    FolderIdentity id;
    bool known;
  };
  Env* env_;
  std::vector<Step> path_;
};

}  // namespace vellora

#endif  // VELLORA_SCAN_WALK_GUARD_H_
