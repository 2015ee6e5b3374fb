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

std::string JoinPieces(const std::vector<std::string_view>& pieces) {
  size_t size = 0;
  for (std::string_view piece : pieces) size += piece.size();
  std::string joined;
  joined.reserve(size);
  for (std::string_view piece : pieces) joined.append(piece);
  return joined;
}

}  // namespace vellora
