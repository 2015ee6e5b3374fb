#include "platform/pieces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {
namespace {

// Feeds `text` to a comparer in blocks of `block` bytes.
bool Same(const std::vector<std::string_view>& pieces, const std::string& text, size_t block) {
  PiecesComparer comparer(pieces);
  for (size_t at = 0; at < text.size(); at += block) {
    if (!comparer.Next(text.data() + at, std::min(block, text.size() - at))) return false;
  }
  return comparer.Complete();
}

TEST(PiecesComparerTest, MatchesTheJoinedPiecesInAnyBlocks) {
  const std::vector<std::string_view> pieces = {"", "ab", "", "cde", "f", ""};
  EXPECT_EQ(PiecesSize(pieces), 6u);
  for (size_t block : {1, 2, 4, 6, 64}) {
    EXPECT_TRUE(Same(pieces, "abcdef", block)) << block;
    EXPECT_FALSE(Same(pieces, "abcdeF", block)) << block;  // the last byte differs
    EXPECT_FALSE(Same(pieces, "Abcdef", block)) << block;  // the first
    EXPECT_FALSE(Same(pieces, "abcde", block)) << block;   // too short
    EXPECT_FALSE(Same(pieces, "abcdefg", block)) << block;  // too long
  }
  // Nothing matches nothing only.
  EXPECT_TRUE(Same({}, "", 1));
  EXPECT_TRUE(Same({"", ""}, "", 1));
  EXPECT_FALSE(Same({}, "x", 1));
  // Once different, always different.
  PiecesComparer comparer(pieces);
  EXPECT_FALSE(comparer.Next("x", 1));
  EXPECT_FALSE(comparer.Next("bcdef", 5));
  EXPECT_FALSE(comparer.Complete());
}

}  // namespace
}  // namespace vellora
