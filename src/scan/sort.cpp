// Ordering of entry lists: the sort by name, size, type or date (optionally
// gathered by folder), the types it needs and the column-wise arrangement.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "settings/build_settings.h"
#include "scan/file_list.h"
#include "scan/folder_scanner.h"
#include "scan/natural_order.h"

namespace vellora {

namespace {

// The most table columns the page writer lays out.
constexpr int kMaxColumns = 20;

int Sign(int v) { return (v > 0) - (v < 0); }

// The locale-aware comparison, as a sign. Equal bytes always compare equal,
// which spares the collation call for the common ties.
int Collate(Env* env, const std::string& a, const std::string& b) {
  if (a == b) return 0;
  return Sign(env->CompareText(a, b));
}

// Natural order first, when asked for; texts it calls equal by the plain
// comparison, so that the order stays total.
int NameOrder(Env* env, bool natural, const std::string& a, const std::string& b) {
  if (a == b) return 0;
  if (natural) {
    const int c = NaturalCompare(a, b, env);
    if (c != 0) return c;
  }
  return Sign(env->CompareText(a, b));
}

// Leading bytes of the collation keys of the names of one sort, in one
// buffer. A key is stored as a length byte and at most kMaxKeyBytes bytes
// (kMaxNaturalKeyBytes for natural keys),
// cut before its first 0x01 byte (where the system's keys usually end their
// first level: the letters without accents or case). Keys with a zero byte
// are refused, so a key cut there, or a whole key, is smaller than any
// longer key it begins. Natural keys (NaturalKey) are stored uncut but for
// length, zero bytes and all. Two stored keys decide the order of their
// texts when they differ at a byte both hold, or when one begins the other
// and was not cut for length; any other pair is left to the comparison.
class KeyStore {
 public:
  static constexpr size_t kMaxKeyBytes = 64;
  // Natural keys hold every level of each text run before the next run, so
  // more of them is kept.
  static constexpr size_t kMaxNaturalKeyBytes = 127;

  // Stores the key of `text`; returns its offset and its first eight bytes
  // as a number (see SortItem), or false when the system has no keys.
  bool Add(Env* env, const std::string& text, bool natural, uint32_t* offset, uint64_t* prefix) {
    if (bytes_.size() > UINT32_MAX - kMaxNaturalKeyBytes - 1) return false;
    const size_t at = bytes_.size();
    size_t n = 0;
    if (natural) {
      // Natural keys are made in place, after their length byte.
      if (!natural_keys_) natural_keys_.reset(new CNaturalKeyMaker(env));
      bytes_.push_back('\0');
      if (!natural_keys_->Append(text, &bytes_)) {
        bytes_.resize(at);
        return false;
      }
      n = bytes_.size() - at - 1;
      const bool capped = n > kMaxNaturalKeyBytes;
      if (capped) n = kMaxNaturalKeyBytes;
      bytes_.resize(at + 1 + n);
      bytes_[at] = static_cast<char>(n | (capped ? kCapped : 0u));
    } else {
      if (!env->CollationKey(text, &key_) || key_.find('\0') != std::string::npos) return false;
      n = key_.find('\x01');
      if (n == std::string::npos) n = key_.size();
      const bool capped = n > kMaxKeyBytes;
      if (capped) n = kMaxKeyBytes;
      bytes_.push_back(static_cast<char>(n | (capped ? kCapped : 0u)));
      bytes_.append(key_, 0, n);
    }
    *offset = static_cast<uint32_t>(at);
    const char* key = natural ? bytes_.data() + at + 1 : key_.data();
    uint64_t first = 0;
    for (size_t i = 0; i < 8; ++i) {
      first = (first << 8) | (i < n ? static_cast<unsigned char>(key[i]) : 0u);
    }
    *prefix = first;
    return true;
  }

  // The order of the two texts when their keys decide it, else 0.
  int Compare(uint32_t a, uint32_t b) const {
    const unsigned char* pa = reinterpret_cast<const unsigned char*>(bytes_.data()) + a;
    const unsigned char* pb = reinterpret_cast<const unsigned char*>(bytes_.data()) + b;
    const size_t na = pa[0] & ~kCapped;
    const size_t nb = pb[0] & ~kCapped;
    const size_t n = std::min(na, nb);
    for (size_t i = 1; i <= n; ++i) {
      if (pa[i] != pb[i]) return pa[i] < pb[i] ? -1 : 1;
    }
    if (na < nb && !(pa[0] & kCapped)) return -1;
    if (nb < na && !(pb[0] & kCapped)) return 1;
    return 0;
  }

