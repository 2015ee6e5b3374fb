// The listings of watched folders, kept from one build of watch mode to the
// next: a build after a change reads again only the folders the change
// named, and takes every other listing from memory.
#ifndef VELLORA_STARTUP_RETAINED_LISTINGS_H_
#define VELLORA_STARTUP_RETAINED_LISTINGS_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/forwarding_env.h"

namespace vellora {

class CRetainedListings : public CForwardingEnv {
 public:
  // Listings are kept while they hold at most `max_items` items in all;
  // beyond that folders are read from `inner` each time.
  static constexpr size_t kMaxItems = size_t{1} << 20;
  explicit CRetainedListings(Env* inner, size_t max_items = kMaxItems);

  // `folder` is watched: its whole listings may be kept until a change
  // names it. Folders never retained are always read from `inner`.
  void Retain(const std::string& folder);
  // Something in `folder` changed: its listings are read again.
  void ForgetFolder(const std::string& folder);
  // `path` and every folder below it changed or went: their listings are
  // read again, and they are kept again only once retained anew.
  void ForgetBranch(const std::string& path);
  // Changes were lost: every listing is read again; the folders stay
  // retained.
  void ForgetAll();

  // Whole listings ("*.*", "*") of a retained folder come from memory once
  // read. A listing that failed, or that holds a link (what a link leads
  // to is not watched), is never kept. Safe to call from several threads.
  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override;
  bool ListFolderBrief(const std::string& folder, const std::string& pattern,
                       const std::function<void(const FolderItem&)>& visit) override;
  bool ListSubfolders(const std::string& folder,
                      const std::function<void(const FolderItem&)>& visit) override;
  // The inner Env's threads while nothing is kept (the first build, and
  // the one after everything was forgotten); none once listings come from
  // memory, where reading ahead would only copy them.
  int ListingThreads() override;

 private:
  enum Kind { kFull, kBrief, kSubfolders, kKinds };
  using Items = std::shared_ptr<const std::vector<FolderItem>>;
  struct Held {
    Items listing[kKinds];
  };

  std::string Key(const std::string& folder);
  // The kept listing that answers `kind` for `key`, or null.
  Items Find(Kind kind, const std::string& key);
  bool List(Kind kind, const std::string& folder,
            const std::function<void(const FolderItem&)>& visit);
  void Drop(std::map<std::string, Held>::iterator it);

  const size_t max_items_;
  std::mutex mutex_;
  std::set<std::string> retained_;
  std::map<std::string, Held> held_;
  size_t held_items_ = 0;
  // Counts the forgets, so that a listing read while one came is not kept.
  uint64_t epoch_ = 0;
};

}  // namespace vellora

#endif  // VELLORA_STARTUP_RETAINED_LISTINGS_H_
