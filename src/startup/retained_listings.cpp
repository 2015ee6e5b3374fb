#include "startup/retained_listings.h"

#include <memory>
#include <utility>

#include "platform/path.h"

namespace vellora {

namespace {

bool IsWholeListing(const std::string& pattern) { return pattern == "*.*" || pattern == "*"; }

}  // namespace

CRetainedListings::CRetainedListings(Env* inner, size_t max_items)
    : CForwardingEnv(inner), max_items_(max_items) {}

// Folders are keyed with a trailing separator, so that the folders below
// one are exactly the keys that begin with its key.
std::string CRetainedListings::Key(const std::string& folder) {
  return WithTrailingSeparator(folder, inner());
}

void CRetainedListings::Retain(const std::string& folder) {
  std::lock_guard<std::mutex> lock(mutex_);
  retained_.insert(Key(folder));
}

void CRetainedListings::ForgetFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++epoch_;
  const auto it = held_.find(Key(folder));
  if (it != held_.end()) Drop(it);
}

void CRetainedListings::ForgetBranch(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++epoch_;
  const std::string key = Key(path);
  const auto below = [&key](const std::string& k) { return k.compare(0, key.size(), key) == 0; };
  for (auto it = held_.lower_bound(key); it != held_.end() && below(it->first);) Drop(it++);
  for (auto it = retained_.lower_bound(key); it != retained_.end() && below(*it);) {
    it = retained_.erase(it);
  }
}

void CRetainedListings::ForgetAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++epoch_;
  held_.clear();
  held_items_ = 0;
}

void CRetainedListings::Drop(std::map<std::string, Held>::iterator it) {
  for (const Items& items : it->second.listing) {
    if (items) held_items_ -= items->size();
  }
  held_.erase(it);
}

int CRetainedListings::ListingThreads() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!held_.empty()) return 0;
  }
  return inner()->ListingThreads();
}

bool CRetainedListings::ListFolder(const std::string& folder, const std::string& pattern,
                                   const std::function<void(const FolderItem&)>& visit) {
  if (!IsWholeListing(pattern)) return inner()->ListFolder(folder, pattern, visit);
  return List(kFull, folder, visit);
}

bool CRetainedListings::ListFolderBrief(const std::string& folder, const std::string& pattern,
                                        const std::function<void(const FolderItem&)>& visit) {
  if (!IsWholeListing(pattern)) return inner()->ListFolderBrief(folder, pattern, visit);
  return List(kBrief, folder, visit);
}

bool CRetainedListings::ListSubfolders(const std::string& folder,
                                       const std::function<void(const FolderItem&)>& visit) {
  return List(kSubfolders, folder, visit);
}

CRetainedListings::Items CRetainedListings::Find(Kind kind, const std::string& key) {
  const auto it = held_.find(key);
  if (it == held_.end()) return nullptr;
  const Held& held = it->second;
  if (held.listing[kind]) return held.listing[kind];
  // A full listing answers the others: a brief one may carry sizes and
  // times, and the subfolders are its folders.
  if (kind != kFull && held.listing[kFull]) return held.listing[kFull];
  if (kind == kSubfolders && held.listing[kBrief]) return held.listing[kBrief];
  return nullptr;
}

bool CRetainedListings::List(Kind kind, const std::string& folder,
                             const std::function<void(const FolderItem&)>& visit) {
  const std::string key = Key(folder);
  Items items;
  uint64_t epoch = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (retained_.count(key) != 0) items = Find(kind, key);
    epoch = epoch_;
  }
  if (!items) {
    auto read = std::make_shared<std::vector<FolderItem>>();
    const auto keep = [&read](const FolderItem& item) { read->push_back(item); };
    const bool ok = kind == kSubfolders ? inner()->ListSubfolders(folder, keep)
                                        : inner()->ListFolderAs(kind == kBrief, folder, "*.*", keep);
    bool has_link = false;
    for (const FolderItem& item : *read) has_link |= item.is_link;
    if (ok && !has_link) {
      std::lock_guard<std::mutex> lock(mutex_);
      // Kept only when no change came while it was read.
      if (epoch == epoch_ && retained_.count(key) != 0 &&
          held_items_ + read->size() <= max_items_) {
        Items& slot = held_[key].listing[kind];
        if (slot) held_items_ -= slot->size();
        slot = read;
        held_items_ += read->size();
      }
    }
    for (const FolderItem& item : *read) {
      if (kind != kSubfolders || item.is_folder) visit(item);
    }
    return ok;
  }
  for (const FolderItem& item : *items) {
    if (kind != kSubfolders || item.is_folder) visit(item);
  }
  return true;
}

}  // namespace vellora