 private:
  static constexpr unsigned kCapped = 0x80;

  std::string bytes_;
  std::string key_;
  std::unique_ptr<CNaturalKeyMaker> natural_keys_;
};

// An entry in the sort's array: the offset of the key of its upper-cased
// name and the key's first eight bytes, zero-padded, as a big-endian number
// (both unused when the sort has no keys), and the rank of its upper-cased
// folder among the list's folders. The padding can make a key equal to one
// it begins but never reverses two keys, so two different numbers order
// their keys as the stored keys do; most comparisons of a
// long sort end there, without a cache miss in the key store.
struct SortItem {
  CFileEntry* entry;
  uint64_t name_prefix;
  uint32_t name_key;
  uint32_t folder_rank;
};

// Lists shorter than this are compared directly: making keys would cost
// more than it saves.
constexpr size_t kKeyedSortMin = 64;

// The "goes before" rule of one sort: x goes before p when it must come
// first in the sorted list.
class GoesBefore {
 public:
  GoesBefore(int kind, int order, bool group, bool use_titles, bool natural, const KeyStore* keys,
             Env* env)
      : kind_(kind),
        order_(order),
        group_(group),
        use_titles_(use_titles),
        natural_(natural),
        keys_(keys),
        env_(env) {}

  bool operator()(const SortItem& xi, const SortItem& pi) const {
    if (group_ && xi.folder_rank != pi.folder_rank) return xi.folder_rank < pi.folder_rank;
    if (order_ == CBuildSettings::kSortUnsorted) return false;
    const int c = Value(xi, pi);
    return order_ == CBuildSettings::kSortDescending ? c < 0 : c > 0;
  }

 private:
  // The order the stored keys give, or 0.
  int KeyCompare(const SortItem& a, const SortItem& b) const {
    if (a.name_prefix != b.name_prefix) return a.name_prefix < b.name_prefix ? -1 : 1;
    return keys_->Compare(a.name_key, b.name_key);
  }

  int NameCollate(const SortItem& a, const SortItem& b) const {
    if (keys_ != nullptr) {
      const int c = KeyCompare(a, b);
      if (c != 0) return c;
    }
    return NameOrder(env_, natural_, a.entry->name_upper, b.entry->name_upper);
  }

  static int FolderCollate(const SortItem& a, const SortItem& b) {
    return a.folder_rank == b.folder_rank ? 0 : a.folder_rank < b.folder_rank ? -1 : 1;
  }

  // Positive when x sorts before p in ascending order, negative when after.
  int Value(const SortItem& xi, const SortItem& pi) const {
    const CFileEntry& x = *xi.entry;
    const CFileEntry& p = *pi.entry;
    switch (kind_) {
      case CBuildSettings::kSortBySize:
        if (x.size == p.size) return NameTie(xi, pi);
        return x.size < p.size ? 1 : -1;
      case CBuildSettings::kSortByType: {
        const std::string& a = *x.type;  // filled by Sort
        const std::string& b = *p.type;
        if (a == b) return NameTie(xi, pi);
        return a.compare(b) < 0 ? 1 : -1;  // bytes, unsigned; a prefix is smaller
      }
      case CBuildSettings::kSortByDate:
        if (x.time != p.time) return x.time < p.time ? 1 : -1;
        return NameCollate(xi, pi);
      default:
        return NameValue(xi, pi);
    }
  }

  // Equal sizes or types: A to Z by name in either order.
  int NameTie(const SortItem& x, const SortItem& p) const {
    const int c = NameCollate(x, p);
    return order_ == CBuildSettings::kSortDescending ? c : -c;
  }

