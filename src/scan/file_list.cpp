#include "scan/file_list.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <system_error>
#include <utility>

#include "platform/text_case.h"

namespace vellora {

namespace {
const std::string& EmptyText() {
  static const std::string empty;
  return empty;
}
}  // namespace

CFolderRef::CFolderRef(const CFolderRef& other) noexcept : record_(other.record_) {
  if (record_ != nullptr) record_->refs.fetch_add(1, std::memory_order_relaxed);
}

CFolderRef::~CFolderRef() {
  if (record_ != nullptr && record_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    delete record_;
  }
}

long CFolderRef::use_count() const {
  return record_ != nullptr ? record_->refs.load(std::memory_order_relaxed) : 0;
}

CFolderRef MakeEntryFolder(const std::string& text, Env* env) {
  CFolderRef ref;
  ref.record_ = new CFolderRef::Counted();
  ref.record_->text = text;
  ref.record_->upper = UpperCased(text, env);
  return ref;
}

void CFileEntry::SetName(const std::string& file_name, Env*) {
  // A copy made afresh is as long as the name; one assigned into the empty
  // name would take at least twice its inner room (30 bytes).
  name = std::string(file_name);
}

const std::string& CFileEntry::folder() const { return folder_ ? folder_->text : EmptyText(); }

const std::string& CFileEntry::folder_upper() const {
  return folder_ ? folder_->upper : EmptyText();
}

std::unique_ptr<CFileEntry> CFileEntry::Clone() const {
  auto copy = std::make_unique<CFileEntry>();
  copy->name = std::string(name);
  if (type) copy->type = std::make_unique<std::string>(*type);
  if (title) copy->title = std::make_unique<std::string>(*title);
  copy->size = size;
  copy->time = time;
  copy->is_link = is_link;
  copy->folder_ = folder_;
  return copy;
}

CFileList::~CFileList() { Clear(); }

CFileList::CFileList(CFileList&& other) noexcept
    : head_(other.head_), tail_(other.tail_), count_(other.count_), order_(std::move(other.order_)) {
  other.head_ = other.tail_ = nullptr;
  other.count_ = 0;
  other.order_.clear();
}

CFileList& CFileList::operator=(CFileList&& other) noexcept {
  if (this != &other) {
    Clear();
    head_ = other.head_;
    tail_ = other.tail_;
    count_ = other.count_;
    order_ = std::move(other.order_);
    other.head_ = other.tail_ = nullptr;
    other.count_ = 0;
    other.order_.clear();
  }
  return *this;
}

CFileEntry* CFileList::AddHead(std::unique_ptr<CFileEntry> entry) {
  if (!entry) return nullptr;
  order_.clear();
  CFileEntry* e = entry.release();
  e->next = head_;
  head_ = e;
  if (tail_ == nullptr) tail_ = e;
  ++count_;
  return e;
}

CFileEntry* CFileList::CopyAppend(const CFileEntry& entry, bool at_head) {
  std::unique_ptr<CFileEntry> copy = entry.Clone();
  if (at_head || head_ == nullptr) return AddHead(std::move(copy));
  order_.clear();
  CFileEntry* e = copy.release();
  tail_->next = e;
  tail_ = e;
  ++count_;
  return e;
}

void CFileList::Clear() {
  CFileEntry* e = head_;
  const size_t count = count_;
  head_ = tail_ = nullptr;
  count_ = 0;
  order_.clear();
  order_.shrink_to_fit();
  // A sorted list lies in memory in no order: freeing a long one along the
  // list would miss the cache at every entry. In address order, which is
  // about the order the scan made them in, it walks memory once.
  constexpr size_t kLongList = 4096;
  if (count >= kLongList) {
    std::vector<CFileEntry*> entries;
    entries.reserve(count);
    for (; e != nullptr; e = e->next) entries.push_back(e);
    std::sort(entries.begin(), entries.end(), std::less<CFileEntry*>());
    for (CFileEntry* entry : entries) delete entry;
    return;
  }
  while (e != nullptr) {
    CFileEntry* next = e->next;
    delete e;
    e = next;
  }
}

CFileList CFileList::DetachHead(const CFileEntry* stop) {
  CFileList front;
  CFileEntry* last = nullptr;
  size_t n = 0;
  for (CFileEntry* e = head_; e != nullptr && e != stop; e = e->next) {
    last = e;
    ++n;
  }
  if (last == nullptr) return front;
  order_.clear();
  front.head_ = head_;
  front.tail_ = last;
  front.count_ = n;
  head_ = last->next;
  last->next = nullptr;
  count_ -= n;
  if (head_ == nullptr) tail_ = nullptr;
  return front;
}

void CFileList::Append(CFileList&& other) {
  if (other.head_ == nullptr || &other == this) return;
  order_.clear();
  other.order_.clear();
  if (tail_ == nullptr) {
    head_ = other.head_;
  } else {
    tail_->next = other.head_;
  }
  tail_ = other.tail_;
  count_ += other.count_;
  other.head_ = other.tail_ = nullptr;
  other.count_ = 0;
}

std::vector<CFileEntry*> CFileList::Entries() const {
  std::vector<CFileEntry*> entries;
  entries.reserve(count_);
  for (CFileEntry* e = head_; e != nullptr; e = e->next) entries.push_back(e);
  return entries;
}

void CFileList::Relink(const std::vector<CFileEntry*>& entries) {
  head_ = tail_ = nullptr;
  for (CFileEntry* e : entries) {
    if (tail_ == nullptr) {
      head_ = e;
    } else {
      tail_->next = e;
    }
    tail_ = e;
  }
  if (tail_ != nullptr) tail_->next = nullptr;
  count_ = entries.size();
  if (entries.size() >= kOrderKeptFrom) {
    KeepOrder(entries);
  } else {
    order_.clear();
  }
}

void CFileList::KeepOrder(std::vector<CFileEntry*> entries) {
  order_.clear();
  if (entries.size() == count_ && count_ >= kOrderKeptFrom) order_ = std::move(entries);
}

namespace {

// Below this a list is freed at once: a thread costs about what it saves.
constexpr size_t kLongReleasedList = 32768;

std::atomic<bool> g_keep_released_lists{false};

// The long lists kept to the end of the process. Reachable to the end, so a
// leak checker does not count them.
std::mutex g_kept_lists_mutex;
std::vector<CFileList>* g_kept_lists = nullptr;

}  // namespace

void KeepReleasedListsToExit() { g_keep_released_lists.store(true); }

CListRelease::CListRelease(CFileList&& list) {
  CFileList taken(std::move(list));
  if (taken.size() < kLongReleasedList) return;  // freed here, by `taken`
  if (g_keep_released_lists.load()) {
    std::lock_guard<std::mutex> lock(g_kept_lists_mutex);
    if (g_kept_lists == nullptr) g_kept_lists = new std::vector<CFileList>();
    g_kept_lists->push_back(std::move(taken));
    return;
  }
  try {
    thread_ = std::thread([owned = std::move(taken)]() mutable { owned.Clear(); });
  } catch (const std::system_error&) {
    // No thread: the list went with the callable that held it, freed here.
  }
}

CListRelease::~CListRelease() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace vellora
