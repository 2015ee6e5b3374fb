// The rules that decide which folders a branch walk enters (the scan of a
// branch and the per-folder walk).
//
// Each real folder (same device and inode on POSIX, same volume and file
// index on Windows) is entered at most once per walk: a link back to a
// folder on the path ends the branch instead of recursing until the path
// length or the stack gives out, and links that lead to a folder by several
// ways cannot make the work grow with the number of ways. The folder is
// entered where the walk meets it first.
//
// A folder link whose real location lies outside the tree the walk started
// in is not entered (unless the user asks to follow such links), so that a
// planted link cannot make a build list or write pages elsewhere.
#ifndef VELLORA_SCAN_WALK_GUARD_H_
#define VELLORA_SCAN_WALK_GUARD_H_

#include <cstddef>
#include <string>
#include <unordered_set>

#include "platform/env.h"

namespace vellora {

class CWalkGuard {
 public:
  explicit CWalkGuard(Env* env) : env_(env) {}

  // Records `folder` (entered by the caller) as entered and returns
  // true, unless its real folder was entered before in this walk. A folder
  // whose identity cannot be read is entered.
  bool Enter(const std::string& folder);
  // Real folders entered so far.
  size_t entered() const { return entered_.size(); }

 private:
  struct IdentityHash {
    size_t operator()(const FolderIdentity& id) const {
      return std::hash<uint64_t>()(id.inode * 0x9E3779B97F4A7C15ULL ^ id.device);
    }
  };
  Env* env_;
  std::unordered_set<FolderIdentity, IdentityHash> entered_;
};

// The real location of the tree that `top` names (`top` itself when it
// cannot be resolved).
std::string RealTreeRoot(Env* env, const std::string& top);

// True when the link `folder` leads outside the tree whose real location is
// `real_root`; a link that cannot be resolved counts as outside.
bool LinkLeadsOutside(Env* env, const std::string& real_root, const std::string& folder);

}  // namespace vellora

#endif  // VELLORA_SCAN_WALK_GUARD_H_
