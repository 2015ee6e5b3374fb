#include "platform/pieces.h"

#include <algorithm>
#include <cstring>

namespace vellora {

uint64_t PiecesSize(const std::vector<std::string_view>& pieces) {
  uint64_t size = 0;
  for (std::string_view piece : pieces) size += piece.size();
  return size;
}

std::string JoinPieces(const std::vector<std::string_view>& pieces) {
  std::string joined;
  joined.reserve(static_cast<size_t>(PiecesSize(pieces)));
  for (std::string_view piece : pieces) joined.append(piece);
  return joined;
}

bool PiecesComparer::Next(const char* data, size_t n) {
  if (!same_) return false;
  if (n > size_ - done_) return same_ = false;
  done_ += n;
  while (n > 0) {
    while (offset_ == pieces_[piece_].size()) {
      ++piece_;
      offset_ = 0;
    }
    const size_t step = std::min(n, pieces_[piece_].size() - offset_);
    if (std::memcmp(data, pieces_[piece_].data() + offset_, step) != 0) return same_ = false;
    data += step;
    n -= step;
    offset_ += step;
  }
  return true;
}

}  // namespace vellora
