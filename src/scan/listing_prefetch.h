// Reads the folders of a walk ahead of it on worker threads, so that the
// system's work of reading folders (and examining each entry) runs beside
// the walk's own work on the entries instead of before it.
//
// One walk thread asks for folders one at a time, as it would from the
// system. Once a whole listing ("*.*") of a folder has been read, by the
// walk or by a worker, the subfolders found there are queued to be read
// ahead, the most recently queued first: a depth-first walk asks for them
// in about that order. A listing that the walk asks for before a worker
// began it is read by the walk itself; one a worker is reading is waited
// for. Links are never read ahead (they may lead anywhere), each path is
// read ahead once, and workers pause while a bounded number of items waits
// to be taken, so a tree that loops back on itself (a bind mount) costs a
// bounded amount beyond what it costs the walk.
//
// What the walk sees does not depend on the threads: every listing comes
// from the same call on the inner Env, made once, and is handed over whole.
#ifndef VELLORA_SCAN_LISTING_PREFETCH_H_
#define VELLORA_SCAN_LISTING_PREFETCH_H_

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/forwarding_env.h"
#include "platform/safe_write.h"

namespace vellora {

class CListingPrefetch : public CForwardingEnv {
 public:
  // `threads` workers read ahead (0: none, every call goes straight to
  // `inner`, which must then allow ListFolder from that many threads at
  // once; see Env::ListingThreads). With `brief` listings are read with
  // ListFolderBrief. `wanted` says whether a subfolder (a full path) is
  // worth reading ahead; it is called from the workers too. The walk's own
  // rules still decide what it enters. Workers stop reading ahead while
  // `max_held_items` items read wait to be taken (the folder a worker is
  // reading may add to them once), so a walk slower than the workers holds
  // a bounded part of the tree, a few megabytes by default.
  static constexpr size_t kMaxHeldItems = size_t{1} << 16;
  CListingPrefetch(Env* inner, int threads, bool brief,
                   std::function<bool(const std::string&)> wanted,
                   size_t max_held_items = kMaxHeldItems);
  // Stops the workers and waits for them; listings read and not taken are
  // dropped.
  ~CListingPrefetch() override;
  CListingPrefetch(const CListingPrefetch&) = delete;
  CListingPrefetch& operator=(const CListingPrefetch&) = delete;

  // Whole listings ("*.*" or "*") come from the listings read ahead; any
  // other pattern goes to the inner Env.
  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override;

  // Writes are not the listings' concern.
  std::unique_ptr<CSafeFileWrite> StartSafeWrite(const std::string& path) override {
    return inner()->StartSafeWrite(path);
  }

  // Listings the workers read that the walk then took.
  size_t listings_taken() const;

 private:
  enum class State { kQueued, kReading, kRead };
  struct Listing {
    State state = State::kQueued;
    bool ok = false;
    std::vector<FolderItem> items;
  };

  bool ReadInner(const std::string& folder, std::vector<FolderItem>* items);
  // The subfolders of `folder` found in `items` that are worth reading ahead.
  std::vector<std::string> SubfoldersOf(const std::string& folder,
                                        const std::vector<FolderItem>& items);
  // Queues `subfolders` first, in their order; mutex_ is held. True when
  // any was queued.
  bool QueueLocked(std::vector<std::string>* subfolders);
  void Work();

  const bool brief_;
  const std::function<bool(const std::string&)> wanted_;
  const size_t max_held_items_;
  mutable std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable listing_read_;
  std::deque<std::string> queue_;  // folders to read, soonest needed first
  std::unordered_map<std::string, Listing> ahead_;  // queued, being read or read
  std::unordered_set<std::string> queued_once_;
  size_t held_items_ = 0;  // items of listings read and not yet taken
  bool paused_ = false;    // workers wait until the walk takes enough of them
  size_t taken_ = 0;
  bool stop_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace vellora

#endif  // VELLORA_SCAN_LISTING_PREFETCH_H_
