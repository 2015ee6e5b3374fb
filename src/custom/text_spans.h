// Byte ranges of a text that came from the file system (folder names and
// paths, the content of files of the listed tree) and not from the user's
// own HTML, kept up to date while the text is edited. The page writer finds
// its folder-anchor marker only outside them, and an include token that
// touches them may only name files inside the tree.
#ifndef VELLORA_CUSTOM_TEXT_SPANS_H_
#define VELLORA_CUSTOM_TEXT_SPANS_H_

#include <cstddef>
#include <vector>

namespace vellora {

// Bytes [begin, end) of a text.
struct TextSpan {
  size_t begin = 0;
  size_t end = 0;
};

// Sorted, disjoint spans; touching ones are merged.
class TextSpans {
 public:
  bool empty() const { return spans_.empty(); }
  const std::vector<TextSpan>& spans() const { return spans_; }

  // Adds [begin, end), which starts at or after the start of the last span.
  void Append(size_t begin, size_t end);

  // True when a span holds one of the bytes [begin, end).
  bool Touches(size_t begin, size_t end) const;

 private:
  std::vector<TextSpan> spans_;
};

// One change of a text: its bytes [at, at + length) become `new_length`
// bytes, which come from the file system when `marked`.
struct TextEdit {
  size_t at = 0;
  size_t length = 0;
  size_t new_length = 0;
  bool marked = false;
};

// The spans of a text after `edits` were made to it. The edits are sorted
// and do not overlap; their positions are those of the text before them.
TextSpans EditSpans(const TextSpans& spans, const std::vector<TextEdit>& edits);

}  // namespace vellora

#endif  // VELLORA_CUSTOM_TEXT_SPANS_H_
