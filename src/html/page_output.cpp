#include "html/page_output.h"

#include <cstring>
#include <utility>

#include "scan/index_builder.h"

namespace vellora {

const char kAnchorMarker[] = "INSERT_FOLDER_ANCHORS";
const char kCrLf[] = "\r\n";

PageOutput::PageOutput(CIndexBuilder* builder) : builder_(*builder) {
  if (!builder_.page_text) builder_.page_text.reset(new std::string);
  text_ = builder_.page_text.get();
  text_->clear();
  builder_.page_chunks.clear();
  builder_.page_chunk_count = 0;
}

void PageOutput::AddHtml(const std::string& html) {
  const size_t marker_length = std::strlen(kAnchorMarker);
  size_t from = 0;
  for (;;) {
    const size_t at = html.find(kAnchorMarker, from);
    if (at == std::string::npos) break;
    text_->append(html, from, at - from);
    AddMarker();
    from = at + marker_length;
  }
  text_->append(html, from, std::string::npos);
}

void PageOutput::CountFile() {
  if (++files_since_move_ < kFilesPerChunk) return;
  files_since_move_ = 0;
  const size_t length = text_->size();
  moved_ += length;
  builder_.page_chunks.push_back(std::move(*text_));
  ++builder_.page_chunk_count;
  text_->clear();
  text_->reserve(length);
}

std::string PageOutput::Join(const std::string& anchor_table) {
  std::string page;
  page.reserve(size() + markers_.size() * anchor_table.size());
  size_t next_marker = 0;
  size_t offset = 0;  // of the piece being copied, in the whole page
  auto copy_piece = [&](std::string* piece) {
    size_t from = 0;
    while (next_marker < markers_.size() && markers_[next_marker] <= offset + piece->size()) {
      const size_t at = markers_[next_marker++] - offset;
      page.append(*piece, from, at - from);
      page.append(anchor_table);
      from = at;
    }
    page.append(*piece, from, std::string::npos);
    offset += piece->size();
    std::string().swap(*piece);
  };
  for (std::string& chunk : builder_.page_chunks) copy_piece(&chunk);
  builder_.page_chunks.clear();
  builder_.page_chunk_count = 0;
  moved_ = 0;
  // Markers at the very end of the page belong to the last piece.
  copy_piece(text_);
  markers_.clear();
  return page;
}

}  // namespace vellora
