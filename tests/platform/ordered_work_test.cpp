#include "platform/ordered_work.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>

namespace vellora {
namespace {

// Parts are taken in order whatever the threads, never more than the window
// ahead; a take that says stop ends the work early; a failed part is
// reported to the caller.
TEST(OrderedWorkTest, PartsAreTakenInOrderWithinTheWindow) {
  for (const int threads : {0, 1, 3}) {
    for (const size_t window : {1u, 4u}) {
      std::atomic<size_t> begun{0};
      size_t taken = 0;
      const auto make = [&](size_t i, int worker, std::string* result) {
        EXPECT_LT(worker, std::max(threads, 1));
        begun.fetch_add(1);
        *result = std::to_string(i);
      };
      const auto take = [&](size_t i, std::string* result) {
        EXPECT_EQ(*result, std::to_string(i));
        EXPECT_LE(begun.load(), i + window) << threads << " " << window;
        ++taken;
        return i != 30;  // stop after part 30
      };
      EXPECT_FALSE(RunOrdered<std::string>(100, threads, window, make, take));
      EXPECT_EQ(taken, 31u);
      EXPECT_LE(begun.load(), 31 + window);

      taken = 0;
      EXPECT_TRUE(RunOrdered<std::string>(
          50, threads, window, make, [&](size_t i, std::string* r) {
            EXPECT_EQ(*r, std::to_string(i));
            return ++taken > 0;
          }));
      EXPECT_EQ(taken, 50u);
    }
    const auto failing = [](size_t i, int, std::string*) {
      if (i == 5) throw std::runtime_error("part 5");
    };
    EXPECT_THROW(RunOrdered<std::string>(20, threads, 2, failing,
                                         [](size_t, std::string*) { return true; }),
                 std::runtime_error);
  }
}

}  // namespace
}  // namespace vellora