  int NameValue(const SortItem& xi, const SortItem& pi) const {
    // Keys that decide the order belong to different names: the entries
    // themselves (a cache miss each in a long list) need not be read.
    if (keys_ != nullptr && !use_titles_) {
      const int k = KeyCompare(xi, pi);
      if (k != 0) return -k;
    }
    const CFileEntry& x = *xi.entry;
    const CFileEntry& p = *pi.entry;
    int c = 0;
    if (!use_titles_ && x.name_upper != p.name_upper) {
      c = -NameCollate(xi, pi);
    } else {
      const std::string* a = &x.name_upper;
      const std::string* b = &p.name_upper;
      if (*a == *b) {
        a = &x.folder();
        b = &p.folder();
      }
      std::string joined_a;
      std::string joined_b;
      if (use_titles_) {
        if (x.title) a = x.title.get();
        if (p.title) b = p.title.get();
        if (*a == *b) {
          joined_a = x.folder() + x.name;
          joined_b = p.folder() + p.name;
          a = &joined_a;
          b = &joined_b;
        }
      }
      c = -NameOrder(env_, natural_, *a, *b);
    }
    if (c != 0) return c;
    return FolderCollate(xi, pi);
  }

  int kind_;
  int order_;
  bool group_;
  bool use_titles_;
  bool natural_;
  const KeyStore* keys_;  // null: compare directly
  Env* env_;
};

// Stable merge sort by `before`. Every access is bounds-checked by the loop
// conditions, so even a rule that is not a strict weak ordering (a collation
// that calls different texts equal) cannot make it leave the array.
template <typename T, typename Before>
void StableSort(T* first, size_t n, std::vector<T>* scratch, const Before& before) {
  constexpr size_t kRun = 16;
  for (size_t lo = 0; lo < n; lo += kRun) {
    const size_t hi = std::min(n, lo + kRun);
    for (size_t i = lo + 1; i < hi; ++i) {
      T x = first[i];
      size_t j = i;
      while (j > lo && before(x, first[j - 1])) {
        first[j] = first[j - 1];
        --j;
      }
      first[j] = x;
    }
  }
  if (n <= kRun) return;
  if (scratch->size() < n) scratch->resize(n);
  // Each pass merges from `v` into `buffer`; then they change places.
  T* v = first;
  T* buffer = scratch->data();
  for (size_t width = kRun; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      const size_t mid = std::min(n, lo + width);
      const size_t hi = std::min(n, lo + 2 * width);
      size_t i = lo;
      size_t j = mid;
      size_t k = lo;
      // Runs already in order (common after a scan of sorted folders) are copied.
      if (mid < hi && before(v[mid], v[mid - 1])) {
        while (i < mid && j < hi) buffer[k++] = before(v[j], v[i]) ? v[j++] : v[i++];
      }
      while (i < mid) buffer[k++] = v[i++];
      while (j < hi) buffer[k++] = v[j++];
    }
    std::swap(v, buffer);
  }
  if (v != first) std::copy(v, v + n, first);
}

template <typename T, typename Before>
void StableSort(std::vector<T>* items, const Before& before) {
  std::vector<T> scratch;
  StableSort(items->data(), items->size(), &scratch, before);
}

void FillType(CFileEntry* e) {
  const size_t dot = e->name.rfind('.');
  e->type = std::make_unique<std::string>(dot == std::string::npos ? e->name
                                                                   : e->name.substr(dot + 1));
}

// The rank of each folder record in the order of the comparison of the
// upper-cased folders (a missing record counts as the empty folder); folders
// that compare equal share a rank.
std::vector<uint32_t> RankFolders(const std::vector<const CEntryFolder*>& folders, Env* env) {
  static const std::string kEmpty;
  auto upper = [](const CEntryFolder* f) -> const std::string& { return f ? f->upper : kEmpty; };
  std::vector<uint32_t> order(folders.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
  StableSort(&order, [&](uint32_t a, uint32_t b) {
    return Collate(env, upper(folders[a]), upper(folders[b])) < 0;
  });
  std::vector<uint32_t> rank(folders.size());
  uint32_t r = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    if (i > 0 && Collate(env, upper(folders[order[i - 1]]), upper(folders[order[i]])) != 0) ++r;
    rank[order[i]] = r;
  }
  return rank;
}

}  // namespace

void CFileList::FillTypes() {
  for (CFileEntry* e = head_; e != nullptr; e = e->next) FillType(e);
}

