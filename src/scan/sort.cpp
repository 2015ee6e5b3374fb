// Ordering of entry lists: the sort by name, size, type or date (optionally
// gathered by folder), the types it needs and the column-wise arrangement.
#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "app/build_settings.h"
#include "scan/file_list.h"
#include "scan/index_builder.h"

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

// The "goes before" rule of one sort: x goes before p when it must come
// first in the sorted list.
class GoesBefore {
 public:
  GoesBefore(int kind, int order, bool group, bool use_titles, Env* env)
      : kind_(kind), order_(order), group_(group), use_titles_(use_titles), env_(env) {}

  bool operator()(const CFileEntry* x, const CFileEntry* p) const {
    if (group_) {
      const int f = x->folder_record() == p->folder_record()
                        ? 0
                        : Collate(env_, p->folder_upper(), x->folder_upper());
      if (f != 0) return f > 0;
    }
    if (order_ == CBuildSettings::kSortUnsorted) return false;
    const int c = Value(*x, *p);
    return order_ == CBuildSettings::kSortDescending ? c < 0 : c > 0;
  }

 private:
  // Positive when x sorts before p in ascending order, negative when after.
  int Value(const CFileEntry& x, const CFileEntry& p) const {
    switch (kind_) {
      case CBuildSettings::kSortBySize:
        if (x.size == p.size) return NameTie(x, p);
        return x.size < p.size ? 1 : -1;
      case CBuildSettings::kSortByType: {
        const std::string& a = *x.type;  // filled by Sort
        const std::string& b = *p.type;
        if (a == b) return NameTie(x, p);
        return a.compare(b) < 0 ? 1 : -1;  // bytes, unsigned; a prefix is smaller
      }
      case CBuildSettings::kSortByDate:
        if (x.time != p.time) return x.time < p.time ? 1 : -1;
        return Collate(env_, x.name_upper, p.name_upper);
      default:
        return NameValue(x, p);
    }
  }

  // Equal sizes or types: A to Z by name in either order.
  int NameTie(const CFileEntry& x, const CFileEntry& p) const {
    const int c = Collate(env_, x.name_upper, p.name_upper);
    return order_ == CBuildSettings::kSortDescending ? c : -c;
  }

  int NameValue(const CFileEntry& x, const CFileEntry& p) const {
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
    const int c = -Collate(env_, *a, *b);
    if (c != 0) return c;
    return Collate(env_, x.folder_upper(), p.folder_upper());
  }

  int kind_;
  int order_;
  bool group_;
  bool use_titles_;
  Env* env_;
};

// Stable merge sort by `before`. Every access is bounds-checked by the loop
// conditions, so even a rule that is not a strict weak ordering (a collation
// that calls different texts equal) cannot make it leave the array.
template <typename Before>
void StableSort(std::vector<CFileEntry*>* items, const Before& before) {
  std::vector<CFileEntry*>& v = *items;
  const size_t n = v.size();
  constexpr size_t kRun = 16;
  for (size_t lo = 0; lo < n; lo += kRun) {
    const size_t hi = std::min(n, lo + kRun);
    for (size_t i = lo + 1; i < hi; ++i) {
      CFileEntry* x = v[i];
      size_t j = i;
      while (j > lo && before(x, v[j - 1])) {
        v[j] = v[j - 1];
        --j;
      }
      v[j] = x;
    }
  }
  if (n <= kRun) return;
  std::vector<CFileEntry*> buffer(n);
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
    v.swap(buffer);
  }
}

void FillType(CFileEntry* e) {
  const size_t dot = e->name.rfind('.');
  e->type = std::make_unique<std::string>(dot == std::string::npos ? e->name
                                                                   : e->name.substr(dot + 1));
}

}  // namespace

void CFileList::FillTypes() {
  for (CFileEntry* e = head_; e != nullptr; e = e->next) FillType(e);
}

void CFileList::Sort(int kind, int order, bool group_by_folder, bool use_titles, Env* env) {
  if (head_ == nullptr || head_->next == nullptr) return;
  if (order == CBuildSettings::kSortUnsorted && !group_by_folder) return;
  if (env == nullptr) env = Env::Default();
  std::vector<CFileEntry*> entries = Entries();
  if (kind == CBuildSettings::kSortByType) {
    for (CFileEntry* e : entries) {
      if (!e->type) FillType(e);
    }
  }
  StableSort(&entries, GoesBefore(kind, order, group_by_folder, use_titles, env));
  Relink(entries);
}

void CIndexBuilder::ArrangeInColumns(CFileList& list, int columns) {
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
