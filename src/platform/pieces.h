// Helpers for the pieces of Env::WritePiecesSafely.
#ifndef VELLORA_PLATFORM_PIECES_H_
#define VELLORA_PLATFORM_PIECES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {

// The bytes of all pieces.
uint64_t PiecesSize(const std::vector<std::string_view>& pieces);

// The pieces as one string, for Envs that keep files in memory.
std::string JoinPieces(const std::vector<std::string_view>& pieces);

// Compares a file read block by block with the pieces, in order, so that an
// unchanged file can be recognised without joining the pieces.
class PiecesComparer {
 public:
  // `pieces` must outlive the comparer.
  explicit PiecesComparer(const std::vector<std::string_view>& pieces)
      : pieces_(pieces), size_(PiecesSize(pieces)) {}

  // Takes the next `n` bytes read; false once they differ from the pieces
  // or run past their end (every later call is false too).
  bool Next(const char* data, size_t n);

  // True when the bytes taken so far are exactly the pieces.
  bool Complete() const { return same_ && done_ == size_; }

 private:
  const std::vector<std::string_view>& pieces_;
  const uint64_t size_;
  uint64_t done_ = 0;
  size_t piece_ = 0;   // the piece that byte `done_` is in
  size_t offset_ = 0;  // and its place in that piece
  bool same_ = true;
};

}  // namespace vellora

#endif  // VELLORA_PLATFORM_PIECES_H_
