#include "custom/text_spans.h"

#include <algorithm>

namespace vellora {

void TextSpans::Append(size_t begin, size_t end) {
  if (begin >= end) return;
  if (!spans_.empty() && spans_.back().end >= begin) {
    spans_.back().end = std::max(spans_.back().end, end);
    return;
  }
  spans_.push_back(TextSpan{begin, end});
}

bool TextSpans::Touches(size_t begin, size_t end) const {
  if (begin >= end) return false;
  // The first span that ends after `begin`.
  auto it = std::upper_bound(spans_.begin(), spans_.end(), begin,
                             [](size_t at, const TextSpan& s) { return at < s.end; });
  return it != spans_.end() && it->begin < end;
}

TextSpans EditSpans(const TextSpans& spans, const std::vector<TextEdit>& edits) {
  const std::vector<TextSpan>& old = spans.spans();
  TextSpans out;
  size_t next = 0;     // first old span that may reach the kept bytes
  size_t new_at = 0;   // where the kept bytes start in the new text
  // Bytes [from, to) of the old text, unchanged, at new_at.
  auto keep = [&](size_t from, size_t to) {
    while (next < old.size() && old[next].end <= from) ++next;
    for (size_t k = next; k < old.size() && old[k].begin < to; ++k) {
      const size_t b = std::max(old[k].begin, from);
      const size_t e = std::min(old[k].end, to);
      out.Append(new_at + (b - from), new_at + (e - from));
    }
    new_at += to - from;
  };
  size_t old_at = 0;
  for (const TextEdit& edit : edits) {
    keep(old_at, edit.at);
    if (edit.marked) out.Append(new_at, new_at + edit.new_length);
    new_at += edit.new_length;
    old_at = edit.at + edit.length;
  }
  // The rest; only its spans matter, so its length need not be known.
  while (next < old.size() && old[next].end <= old_at) ++next;
  for (size_t k = next; k < old.size(); ++k) {
    const size_t b = std::max(old[k].begin, old_at);
    out.Append(new_at + (b - old_at), new_at + (old[k].end - old_at));
  }
  return out;
}

}  // namespace vellora
