// The sorting steps of a long list, spread over threads: the array is cut
// into parts that threads sort at once, and the result is the one the same
// step gives on one thread. With one part every step runs on the calling
// thread alone.
#ifndef VELLORA_SCAN_SORT_PARTS_H_
#define VELLORA_SCAN_SORT_PARTS_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace vellora {

// Calls work(0) ... work(parts - 1) at once, work(0) on the calling thread
// and each other part on a thread of its own, and returns when all have
// ended. A part that no thread can be made for runs on the calling thread.
// The first exception a part throws is thrown again here once all have
// ended.
void RunInParts(int parts, const std::function<void(int part)>& work);

// The first index of part `part` when `n` items are cut into `parts` parts
// of nearly equal size (part == parts gives n).
inline size_t PartStart(size_t n, int parts, int part) {
  return static_cast<size_t>(static_cast<uint64_t>(n) * static_cast<uint64_t>(part) /
                             static_cast<uint64_t>(parts));
}

// Merges the ordered runs first[0, nl) and first[nl, n) by `before`, the
// first run moved out of the way into `left` (room for nl items). Items
// neither goes before keep their order, those of the first run first.
template <typename T, typename Before>
void MergeRuns(T* first, size_t nl, size_t n, T* left, const Before& before) {
  std::copy(first, first + nl, left);
  size_t i = 0;
  size_t j = nl;
  size_t k = 0;
  while (i < nl && j < n) first[k++] = before(first[j], left[i]) ? first[j++] : left[i++];
  while (i < nl) first[k++] = left[i++];
}

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
  // A merge moves its left run out of the way and merges it with the right
  // one from the front: the scratch holds at most the longest left run, not
  // the whole array, and is made at once at that size.
  size_t longest = kRun;
  while (longest < n - longest) longest *= 2;
  for (size_t width = kRun; width < n; width *= 2) {
    for (size_t lo = 0; lo + width < n; lo += 2 * width) {
      T* v = first + lo;
      // Runs already in order (common after a scan of sorted folders) stay.
      if (!before(v[width], v[width - 1])) continue;
      if (scratch->size() < width) scratch->resize(longest);
      MergeRuns(v, width, std::min(n - lo, 2 * width), scratch->data(), before);
    }
  }
}

// StableSort on `parts` threads: each part is sorted on its own (each
// thread with its own copy of `before`, whose comparisons may keep
// buffers), then neighbouring parts are merged, pairs at once. The scratch
// all threads hold at once is about half the array, as on one thread.
template <typename T, typename Before>
void ParallelStableSort(T* first, size_t n, int parts, std::vector<T>* scratch,
                        const Before& before) {
  if (parts <= 1) {
    StableSort(first, n, scratch, before);
    return;
  }
  std::vector<size_t> start(static_cast<size_t>(parts) + 1);
  for (int p = 0; p <= parts; ++p) start[p] = PartStart(n, parts, p);
  RunInParts(parts, [&](int p) {
    const Before own_before(before);
    std::vector<T> own;
    StableSort(first + start[p], start[p + 1] - start[p], p == 0 ? scratch : &own, own_before);
  });
  for (int width = 1; width < parts; width *= 2) {
    const int merges = (parts - width + 2 * width - 1) / (2 * width);
    RunInParts(merges, [&](int m) {
      const int p = 2 * m * width;
      T* v = first + start[p];
      const size_t nl = start[p + width] - start[p];
      const size_t hi = start[std::min(parts, p + 2 * width)] - start[p];
      const Before own_before(before);
      if (nl == 0 || hi == nl || !own_before(v[nl], v[nl - 1])) return;
      std::vector<T> own;
      std::vector<T>* left = m == 0 ? scratch : &own;
      if (left->size() < nl) left->resize(nl);
      MergeRuns(v, nl, hi, left->data(), own_before);
    });
  }
}

// std::sort on `parts` threads, for a strict total order `less` of plain
// values (never a collation: std::sort may leave the array for a rule that
// is no strict weak ordering). The array is split around a pivot drawn
// from a sample, each side sorted at once; no scratch is needed.
template <typename T, typename Less>
void ParallelSort(T* first, size_t n, int parts, const Less& less) {
  constexpr size_t kSample = 63;
  if (parts <= 1 || n < 16 * kSample) {
    std::sort(first, first + n, less);
    return;
  }
  const int left_parts = parts / 2;
  std::vector<T> sample;
  sample.reserve(kSample);
  for (size_t i = 0; i < kSample; ++i) sample.push_back(first[i * (n - 1) / (kSample - 1)]);
  const size_t at = kSample * static_cast<size_t>(left_parts) / static_cast<size_t>(parts);
  std::nth_element(sample.begin(), sample.begin() + static_cast<ptrdiff_t>(at), sample.end(), less);
  const T pivot = sample[at];
  T* const middle = std::partition(first, first + n, [&](const T& x) { return less(x, pivot); });
  const size_t nl = static_cast<size_t>(middle - first);
  RunInParts(2, [&](int side) {
    if (side == 0) {
      ParallelSort(first, nl, left_parts, less);
    } else {
      ParallelSort(middle, n - nl, parts - left_parts, less);
    }
  });
}

}  // namespace vellora

#endif  // VELLORA_SCAN_SORT_PARTS_H_