void CFileList::Sort(int kind, int order, bool group_by_folder, bool use_titles, Env* env,
                     bool natural) {
  if (head_ == nullptr || head_->next == nullptr) return;
  if (order == CBuildSettings::kSortUnsorted && !group_by_folder) return;
  if (env == nullptr) env = Env::Default();
  std::vector<SortItem> items;
  items.reserve(count_);
  // The distinct folder records, then their ranks: folders are few, so they
  // are compared once here instead of at every step of the sort.
  std::vector<const CEntryFolder*> folders;
  std::unordered_map<const CEntryFolder*, uint32_t> folder_index;
  KeyStore names;
  bool keyed = count_ >= kKeyedSortMin;
  const CEntryFolder* last_folder = nullptr;
  uint32_t last_index = 0;
  for (CFileEntry* e = head_; e != nullptr; e = e->next) {
    if (kind == CBuildSettings::kSortByType && !e->type) FillType(e);
    SortItem item{e, 0, 0, 0};
    const CEntryFolder* folder = e->folder_record().get();
    if (folders.empty() || folder != last_folder) {
      auto found = folder_index.emplace(folder, static_cast<uint32_t>(folders.size()));
      if (found.second) folders.push_back(folder);
      last_folder = folder;
      last_index = found.first->second;
    }
    item.folder_rank = last_index;
    if (keyed) keyed = names.Add(env, e->name_upper, natural, &item.name_key, &item.name_prefix);
    items.push_back(item);
  }
  std::vector<uint32_t> rank = RankFolders(folders, env);
  for (SortItem& item : items) item.folder_rank = rank[item.folder_rank];
  folder_index.clear();
  const GoesBefore before(kind, order, group_by_folder, use_titles, natural, keyed ? &names : nullptr,
                         env);
  // First by what the items hold themselves: the folder rank when grouping,
  // the first key bytes in a sort by name. Then each run that leaves equal
  // is sorted by the whole rule; a run's keys and entries are few, so they
  // stay in the cache while it is sorted, where one sort of a long list
  // would miss it at nearly every step.
  const bool by_name = kind != CBuildSettings::kSortBySize && kind != CBuildSettings::kSortByType &&
                       kind != CBuildSettings::kSortByDate;
  const bool by_prefix = keyed && by_name && !use_titles && order != CBuildSettings::kSortUnsorted;
  const bool descending = order == CBuildSettings::kSortDescending;
  auto same_start = [&](const SortItem& x, const SortItem& p) {
    return (!group_by_folder || x.folder_rank == p.folder_rank) &&
           (!by_prefix || x.name_prefix == p.name_prefix);
  };
  std::vector<SortItem> scratch;
  if (group_by_folder || by_prefix) {
    StableSort(items.data(), items.size(), &scratch, [&](const SortItem& x, const SortItem& p) {
      if (group_by_folder && x.folder_rank != p.folder_rank) return x.folder_rank < p.folder_rank;
      if (!by_prefix || x.name_prefix == p.name_prefix) return false;
      return descending ? x.name_prefix > p.name_prefix : x.name_prefix < p.name_prefix;
    });
  }
  if (order != CBuildSettings::kSortUnsorted) {
    for (size_t lo = 0; lo < items.size();) {
      size_t hi = lo + 1;
      while (hi < items.size() && same_start(items[lo], items[hi])) ++hi;
      if (hi - lo > 1) StableSort(&items[lo], hi - lo, &scratch, before);
      lo = hi;
    }
  }
  head_ = items.front().entry;
  for (size_t i = 0; i + 1 < items.size(); ++i) items[i].entry->next = items[i + 1].entry;
  tail_ = items.back().entry;
  tail_->next = nullptr;
}

void CFolderScanner::ArrangeInColumns(CFileList& list, int columns) {
  // The column count is capped before the rows are counted, so that every
  // entry finds a place.
  const size_t cols = static_cast<size_t>(std::min(std::max(columns, 1), kMaxColumns));
  std::vector<CFileEntry*> entries = list.Entries();
  const size_t n = entries.size();
  if (cols >= n) return;
  const size_t rows = (n + cols - 1) / cols;
  // Column k takes the entries at table positions k, k + cols, ... below n,
  // in list order.
  std::vector<size_t> first(cols);
  size_t next = 0;
  for (size_t k = 0; k < cols; ++k) {
    first[k] = next;
    next += (n - k + cols - 1) / cols;
  }
  std::vector<CFileEntry*> arranged;
  arranged.reserve(n);
  for (size_t j = 0; j < rows; ++j) {
    for (size_t k = 0; k < cols && j * cols + k < n; ++k) arranged.push_back(entries[first[k] + j]);
  }
  list.Relink(arranged);
}

}  // namespace vellora
