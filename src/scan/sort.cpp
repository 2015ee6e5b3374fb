// Ordering of entry lists: the sort by name, size, type or date (optionally
// gathered by folder), the types it needs and the column-wise arrangement.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "settings/build_settings.h"
#include "scan/file_list.h"
#include "scan/folder_scanner.h"
#include "scan/natural_order.h"
#include "scan/sort_parts.h"
#include "platform/text_case.h"

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

// The texts one sort compares, made for it and freed with it, in one
// buffer: for each entry a record at an offset its SortItem holds. A record
// is the entry's upper-cased name (its length in 7-bit groups, low first,
// the high bit set on all but the last, then its bytes), and before the name
// in a keyed sort the leading bytes of the name's key. A key is stored as a
// length byte and at most kMaxKeyBytes bytes (kMaxNaturalKeyBytes for
// natural keys), cut before its first 0x01 byte (where the system's keys
// usually end their first level: the letters without accents or case).
// Keys with a zero byte are refused, so a key cut there, or a whole key, is
// smaller than any longer key it begins. Natural keys (NaturalKey) are
// stored uncut but for length, zero bytes and all. Two stored keys decide
// the order of their texts when they differ at a byte both hold, or when one
// begins the other and was not cut for length; any other pair is left to
// the comparison. Where texts collate as their bytes (Env::CollatesByteByByte)
// a name is its own key: the record holds the name alone, less the first
// eight bytes that its SortItem holds, and two records always decide the
// order of different names. A long list's records are made by several
// threads, each into a buffer of its own; the buffers are then joined in
// list order, each kept where it is rather than copied into one, so that
// the records are never held twice.
class SortTexts {
 public:
  enum class Keys { kNone, kSystem, kNatural, kBytes };

  static constexpr size_t kMaxKeyBytes = 64;
  // Natural keys hold every level of each text run before the next run, so
  // more of them is kept.
  static constexpr size_t kMaxNaturalKeyBytes = 127;

  // Made on the thread that asks for the sort: the natural key maker asks
  // the Env about its collation once, here.
  SortTexts(Env* env, Keys keys) : env_(env), keys_(keys) {
    if (keys_ == Keys::kNatural) natural_keys_.reset(new CNaturalKeyMaker(env_));
  }

  Keys keys() const { return keys_; }

  // The bytes the names of a list take in records without keys: `whole`
  // where they are stored whole, `tails` where their first eight bytes are
  // left to their prefixes.
  struct Sizes {
    size_t whole = 0;
    size_t tails = 0;
    void Add(size_t size) {
      size_t length = 1;
      for (size_t rest = size; rest > 0x7F; rest >>= 7) ++length;
      whole += length + size;
      tails += length + size - std::min<size_t>(8, size);
    }
    void Add(const Sizes& other) {
      whole += other.whole;
      tails += other.tails;
    }
  };

  // Room for the records of `count` names of `sizes`. Keys are made as the
  // names are added, so room for them is a guess: about as long as the names.
  void Reserve(const Sizes& sizes, size_t count) {
    switch (keys_) {
      case Keys::kBytes:
        bytes_.reserve(sizes.tails);
        break;
      case Keys::kNone:
        bytes_.reserve(sizes.whole);
        break;
      default:
        bytes_.reserve(2 * sizes.whole + count);
    }
  }

