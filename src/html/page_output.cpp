#include "html/page_output.h"

#include <cstring>
#include <utility>

#include "html/text_helpers.h"
#include "platform/pieces.h"
#include "platform/safe_write.h"
#include "html/page_writer.h"

namespace vellora {

namespace {

// Bytes that one of the name escapes may change: control bytes, blank,
// '"', '#', '%', '&', '(', ')', ':', '<', '>', '?' and '\\'.
bool MayBeEscaped(unsigned char c) {
  switch (c) {
    case ' ':
    case '"':
    case '#':
    case '%':
    case '&':
    case '(':
    case ')':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
      return true;
    default:
      return c < 0x20;
  }
}

// 0: no byte may be escaped; 1: inner blanks only; 2: others.
int EscapeKind(const std::string& name) {
  int kind = 0;
  bool high = false;
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    high = high || u >= 0x80;
    if (!MayBeEscaped(u)) continue;
    if (u != ' ') return 2;
    kind = 1;
  }
  if (kind == 1 && (name.front() == ' ' || name.back() == ' ')) return 2;
  if (high && NamesAreUtf8()) {
    for (size_t i = 0; i < name.size(); i += Utf8SequenceLength(name, i)) {
      if (Utf8SequenceLength(name, i) == 0) return 2;
    }
  }
  return kind;
}

}  // namespace

const char kAnchorMarker[] = "INSERT_FOLDER_ANCHORS";
const char kCrLf[] = "\r\n";

PageOutput::PageOutput(CPageWriter* builder) : builder_(builder) {
  if (!builder_->page_text) builder_->page_text.reset(new std::string);
  text_ = builder_->page_text.get();
  text_->clear();
  builder_->page_chunks.clear();
  builder_->page_chunk_count = 0;
}

PageOutput::PageOutput(std::string* text, std::string anchor_table)
    : builder_(nullptr), text_(text), anchor_table_(std::move(anchor_table)) {}

PageOutput::~PageOutput() = default;

void PageOutput::AddMarker() {
  if (write_ != nullptr || builder_ == nullptr) {
    text_->append(anchor_table_);
  } else {
    markers_.push_back(size());
  }
}

void PageOutput::StreamTo(std::unique_ptr<CSafeFileWrite> write, std::string anchor_table) {
  write_ = std::move(write);
  for (std::string_view piece : Pieces(anchor_table)) {
    write_ok_ = write_ok_ && write_->Append(piece);
  }
  moved_ += text_->size();
  builder_->page_chunks.clear();
  builder_->page_chunk_count = 0;
  text_->clear();
  markers_.clear();
  anchor_table_ = std::move(anchor_table);
}

void PageOutput::AddStreamed(const std::string& text) {
  if (!text_->empty()) {
    write_ok_ = write_ok_ && write_->Append(*text_);
    moved_ += text_->size();
    text_->clear();
  }
  write_ok_ = write_ok_ && write_->Append(text);
  moved_ += text.size();
}

bool PageOutput::Commit() {
  write_ok_ = write_ok_ && write_->Append(*text_);
  moved_ += text_->size();
  text_->clear();
  const bool ok = write_ok_ && write_->Commit();
  write_.reset();
  return ok;
}

void PageOutput::AddLinkTarget(const std::string& name, bool href20, bool replace_iso_chars,
                               bool xhtml) {
  const int kind = EscapeKind(name);
  if (kind == 0 || (kind == 1 && !href20)) {
    text_->append(name);
  } else if (kind == 1) {
    for (char c : name) {
      if (c == ' ') {
        text_->append("%20");
      } else {
        text_->push_back(c);
      }
    }
  } else {
    text_->append(EscapeLinkTarget(name, href20, replace_iso_chars, xhtml));
  }
}

void PageOutput::AddNameText(const std::string& name, bool replace_iso_chars, bool xhtml) {
  if (EscapeKind(name) < 2) {
    text_->append(name);
  } else {
    text_->append(EscapeNameText(name, replace_iso_chars, xhtml));
  }
}

void PageOutput::AddHtml(const std::string& html, const TextSpans* file_text) {
  const size_t marker_length = std::strlen(kAnchorMarker);
  size_t from = 0;
  for (size_t at = html.find(kAnchorMarker); at != std::string::npos;) {
    if (file_text != nullptr && file_text->Touches(at, at + marker_length)) {
      at = html.find(kAnchorMarker, at + 1);
      continue;
    }
    text_->append(html, from, at - from);
    AddMarker();
    from = at + marker_length;
    at = html.find(kAnchorMarker, from);
  }
  text_->append(html, from, std::string::npos);
}

void PageOutput::CountFile() {
  if (builder_ == nullptr || ++files_since_move_ < kFilesPerChunk) return;
  files_since_move_ = 0;
  moved_ += text_->size();
  if (write_ != nullptr) {
    // Once failed, the text is dropped: the page will not be written.
    write_ok_ = write_ok_ && write_->Append(*text_);
    text_->clear();
    return;
  }
  // A copy is allocated at its exact length; moving the text would keep
  // its spare room (up to as much again) in every chunk of the page.
  builder_->page_chunks.emplace_back(*text_);
  ++builder_->page_chunk_count;
  text_->clear();
}

std::vector<std::string_view> PageOutput::Pieces(const std::string& anchor_table) const {
  std::vector<std::string_view> pieces;
  pieces.reserve(builder_->page_chunks.size() + 1 + 2 * markers_.size());
  size_t next_marker = 0;
  size_t offset = 0;  // of the piece being cut, in the whole page
  auto cut = [&](std::string_view piece) {
    size_t from = 0;
    while (next_marker < markers_.size() && markers_[next_marker] <= offset + piece.size()) {
      const size_t at = markers_[next_marker++] - offset;
      if (at > from) pieces.push_back(piece.substr(from, at - from));
      if (!anchor_table.empty()) pieces.push_back(anchor_table);
      from = at;
    }
    if (from < piece.size()) pieces.push_back(piece.substr(from));
    offset += piece.size();
  };
  for (const std::string& chunk : builder_->page_chunks) cut(chunk);
  // Markers at the very end of the page belong to the last piece.
  cut(*text_);
  return pieces;
}

std::string PageOutput::Join(const std::string& anchor_table) {
  std::string page = JoinPieces(Pieces(anchor_table));
  builder_->page_chunks.clear();
  builder_->page_chunk_count = 0;
  moved_ = 0;
  text_->clear();
  markers_.clear();
  return page;
}

}  // namespace vellora
