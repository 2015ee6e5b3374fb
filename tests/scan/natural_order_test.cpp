#include "scan/natural_order.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

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

// A double-byte code page whose second bytes may be digits (`lead`, 0x81
// by default, leads; 0: none); texts collate byte by byte, and the Env says
// so when `says_byte_order`.
class DoubleByteEnv : public scantest::ForwardingEnv {
 public:
  explicit DoubleByteEnv(bool says_byte_order = true, unsigned char lead = 0x81)
      : says_byte_order_(says_byte_order), lead_(lead) {}
  bool IsLeadByte(unsigned char c) override { return lead_ != 0 && c == lead_; }
  int CompareText(const std::string& a, const std::string& b) override { return a.compare(b); }
  bool CollationKey(const std::string& text, std::string* key) override {
    *key = text;
    return true;
  }
  bool CollatesByteByByte() override { return says_byte_order_; }

 private:
  bool says_byte_order_;
  unsigned char lead_;
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

int Sign(int v) { return (v > 0) - (v < 0); }

// Random names built from digits, zeros, letters, separators, multibyte
// characters and lead bytes, then hostile fixed ones: control bytes beside
// digits, digit runs about as long as the keys' short counts.
std::vector<std::string> TestNames() {
  const char* const pieces[] = {"0", "00", "1", "7", "10", "0010", "99999999999999999999", "A",
                                "b", "IMG_", " ", ".", "-", "\xC3\xA9", "\xE4\xB8\xAD",
                                "\x81", "\x81" "1", "\xFF", "%20", "&amp;"};
  std::vector<std::string> names = {"", "0", "00", "A", "a0", "a00", "A1B01", "A01B1",
                                    std::string(200, '7'), "X" + std::string(150, '0') + "1",
                                    std::string(130, 'Z') + "2", std::string(130, 'Z') + "10"};
  std::mt19937 random(20261207);
  for (int i = 0; i < 400; ++i) {
    std::string name;
    const int parts = static_cast<int>(random() % 7);
    for (int j = 0; j < parts; ++j) name += pieces[random() % (sizeof pieces / sizeof *pieces)];
    names.push_back(name);
  }
  for (const char* control : {"\x01", "\x02", "\x1E", "\x1F", " "}) {
    names.push_back(std::string("a") + control);
    names.push_back(std::string("a") + control + "5");
    names.push_back(std::string(control) + "2");
  }
  for (size_t digits : {27, 28, 29, 30, 126, 127, 128}) {
    names.push_back("a" + std::string(digits, '9'));
    names.push_back("a1" + std::string(digits - 1, '0') + "b");
    names.push_back("a" + std::string(digits, '0') + "1");
  }
  return names;
}

// One key maker keys every name in turn: each key must be the one made
// afresh, and any two keys must order their names as the comparison does,
// whether the keys come from the system or, where the Env says texts
// collate as bytes, are made without it (with and without lead bytes).
TEST(NaturalOrderTest, KeysOfOneMakerOrderAsTheComparison) {
  const std::vector<std::string> names = TestNames();
  DoubleByteEnv bytes(true, 0x81);
  DoubleByteEnv system(false, 0x81);
  DoubleByteEnv single_bytes(true, 0);
  DoubleByteEnv single_system(false, 0);
  for (Env* env : std::vector<Env*>{&bytes, &system, &single_bytes, &single_system, Env::Default()}) {
    CNaturalKeyMaker maker(env);
    std::vector<std::string> keys(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
      std::string fresh;
      const bool made = NaturalKey(names[i], env, &fresh);
      ASSERT_EQ(maker.Make(names[i], &keys[i]), made) << names[i];
      if (made) {
        EXPECT_EQ(keys[i], fresh) << names[i];
      }
    }
    for (size_t i = 0; i < names.size(); ++i) {
      for (size_t j = 0; j < names.size(); ++j) {
        const int c = Sign(NaturalCompare(names[i], names[j], env));
        if (c != 0) {
          EXPECT_EQ(Sign(keys[i].compare(keys[j])), c) << names[i] << " / " << names[j];
        }
      }
    }
  }
}

// A text with a zero byte has no key, whoever makes it, and appending its
// key leaves the keys before it as they were.
TEST(NaturalOrderTest, TextsWithZeroBytesHaveNoKey) {
  for (const bool says_byte_order : {true, false}) {
    DoubleByteEnv env(says_byte_order);
    CNaturalKeyMaker maker(&env);
    for (const std::string& zero : {std::string(1, '\0'), std::string("a1\0" "2", 4)}) {
      std::string keys = "kept";
      EXPECT_FALSE(maker.Append(zero, &keys)) << says_byte_order;
      EXPECT_EQ(keys, "kept") << says_byte_order;
    }
  }
}

}  // namespace
}  // namespace vellora
