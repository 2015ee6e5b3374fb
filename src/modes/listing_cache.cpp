#include "modes/listing_cache.h"

namespace vellora {

namespace {

const char kEveryName[] = "*.*";

}  // namespace

void CListingCache::ReadWhole(const std::string& folder) {
  items_.clear();
  ++reads_;
  const auto keep = [this](const FolderItem& i) { items_.push_back(i); };
  ok_ = inner()->ListFolderAs(brief_, folder, kEveryName, keep);
  folder_ = folder;
  held_ = Held::kEverything;
}

bool CListingCache::ListFolder(const std::string& folder, const std::string& pattern,
                               const std::function<void(const FolderItem&)>& visit) {
  if (pattern != kEveryName) return inner()->ListFolder(folder, pattern, visit);
  if (held_ != Held::kEverything || folder != folder_) ReadWhole(folder);
  for (const FolderItem& item : items_) visit(item);
  return ok_;
}

bool CListingCache::ListSubfolders(const std::string& folder,
                                   const std::function<void(const FolderItem&)>& visit) {
  if (held_ == Held::kNothing || folder != folder_) {
    if (read_whole_) {
      ReadWhole(folder);
    } else {
      items_.clear();
      ++reads_;
      ok_ = inner()->ListSubfolders(folder, [this](const FolderItem& i) { items_.push_back(i); });
      folder_ = folder;
      held_ = Held::kSubfolders;
    }
  }
  for (const FolderItem& item : items_) {
    if (item.is_folder) visit(item);
  }
  return ok_;
}

bool CListingCache::CanEnterFolder(const std::string& folder) {
  // Bounded: a walk asks about a folder within a few pages of the first time.
  constexpr size_t kMaxAnswers = size_t{1} << 16;
  const auto found = can_enter_.find(folder);
  if (found != can_enter_.end()) return found->second;
  if (can_enter_.size() >= kMaxAnswers) can_enter_.clear();
  const bool can = inner()->CanEnterFolder(folder);
  can_enter_.emplace(folder, can);
  return can;
}

bool CListingCache::WritePiecesSafely(const std::string& path,
                                      const std::vector<std::string_view>& pieces) {
  if (held_ == Held::kEverything) held_ = Held::kSubfolders;
  return inner()->WritePiecesSafely(path, pieces);
}

bool ListsEveryName(const std::string& file_spec) {
  size_t pos = 0;
  while (pos <= file_spec.size()) {
    size_t end = file_spec.find(';', pos);
    if (end == std::string::npos) end = file_spec.size();
    if (file_spec.compare(pos, end - pos, kEveryName) == 0) return true;
    pos = end + 1;
  }
  return false;
}

}  // namespace vellora
