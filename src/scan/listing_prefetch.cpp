#include "scan/listing_prefetch.h"

#include <utility>

#include "platform/path.h"

namespace vellora {

namespace {

bool IsWholeListing(const std::string& pattern) { return pattern == "*.*" || pattern == "*"; }

}  // namespace

CListingPrefetch::CListingPrefetch(Env* inner, int threads, bool brief,
                                   std::function<bool(const std::string&)> wanted,
                                   size_t max_held_items)
    : CForwardingEnv(inner),
      brief_(brief),
      wanted_(std::move(wanted)),
      max_held_items_(max_held_items) {
  for (int i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
}

CListingPrefetch::~CListingPrefetch() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& t : workers_) t.join();
}

size_t CListingPrefetch::listings_taken() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return taken_;
}

bool CListingPrefetch::ReadInner(const std::string& folder, std::vector<FolderItem>* items) {
  const auto keep = [items](const FolderItem& item) { items->push_back(item); };
  return inner()->ListFolderAs(brief_, folder, "*.*", keep);
}

bool CListingPrefetch::ListFolder(const std::string& folder, const std::string& pattern,
                                  const std::function<void(const FolderItem&)>& visit) {
  if (!IsWholeListing(pattern) || workers_.empty()) {
    return inner()->ListFolderAs(brief_, folder, pattern, visit);
  }
  std::vector<FolderItem> items;
  bool ok = false;
  bool read = false;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    auto it = ahead_.find(folder);
    if (it != ahead_.end() && it->second.state != State::kQueued) {
      // Workers add entries while the walk waits: look the folder up again.
      listing_read_.wait(lock, [&] { return ahead_.at(folder).state == State::kRead; });
      it = ahead_.find(folder);
      ok = it->second.ok;
      items = std::move(it->second.items);
      held_items_ -= items.size();
      ++taken_;
      read = true;
    }
    // A queued folder that no worker began is read here; its queue entry
    // is passed over.
    if (it != ahead_.end()) ahead_.erase(it);
    // Stopped workers go on once the walk has taken half of what they
    // held: waking them for every folder taken costs a switch per folder.
    if (paused_ && held_items_ <= max_held_items_ / 2) {
      paused_ = false;
      work_ready_.notify_all();
    }
  }
  if (!read) {
    ok = ReadInner(folder, &items);
    std::vector<std::string> subfolders = SubfoldersOf(folder, items);
    std::lock_guard<std::mutex> lock(mutex_);
    if (QueueLocked(&subfolders) && !paused_) work_ready_.notify_all();
  }
  for (const FolderItem& item : items) visit(item);
  return ok;
}

std::vector<std::string> CListingPrefetch::SubfoldersOf(const std::string& folder,
                                                        const std::vector<FolderItem>& items) {
  std::vector<std::string> subfolders;
  for (const FolderItem& item : items) {
    if (!item.is_folder || item.is_link || item.name.empty() || item.name[0] == '.') continue;
    std::string path = WithTrailingSeparator(folder, this) + item.name;
    if (wanted_ && !wanted_(path)) continue;
    subfolders.push_back(std::move(path));
  }
  return subfolders;
}

bool CListingPrefetch::QueueLocked(std::vector<std::string>* subfolders) {
  if (stop_) return false;
  bool queued = false;
  for (auto it = subfolders->rbegin(); it != subfolders->rend(); ++it) {
    // A folder is read ahead once: a walk that lists it again reads it itself.
    if (!queued_once_.insert(*it).second) continue;
    ahead_.emplace(*it, Listing());
    queue_.push_front(std::move(*it));
    queued = true;
  }
  return queued;
}

void CListingPrefetch::Work() {
  // Without a stat of each file a listing costs less than what the walk
  // does with its items: the walk is the slower side, and the workers, far
  // enough ahead, give way to it. With a stat of each file the workers are
  // the slower side and keep their share.
  if (brief_) GiveWayToOtherThreads();
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_ready_.wait(lock, [this] { return stop_ || (!queue_.empty() && !paused_); });
    if (stop_) return;
    std::string folder = std::move(queue_.front());
    queue_.pop_front();
    auto it = ahead_.find(folder);
    if (it == ahead_.end() || it->second.state != State::kQueued) continue;
    it->second.state = State::kReading;
    lock.unlock();
    std::vector<FolderItem> items;
    const bool ok = ReadInner(folder, &items);
    // What lies below is read ahead too: the walk meets it next.
    std::vector<std::string> subfolders = SubfoldersOf(folder, items);
    lock.lock();
    // The walk waits for a folder being read, so the entry is still there.
    Listing& listing = ahead_[folder];
    listing.ok = ok;
    held_items_ += items.size();
    listing.items = std::move(items);
    listing.state = State::kRead;
    if (held_items_ >= max_held_items_) paused_ = true;
    QueueLocked(&subfolders);
    listing_read_.notify_all();
    if (!queue_.empty() && !paused_) work_ready_.notify_all();
  }
}

}  // namespace vellora
