#include "scan/natural_order.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "scan_test_env.h"

namespace vellora {
namespace {

// Each pair is in ascending order, by comparison and by key.
void ExpectOrdered(const std::pair<std::string, std::string>& p, Env* env) {
  EXPECT_LT(NaturalCompare(p.first, p.second, env), 0) << p.first << " < " << p.second;
  EXPECT_GT(NaturalCompare(p.second, p.first, env), 0) << p.first << " < " << p.second;
  std::string a, b;
  if (NaturalKey(p.first, env, &a) && NaturalKey(p.second, env, &b)) {
    EXPECT_LT(a, b) << p.first << " < " << p.second;
  }
}

TEST(NaturalOrderTest, DigitRunsCompareByValue) {
  const std::string nines(40, '9');
  const std::pair<std::string, std::string> ordered[] = {
      {"IMG_2.JPG", "IMG_10.JPG"}, {"A1B2", "A1B10"}, {"A2B10", "A10B2"}, {"9A", "10A"},
      {"A", "A0"}, {"1", "A"}, {"A1", "A_"}, {"A1", "A01"}, {"A0", "A00"}, {"A01B", "A1C"},
      {"A1B01", "A01B1"}, {"18446744073709551615", "18446744073709551616"},
      {"X" + nines, "X1" + std::string(40, '0')}, {"X" + nines, "X000" + nines}};
  for (const auto& p : ordered) ExpectOrdered(p, nullptr);
  EXPECT_EQ(NaturalCompare("IMG_007", "IMG_007", nullptr), 0);
}

// A double-byte code page whose second bytes may be digits (0x81 leads);
// texts collate byte by byte.
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
  // "\x81" "1" and "\x81" "2" are characters: 2 is never compared with 10.
  ExpectOrdered({"\x81" "10", "\x81" "2"}, &env);
  ExpectOrdered({"\x81\x41" "2", "\x81\x41" "10"}, &env);
  // Code page 936 itself has no digit second bytes (they run from 0x40).
  Env* system = Env::Default();
  if (system->IsLeadByte(0xCD)) ExpectOrdered({"\xCD\xBC" "2", "\xCD\xBC" "10"}, system);
}

}  // namespace
}  // namespace vellora
