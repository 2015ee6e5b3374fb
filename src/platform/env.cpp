#include "platform/env.h"

namespace vellora {

Env::~Env() = default;

bool Env::ListSubfolders(const std::string& folder,
                         const std::function<void(const FolderItem&)>& visit) {
  return ListFolder(folder, "*.*", [&visit](const FolderItem& item) {
    if (item.is_folder) visit(item);
  });
}

bool Env::CollationKey(const std::string&, std::string*) { return false; }

}  // namespace vellora
