// JSON strings for any name, and link targets that keep a name's bytes.
#include <gtest/gtest.h>

#include <string>

#include "html/json_text.h"
#include "platform/env.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vellora {
namespace {

std::string Json(const std::string& text) {
  std::string out;
  AppendJsonString(&out, text);
  return out;
}

TEST(JsonTextTest, StringsEscapeQuotesControlsAndInvalidUtf8) {
  struct Case {
    std::string text;
    std::string json;
  };
  const Case cases[] = {
      {"", "\"\""},
      {"plain name.txt", "\"plain name.txt\""},
      {"say \"hi\"\\", "\"say \\\"hi\\\"\\\\\""},
      {"a\nb\tc\rd\be\ff", "\"a\\nb\\tc\\rd\\be\\ff\""},
      {std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\x7f\""},
      {std::string("nul\0end", 7), "\"nul\\u0000end\""},
      {"</script><img src=x>&", "\"</script><img src=x>&\""},
      {"\xe4\xb8\xad\xe6\x96\x87 \xf0\x9f\x98\x80", "\"\xe4\xb8\xad\xe6\x96\x87 \xf0\x9f\x98\x80\""},
      // One U+FFFD for each longest start of a sequence.
      {"a\xff" "b", "\"a\\ufffdb\""},
      {"\xe4\xb8", "\"\\ufffd\""},
      {"\xe4\xb8" "x", "\"\\ufffdx\""},
      {"\xf0\x9f\x98", "\"\\ufffd\""},
      {"\xc0\xaf", "\"\\ufffd\\ufffd\""},          // overlong '/'
      {"\xed\xa0\x80", "\"\\ufffd\\ufffd\\ufffd\""},  // surrogate
      {"\x80\x80", "\"\\ufffd\\ufffd\""},
      {"\xd6\xd0\xce\xc4", "\"\\ufffd\\ufffd\\ufffd\\ufffd\""},  // GBK bytes read as UTF-8
  };
  for (const Case& c : cases) EXPECT_EQ(c.json, Json(c.text)) << c.text;
}

TEST(JsonTextTest, LinksKeepEveryByteAsPercentEscapes) {
  struct Case {
    std::string bytes;
    std::string link;
  };
  const Case cases[] = {
      {"a-b_c.d~e/f.txt", "a-b_c.d~e/f.txt"},
      {"my file.txt", "my%20file.txt"},
      {"50%#?&+=;:,'\"()<>\\", "50%25%23%3F%26%2B%3D%3B%3A%2C%27%22%28%29%3C%3E%5C"},
      {"javascript:alert(1)", "javascript%3Aalert%281%29"},
      {"a\nb\x7f", "a%0Ab%7F"},
      {std::string("\0", 1), "%00"},
      {"\xe4\xb8\xad", "%E4%B8%AD"},
      {"\xff\xd6\xd0", "%FF%D6%D0"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.link, PercentEncodeLink(c.bytes)) << c.bytes;
}

#ifdef _WIN32
// Names in the ANSI code page reach the JSON as UTF-8; the link keeps the
// code page's bytes.
TEST(JsonTextTest, CodePageNamesBecomeUtf8) {
  Env* env = Env::Default();
  struct Case {
    unsigned code_page;
    std::string name;
    std::string json;
  };
  const Case cases[] = {
      {936, "\xd6\xd0\xce\xc4 \x81\x5c.txt", "\"\xe4\xb8\xad\xe6\x96\x87 \xe4\xb9\x97.txt\""},
      {1252, "\xd7 caf\xe9 \"q\"", "\"\xc3\x97 caf\xc3\xa9 \\\"q\\\"\""},
  };
  bool ran = false;
  for (const Case& c : cases) {
    if (GetACP() != c.code_page) continue;
    ran = true;
    EXPECT_EQ(c.json, Json(env->NameAsUtf8(c.name)));
    const std::string link = PercentEncodeLink(c.name);
    EXPECT_EQ(std::string::npos, link.find_first_of("\\\x80\x81\xd6"));
  }
  if (!ran) GTEST_SKIP() << "needs code page 936 or 1252";
}
#endif

}  // namespace
}  // namespace vellora
