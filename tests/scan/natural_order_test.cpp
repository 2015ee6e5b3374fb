#include "scan/natural_order.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "scan_test_env.h"

namespace vellora {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(NaturalOrderTest, DigitRunsCompareByValue) {
  const std::string nines(40, '9');
  struct Case {
    const char* what;
    std::string a, b;
    int order;
  } cases[] = {
      {"value", "IMG_2.JPG", "IMG_10.JPG", -1},
      {"second run", "A1B2", "A1B10", -1},
      {"first run decides", "A2B10", "A10B2", -1},
      {"leading digits", "9A", "10A", -1},
      {"trailing digits", "A9", "A10", -1},
      {"end first", "A", "A0", -1},
      {"digits before text", "1", "A", -1},
      {"digits before text mid-name", "A1", "A_", -1},
      {"text between runs", "A1B", "A1C", -1},
      {"fewer zeros first", "A1", "A01", -1},
      {"zeros only", "A0", "A00", -1},
      {"zeros after the rest", "A01B", "A1C", -1},
      {"first zeros difference", "A01B1", "A1B01", 1},
      {"past 64 bits", "18446744073709551616", "18446744073709551615", 1},
      {"long runs by length", "X" + nines, "X1" + std::string(40, '0'), -1},
      {"long runs by digits", "X" + nines + "8", "X" + nines + "9", -1},
      {"long runs with zeros", "X000" + nines, "X" + nines, 1},
      {"equal", "IMG_007.JPG", "IMG_007.JPG", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(NaturalCompare(c.a, c.b, Env::Default())), c.order) << c.what;
    EXPECT_EQ(Sign(NaturalCompare(c.b, c.a, Env::Default())), -c.order) << c.what;
    std::string ka, kb;
    if (NaturalKey(c.a, Env::Default(), &ka) && NaturalKey(c.b, Env::Default(), &kb)) {
      EXPECT_EQ(Sign(ka.compare(kb)), c.order) << c.what;
    }
  }
}

// A double-byte code page in which 0x81 leads a character and a digit byte
// may follow it as the second byte; texts collate byte by byte.
class DoubleByteEnv : public scantest::ForwardingEnv {
 public:
  bool IsLeadByte(unsigned char c) override { return c == 0x81; }
  int CompareText(const std::string& a, const std::string& b) override { return a.compare(b); }
  bool CollationKey(const std::string& text, std::string* key) override {
    *key = text;
    return true;
  }
};

TEST(NaturalOrderTest, SecondBytesOfCharactersAreNoDigits) {
  DoubleByteEnv env;
  // Read as characters: the text runs "\x81" "2" and "\x81" "1" decide; a
  // byte-wise reading would compare 2 with 10.
  EXPECT_GT(NaturalCompare("\x81" "2", "\x81" "10", &env), 0);
  std::string ka, kb;
  ASSERT_TRUE(NaturalKey("\x81" "2", &env, &ka) && NaturalKey("\x81" "10", &env, &kb));
  EXPECT_GT(ka.compare(kb), 0);
  // Digits after a whole character still count.
  EXPECT_LT(NaturalCompare("\x81\x41" "2", "\x81\x41" "10", &env), 0);
}

TEST(NaturalOrderTest, ChineseNamesOfTheSystemCodePage) {
  Env* env = Env::Default();
  if (!env->IsLeadByte(0xCD)) GTEST_SKIP() << "not a double-byte code page";
  // Code page 936: second bytes run from 0x40, never a digit; "\x81\x40"
  // ends in '@'.
  const std::string picture = "\xCD\xBC";
  EXPECT_LT(NaturalCompare(picture + "2", picture + "10", env), 0);
  EXPECT_LT(NaturalCompare("\x81\x40" "9", "\x81\x40" "10", env), 0);
  std::string ka, kb;
  if (NaturalKey(picture + "2", env, &ka) && NaturalKey(picture + "10", env, &kb)) {
    EXPECT_LT(ka.compare(kb), 0);
  }
}

TEST(NaturalOrderTest, IsAStrictWeakOrderingThatItsKeysFollow) {
  // Short random names over digits, letters and separators.
  const char alphabet[] = "00129aAb_.";
  std::mt19937 random(14);
  std::vector<std::string> names;
  for (int i = 0; i < 60; ++i) {
    std::string name;
    for (auto n = random() % 7; n > 0; --n) name += alphabet[random() % (sizeof alphabet - 1)];
    names.push_back(name);
  }
  Env* env = Env::Default();
  const size_t n = names.size();
  std::vector<int> less(n * n);
  for (size_t i = 0; i < n; ++i) {
    std::string ki;
    const bool keyed = NaturalKey(names[i], env, &ki);
    for (size_t j = 0; j < n; ++j) {
      const int c = Sign(NaturalCompare(names[i], names[j], env));
      less[i * n + j] = c;
      std::string kj;
      if (keyed && NaturalKey(names[j], env, &kj)) {
        ASSERT_EQ(Sign(ki.compare(kj)), c) << names[i] << " " << names[j];
      }
    }
  }
  for (size_t i = 0; i < n; ++i) {
    ASSERT_EQ(less[i * n + i], 0);
    for (size_t j = 0; j < n; ++j) {
      ASSERT_EQ(less[i * n + j], -less[j * n + i]);
      for (size_t k = 0; k < n; ++k) {
        // Transitive, and so is "neither goes first".
        if (less[i * n + j] <= 0 && less[j * n + k] <= 0) {
          ASSERT_LE(less[i * n + k], 0) << names[i] << " " << names[j] << " " << names[k];
        }
      }
    }
  }
}

}  // namespace
}  // namespace vellora
