// Reads each folder of a per-folder build once. The page writer lists a
// folder for its folder table and again for its files, and the walk lists it
// a third time for the subfolders to visit; this Env keeps the listing of
// the folder last read and answers the repeated requests from it.
#ifndef VELLORA_MODES_LISTING_CACHE_H_
#define VELLORA_MODES_LISTING_CACHE_H_

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/forwarding_env.h"

namespace vellora {

class CListingCache : public CForwardingEnv {
 public:
  // With `read_whole_folders` a request for the subfolders reads the whole
  // listing at once (worth it when the file filter lists every name anyway).
  // With `brief` whole listings are read with ListFolderBrief.
  CListingCache(Env* inner, bool read_whole_folders, bool brief = false)
      : CForwardingEnv(inner), read_whole_(read_whole_folders), brief_(brief) {}

  // "*.*" listings and subfolder listings come from the cache.
  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override;
  bool ListSubfolders(const std::string& folder,
                      const std::function<void(const FolderItem&)>& visit) override;
  // The folder table, the walk and a folder's own page each ask whether it
  // can be entered: the system is asked once per folder.
  bool CanEnterFolder(const std::string& folder) override;
  // A file written may change the files of a folder, never its subfolders.
  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>& pieces) override;
  std::unique_ptr<CSafeFileWrite> StartSafeWrite(const std::string& path) override;

  // A file of the folder held is written by others: its listing serves
  // only its subfolders from now on, as after a write through this Env.
  void FileWrittenElsewhere() {
    if (held_ == Held::kEverything) held_ = Held::kSubfolders;
  }

  // Folder reads that reached the system.
  int reads() const { return reads_; }

 private:
  enum class Held { kNothing, kSubfolders, kEverything };

  void ReadWhole(const std::string& folder);

  bool read_whole_;
  bool brief_;
  std::string folder_;
  Held held_ = Held::kNothing;
  bool ok_ = false;
  std::vector<FolderItem> items_;
  std::unordered_map<std::string, bool> can_enter_;
  int reads_ = 0;
};

// True when one of the ';'-separated patterns of `file_spec` is "*.*".
bool ListsEveryName(const std::string& file_spec);

}  // namespace vellora

#endif  // VELLORA_MODES_LISTING_CACHE_H_