  // Appends the record of `name`; returns its offset and the first eight
  // bytes of its key as a number (see SortItem). False, with nothing added,
  // when the buffer is full or the system gives no key: the caller then
  // sorts without keys. Not after Join.
  bool Add(const std::string& name, uint32_t* offset, uint64_t* prefix) {
    upper_.assign(name);
    UpperCaseInPlace(&upper_, env_);
    const size_t at = bytes_.size();
    if (at > UINT32_MAX || UINT32_MAX - at < upper_.size() + kMaxNaturalKeyBytes + 16) return false;
    const char* key = upper_.data();
    size_t n = upper_.size();
    if (keys_ == Keys::kBytes) {
      // A zero byte would end the text for the system's comparison.
      if (upper_.find('\0') != std::string::npos) return false;
    } else if (keys_ == Keys::kNatural) {
      // Natural keys are made in place, after their length byte.
      bytes_.push_back('\0');
      if (!natural_keys_->Append(upper_, &bytes_)) {
        bytes_.resize(at);
        return false;
      }
      n = bytes_.size() - at - 1;
      const bool capped = n > kMaxNaturalKeyBytes;
      if (capped) n = kMaxNaturalKeyBytes;
      bytes_.resize(at + 1 + n);
      bytes_[at] = static_cast<char>(n | (capped ? kCapped : 0u));
      key = bytes_.data() + at + 1;
    } else if (keys_ == Keys::kSystem) {
      if (!env_->CollationKey(upper_, &key_) || key_.find('\0') != std::string::npos) return false;
      n = key_.find('\x01');
      if (n == std::string::npos) n = key_.size();
      const bool capped = n > kMaxKeyBytes;
      if (capped) n = kMaxKeyBytes;
      bytes_.push_back(static_cast<char>(n | (capped ? kCapped : 0u)));
      bytes_.append(key_, 0, n);
      key = key_.data();
    }
    uint64_t first = 0;
    for (size_t i = 0; i < 8; ++i) {
      first = (first << 8) | (i < n ? static_cast<unsigned char>(key[i]) : 0u);
    }
    for (size_t len = upper_.size(); ; len >>= 7) {
      bytes_.push_back(static_cast<char>((len & 0x7F) | (len > 0x7F ? 0x80 : 0)));
      if (len <= 0x7F) break;
    }
    bytes_.append(upper_, keys_ == Keys::kBytes ? std::min<size_t>(8, upper_.size()) : 0);
    *offset = static_cast<uint32_t>(at);
    *prefix = keys_ == Keys::kNone ? 0 : first;
    return true;
  }

  // Puts the records of `later`, made with the same keys for the items
  // that follow this one's, after this one's, and returns in `*shift` what
  // to add to the offsets `later` gave. False, with nothing joined, when
  // the offsets would no longer fit in 32 bits.
  bool Join(SortTexts&& later, uint32_t* shift) {
    const size_t start = end();
    if (start > UINT32_MAX || later.end() > UINT32_MAX - start) return false;
    *shift = static_cast<uint32_t>(start);
    later_.push_back(Part{start, std::move(later.bytes_)});
    for (Part& part : later.later_) {
      later_.push_back(Part{start + part.start, std::move(part.bytes)});
    }
    return true;
  }

