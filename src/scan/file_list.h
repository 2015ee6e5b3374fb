// The entries a scan finds and the singly linked list that holds them for
// one page: the scan adds at the head, the sort and the column arrangement
// relink it, the page writer walks it from head() along `next`.
#ifndef VELLORA_SCAN_FILE_LIST_H_
#define VELLORA_SCAN_FILE_LIST_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/env.h"

namespace vellora {

// The folder of a group of entries, shared by all entries of that folder so
// that a large scan does not repeat it per file. Immutable once made.
struct CEntryFolder {
  std::string text;   // relative folder with '/' separators ("/", "/a/b/")
  std::string upper;  // `text` upper-cased (sort key)
};

// A counted reference to a folder record, one pointer wide (every entry
// holds one). Copies may be made and dropped on any thread.
class CFolderRef {
 public:
  CFolderRef() = default;
  CFolderRef(const CFolderRef& other) noexcept;
  CFolderRef(CFolderRef&& other) noexcept : record_(other.record_) { other.record_ = nullptr; }
  CFolderRef& operator=(CFolderRef other) noexcept {
    std::swap(record_, other.record_);
    return *this;
  }
  ~CFolderRef();

  const CEntryFolder* get() const { return record_; }
  const CEntryFolder* operator->() const { return record_; }
  explicit operator bool() const { return record_ != nullptr; }
  // The number of references to the record (0 for none).
  long use_count() const;

  friend bool operator==(const CFolderRef& a, const CFolderRef& b) { return a.record_ == b.record_; }
  friend bool operator!=(const CFolderRef& a, const CFolderRef& b) { return a.record_ != b.record_; }

 private:
  friend CFolderRef MakeEntryFolder(const std::string& text, Env* env);
  struct Counted : CEntryFolder {
    std::atomic<long> refs{1};
  };
  Counted* record_ = nullptr;
};

// Makes a shared folder record for `text`.
CFolderRef MakeEntryFolder(const std::string& text, Env* env);

// One file found by a scan (or one row that the page writer lists). A
// million of them may be held at once, so the record is kept small: no
// sort key of its own (the sort makes the keys it needs), the folder by
// one counted pointer.
class CFileEntry {
 public:
  CFileEntry() = default;
  CFileEntry(const CFileEntry&) = delete;
  CFileEntry& operator=(const CFileEntry&) = delete;

  // Sets `name`.
  void SetName(const std::string& file_name, Env* env);

  // The folder relative to the scan root; empty when none was set.
  const std::string& folder() const;
  const std::string& folder_upper() const;
  const CFolderRef& folder_record() const { return folder_; }
  void SetFolder(CFolderRef record) { folder_ = std::move(record); }
  void SetFolder(const std::string& text, Env* env) { folder_ = MakeEntryFolder(text, env); }

  // A deep copy (the folder record is shared, which is safe: it never changes).
  // `next` of the copy is null.
  std::unique_ptr<CFileEntry> Clone() const;

  std::string name;                    // as the file system returned it, no folder part
  std::unique_ptr<std::string> type;   // extension; null until FillTypes
  std::unique_ptr<std::string> title;  // link title; null unless titles are used
  int64_t size = 0;                    // bytes
  FileTime time = 0;                   // last write
  CFileEntry* next = nullptr;          // owned by the list, not by the entry
  bool is_link = false;                // found as a symbolic link (reparse point)

 private:
  CFolderRef folder_;
};

// Owns its entries. Destruction and Clear() are iterative, so lists of any
// length are freed without deep recursion.
class CFileList {
 public:
  CFileList() = default;
  ~CFileList();
  CFileList(const CFileList&) = delete;
  CFileList& operator=(const CFileList&) = delete;
  CFileList(CFileList&& other) noexcept;
  CFileList& operator=(CFileList&& other) noexcept;

  CFileEntry* head() const { return head_; }
  // The entries in list order while the list is as its last sort or
  // relinking of a long list left it, else null. A sorted list lies in
  // memory in no order: with the array a long walk can ask for entries well
  // before it reaches them, and be cut into parts by position.
  const std::vector<CFileEntry*>* order() const {
    return count_ != 0 && order_.size() == count_ ? &order_ : nullptr;
  }
  bool empty() const { return head_ == nullptr; }
  size_t size() const { return count_; }

  // Takes `entry` and puts it first; returns it (null input adds nothing).
  CFileEntry* AddHead(std::unique_ptr<CFileEntry> entry);
  // Adds a deep copy of `entry` at the end, or at the head when `at_head`.
  CFileEntry* CopyAppend(const CFileEntry& entry, bool at_head = false);
  // Deletes every entry.
  void Clear();

  // Moves the entries from the head up to `stop` (not included; null or an
  // entry not in the list: all of them) into a new list, in their order.
  CFileList DetachHead(const CFileEntry* stop);
  // Moves every entry of `other` to the end of this list.
  void Append(CFileList&& other);

  // Orders the entries by `kind` and `order` (the sort_key and sort_order
  // values of CBuildSettings: kSortByName ..., kSortAscending ...). With
  // `group_by_folder` the entries are gathered by folder first (ascending
  // folder order); with `use_titles` the name kind sorts by title. Stable:
  // entries that neither goes before keep their list order. Unsorted leaves
  // the list as it is, or only gathers it by folder when grouping. With
  // `natural` names (and titles) compare in natural order
  // (scan/natural_order.h) wherever they are compared, the tie-breaks of
  // the other kinds included; folders are gathered in their plain order.
  void Sort(int kind, int order, bool group_by_folder, bool use_titles, Env* env,
            bool natural = false);

  // Sets every entry's `type`: the text of the name after its last '.', the
  // whole name when it has none.
  void FillTypes();

 private:
  friend class CFolderScanner;

  // The entries in list order.
  std::vector<CFileEntry*> Entries() const;
  // Relinks the list in the order of `entries`, which holds exactly the
  // list's own entries.
  void Relink(const std::vector<CFileEntry*>& entries);
  // Keeps `entries` as order() when the list is long enough for it to pay.
  void KeepOrder(std::vector<CFileEntry*> entries);
  // Below this many entries a list is short enough to be walked along its
  // links, and keeps no order().
  static constexpr size_t kOrderKeptFrom = 512;

  CFileEntry* head_ = nullptr;
  CFileEntry* tail_ = nullptr;
  size_t count_ = 0;
  std::vector<CFileEntry*> order_;  // see order(); dropped by every change
};

// Frees a long list on a thread of its own while the caller goes on (to
// save the page it was listed on), and waits for that thread when it goes.
// A short list, or one no thread can be had for, is freed at once. Once
// KeepReleasedListsToExit was called, a long list is kept instead.
class CListRelease {
 public:
  explicit CListRelease(CFileList&& list);
  ~CListRelease();
  CListRelease(const CListRelease&) = delete;
  CListRelease& operator=(const CListRelease&) = delete;

 private:
  std::thread thread_;
};

// Says that the process ends once its build is done: from then on a long
// list given to CListRelease is kept to the end, when the system takes its
// memory back all at once (freeing a million entries one by one costs about
// a third of a second). For a run of one build; a process that goes on
// building (the window, the watch) must not call it.
void KeepReleasedListsToExit();

}  // namespace vellora

#endif  // VELLORA_SCAN_FILE_LIST_H_