  // The order of the two names when their keys decide it, else 0. Only
  // for names of equal prefixes (see Add).
  int KeyCompare(uint32_t a, uint32_t b) const {
    if (keys_ == Keys::kBytes) {
      const Text x = Stored(a);
      const Text y = Stored(b);
      const int c = std::memcmp(x.data, y.data, std::min(x.bytes, y.bytes));
      if (c != 0) return c < 0 ? -1 : 1;
      return x.size == y.size ? 0 : x.size < y.size ? -1 : 1;
    }
    const unsigned char* pa = At(a);
    const unsigned char* pb = At(b);
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

  // True when the keys decide the order of any two different names.
  bool KeysDecide() const { return keys_ == Keys::kBytes; }

  // True when two names of equal prefixes are the same.
  bool SameName(uint32_t a, uint32_t b) const {
    const Text x = Stored(a);
    const Text y = Stored(b);
    return x.size == y.size && std::memcmp(x.data, y.data, x.bytes) == 0;
  }

  // The upper-cased name of the record at `at` with prefix `prefix`, in `*out`.
  const std::string& Name(uint32_t at, uint64_t prefix, std::string* out) const {
    const Text x = Stored(at);
    out->clear();
    for (size_t i = 0; i < x.size - x.bytes; ++i) {
      out->push_back(static_cast<char>((prefix >> (56 - 8 * i)) & 0xFF));
    }
    out->append(x.data, x.bytes);
    return *out;
  }

 private:
  static constexpr unsigned kCapped = 0x80;

  // A stored name: `size` bytes long, of which the last `bytes` are at
  // `data` (where a name is its own key, its first eight bytes are its
  // prefix and not stored again).
  struct Text {
    const char* data;
    size_t size;
    size_t bytes;
  };

  // Records joined after this buffer's, from offset `start` on.
  struct Part {
    size_t start;
    std::string bytes;
  };

  size_t end() const {
    return later_.empty() ? bytes_.size() : later_.back().start + later_.back().bytes.size();
  }

  const unsigned char* At(uint32_t at) const {
    const std::string* bytes = &bytes_;
    size_t start = 0;
    for (const Part& part : later_) {
      if (at < part.start) break;
      bytes = &part.bytes;
      start = part.start;
    }
    return reinterpret_cast<const unsigned char*>(bytes->data()) + (at - start);
  }

  Text Stored(uint32_t at) const {
    const unsigned char* p = At(at);
    if (keys_ == Keys::kSystem || keys_ == Keys::kNatural) p += 1 + (p[0] & ~kCapped);
    size_t size = 0;
    for (unsigned shift = 0;; shift += 7) {
      const unsigned char c = *p++;
      size |= static_cast<size_t>(c & 0x7F) << shift;
      if ((c & 0x80) == 0) break;
    }
    const size_t bytes = keys_ == Keys::kBytes ? size - std::min<size_t>(8, size) : size;
    return Text{reinterpret_cast<const char*>(p), size, bytes};
  }

  Env* env_;
  Keys keys_;
  std::string bytes_;
  std::vector<Part> later_;
  std::string upper_;
  std::string key_;
  std::unique_ptr<CNaturalKeyMaker> natural_keys_;
};

// An entry in the sort's array: the offset of the record of its upper-cased
// name and the first eight bytes of that name's key, zero-padded, as a
// big-endian number (0 when the sort has no keys), and the rank of its
// upper-cased folder among the list's folders. The padding can make a key
// equal to one it begins but never reverses two keys, so two different
// numbers order their keys as the stored keys do; most comparisons of a long
// sort end there, without a cache miss in the records.
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
  // `texts` holds the records of the items (null: the names are upper-cased
  // where they are compared); its keys are used when `keyed`.
  GoesBefore(int kind, int order, bool group, bool use_titles, bool natural,
             const SortTexts* texts, bool keyed, Env* env)
      : kind_(kind),
        order_(order),
        group_(group),
        use_titles_(use_titles),
        natural_(natural),
        keyed_(keyed && texts != nullptr),
        texts_(texts),
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
    return texts_->KeyCompare(a.name_key, b.name_key);
  }

  // The upper-cased name of `item`, in `*scratch`.
  const std::string& Upper(const SortItem& item, std::string* scratch) const {
    if (texts_ != nullptr) return texts_->Name(item.name_key, item.name_prefix, scratch);
    scratch->assign(item.entry->name);
    UpperCaseInPlace(scratch, env_);
    return *scratch;
  }

  bool SameUpper(const SortItem& a, const SortItem& b) const {
    if (texts_ != nullptr) {
      return a.name_prefix == b.name_prefix && texts_->SameName(a.name_key, b.name_key);
    }
    return Upper(a, &upper_a_) == Upper(b, &upper_b_);
  }

  int NameCollate(const SortItem& a, const SortItem& b) const {
    if (keyed_) {
      const int c = KeyCompare(a, b);
      if (c != 0 || texts_->KeysDecide()) return c;
    }
    return NameOrder(env_, natural_, Upper(a, &upper_a_), Upper(b, &upper_b_));
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
    if (keyed_ && !use_titles_) {
      const int k = KeyCompare(xi, pi);
      if (k != 0) return -k;
    }
    const bool same_name = SameUpper(xi, pi);
    int c = 0;
    if (!use_titles_ && !same_name) {
      c = -NameCollate(xi, pi);
    } else {
      const CFileEntry& x = *xi.entry;
      const CFileEntry& p = *pi.entry;
      const std::string* a = &x.folder();
      const std::string* b = &p.folder();
      if (!same_name) {
        a = &Upper(xi, &upper_a_);
        b = &Upper(pi, &upper_b_);
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
  bool keyed_;
  const SortTexts* texts_;  // null: names are upper-cased where compared
  Env* env_;
  // Upper-cased names for the comparisons the keys leave open.
  mutable std::string upper_a_;
  mutable std::string upper_b_;
};

void FillType(CFileEntry* e) {
  const size_t dot = e->name.rfind('.');
  e->type = std::make_unique<std::string>(dot == std::string::npos ? e->name
                                                                   : e->name.substr(dot + 1));
}

// Lists at least this long are sorted on as many threads as the Env allows
// (Env::ListingThreads); for shorter ones the threads cost about what they
// save.
constexpr size_t kThreadedSortMin = 32768;

// Folders per thread below which their ranks are made on fewer threads.
constexpr size_t kFoldersPerPart = 256;

// The rank of each folder record in the order of the comparison of the
// upper-cased folders (a missing record counts as the empty folder); folders
// that compare equal share a rank. Made on up to `parts` threads: a
// collation of long paths is slow, and a large tree has many folders.
std::vector<uint32_t> RankFolders(const std::vector<const CEntryFolder*>& folders, Env* env,
                                  int parts) {
  static const std::string kEmpty;
  auto upper = [](const CEntryFolder* f) -> const std::string& { return f ? f->upper : kEmpty; };
  const size_t n = folders.size();
  parts = static_cast<int>(std::min<size_t>(parts, std::max<size_t>(1, n / kFoldersPerPart)));
  std::vector<uint32_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = static_cast<uint32_t>(i);
  std::vector<uint32_t> scratch;
  ParallelStableSort(order.data(), n, parts, &scratch, [&](uint32_t a, uint32_t b) {
    return Collate(env, upper(folders[a]), upper(folders[b])) < 0;
  });
  // Where the rank goes up: each neighbour pair compared on the threads,
  // the ranks counted here.
  std::vector<unsigned char> rises(n, 0);
  RunInParts(parts, [&](int p) {
    const size_t end = PartStart(n, parts, p + 1);
    for (size_t i = std::max<size_t>(1, PartStart(n, parts, p)); i < end; ++i) {
      rises[i] = Collate(env, upper(folders[order[i - 1]]), upper(folders[order[i]])) != 0;
    }
  });
  std::vector<uint32_t> rank(n);
  uint32_t r = 0;
  for (size_t i = 0; i < n; ++i) {
    r += rises[i];
    rank[order[i]] = r;
  }
  return rank;
}

// The records of the names of `items`, with keys of the kind `keys`; null
// when a name has no such key or the names are too many for the offsets
// (the sort then upper-cases names where it compares them). Each part of
// the items (from start[p], names of sizes[p]) is done on a thread of its
// own into a buffer of its own; the buffers are joined in list order, so
// that the offsets keep the items' list order.
std::unique_ptr<SortTexts> MakeSortTexts(std::vector<SortItem>* items,
                                         const std::vector<size_t>& start,
                                         const std::vector<SortTexts::Sizes>& sizes,
                                         SortTexts::Keys keys, Env* env) {
  const int parts = static_cast<int>(sizes.size());
  SortTexts::Sizes all;
  for (const SortTexts::Sizes& part : sizes) all.Add(part);
  if (all.whole >= UINT32_MAX) return nullptr;
  std::vector<std::unique_ptr<SortTexts>> texts;
  for (int p = 0; p < parts; ++p) texts.emplace_back(new SortTexts(env, keys));
  std::atomic<bool> failed{false};
  RunInParts(parts, [&](int p) {
    SortTexts& own = *texts[p];
    own.Reserve(sizes[p], start[p + 1] - start[p]);
    for (size_t i = start[p]; i < start[p + 1] && !failed.load(std::memory_order_relaxed); ++i) {
      SortItem& item = (*items)[i];
      if (!own.Add(item.entry->name, &item.name_key, &item.name_prefix)) failed.store(true);
    }
  });
  if (failed.load()) return nullptr;
  for (int p = 1; p < parts; ++p) {
    uint32_t shift = 0;
    if (!texts[0]->Join(std::move(*texts[p]), &shift)) return nullptr;
    texts[p].reset();
    for (size_t i = start[p]; i < start[p + 1]; ++i) (*items)[i].name_key += shift;
  }
  return std::move(texts[0]);
}

// Sorts by `before` each run of neighbours that `same_start` calls equal;
// the runs are shared out among `parts` threads, cut only between runs.
template <typename SameStart>
void SortRuns(std::vector<SortItem>* items, int parts, const SameStart& same_start,
              const GoesBefore& before) {
  SortItem* const v = items->data();
  const size_t n = items->size();
  std::vector<size_t> start(static_cast<size_t>(parts) + 1, n);
  start[0] = 0;
  for (int p = 1; p < parts; ++p) {
    size_t at = std::max(PartStart(n, parts, p), start[p - 1]);
    while (at > 0 && at < n && same_start(v[at - 1], v[at])) ++at;
    start[p] = at;
  }
  RunInParts(parts, [&](int p) {
    const GoesBefore own_before(before);  // its comparisons keep buffers
    std::vector<SortItem> scratch;
    for (size_t lo = start[p]; lo < start[p + 1];) {
      size_t hi = lo + 1;
      while (hi < start[p + 1] && same_start(v[lo], v[hi])) ++hi;
      if (hi - lo > 1) StableSort(v + lo, hi - lo, &scratch, own_before);
      lo = hi;
    }
  });
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
  // A long list is sorted on as many threads as may read folders at once:
  // the Env's text calls are safe from that many.
  const int parts = count_ >= kThreadedSortMin
                        ? std::min(std::max(env->ListingThreads(), 1), kMaxListingThreads)
                        : 1;
  std::vector<size_t> start(static_cast<size_t>(parts) + 1);
  for (int p = 0; p <= parts; ++p) start[p] = PartStart(count_, parts, p);
  std::vector<SortItem> items;
  items.reserve(count_);
  // The distinct folder records, then their ranks: folders are few, so they
  // are compared once here instead of at every step of the sort.
  std::vector<const CEntryFolder*> folders;
  std::unordered_map<const CEntryFolder*, uint32_t> folder_index;
  const CEntryFolder* last_folder = nullptr;
  uint32_t last_index = 0;
  // The sizes of the names of each part, for the room of its records.
  std::vector<SortTexts::Sizes> name_sizes(static_cast<size_t>(parts));
  int part = 0;
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
    while (part + 1 < parts && items.size() >= start[part + 1]) ++part;
    name_sizes[part].Add(e->name.size());
    items.push_back(item);
  }
  for (int p = 0; p <= parts; ++p) start[p] = PartStart(items.size(), parts, p);
  std::vector<uint32_t> rank = RankFolders(folders, env, parts);
  for (SortItem& item : items) item.folder_rank = rank[item.folder_rank];
  folder_index.clear();
  // The upper-cased names (and their keys) of a sort that compares names.
  std::unique_ptr<SortTexts> texts;
  if (order != CBuildSettings::kSortUnsorted) {
    SortTexts::Keys keys = SortTexts::Keys::kNone;
    if (count_ >= kKeyedSortMin) {
      keys = natural                     ? SortTexts::Keys::kNatural
             : env->CollatesByteByByte() ? SortTexts::Keys::kBytes
                                         : SortTexts::Keys::kSystem;
    }
    texts = MakeSortTexts(&items, start, name_sizes, keys, env);
    // A name without a key: every name is stored again without one.
    if (!texts && keys != SortTexts::Keys::kNone) {
      texts = MakeSortTexts(&items, start, name_sizes, SortTexts::Keys::kNone, env);
    }
  }
  const bool keyed = texts && texts->keys() != SortTexts::Keys::kNone;
  const GoesBefore before(kind, order, group_by_folder, use_titles, natural, texts.get(), keyed,
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
  auto starts_before = [&](const SortItem& x, const SortItem& p) {
    if (group_by_folder && x.folder_rank != p.folder_rank) return x.folder_rank < p.folder_rank;
    if (!by_prefix || x.name_prefix == p.name_prefix) return false;
    return descending ? x.name_prefix > p.name_prefix : x.name_prefix < p.name_prefix;
  };
  std::vector<SortItem> scratch;
  if (texts && (group_by_folder || by_prefix)) {
    // The records lie in list order, so their offsets keep items of equal
    // starts in list order: a sort in place does, without a scratch array
    // as long as the list.
    ParallelSort(items.data(), items.size(), parts, [&](const SortItem& x, const SortItem& p) {
      if (starts_before(x, p)) return true;
      if (starts_before(p, x)) return false;
      return x.name_key < p.name_key;
    });
  } else if (group_by_folder) {
    ParallelStableSort(items.data(), items.size(), parts, &scratch, starts_before);
  }
  if (order != CBuildSettings::kSortUnsorted) {
    if (group_by_folder || by_prefix) {
      SortRuns(&items, parts, same_start, before);
    } else {
      // Nothing to start by: the whole list is one run.
      ParallelStableSort(items.data(), items.size(), parts, &scratch, before);
    }
  }
  // The entries lie in memory in no order now: each is asked for well
  // before it is relinked, each part of the list on a thread of its own.
  constexpr size_t kAhead = 16;
  const size_t n = items.size();
  // Only a long list keeps its order in an array.
  const bool keep_order = n >= kOrderKeptFrom;
  std::vector<CFileEntry*> in_order(keep_order ? n : 0);
  RunInParts(parts, [&](int p) {
    const size_t end = PartStart(n, parts, p + 1);
    for (size_t i = PartStart(n, parts, p); i < end; ++i) {
#if defined(__GNUC__)
      if (i + kAhead < end) __builtin_prefetch(items[i + kAhead].entry, 1);
#endif
      if (i + 1 < n) items[i].entry->next = items[i + 1].entry;
      if (keep_order) in_order[i] = items[i].entry;
    }
  });
  head_ = items.front().entry;
  tail_ = items.back().entry;
  tail_->next = nullptr;
  items = std::vector<SortItem>();
  if (keep_order) {
    KeepOrder(std::move(in_order));
  } else {
    order_.clear();
  }
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
