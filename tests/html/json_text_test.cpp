// JSON strings for any name, and link targets that keep a name's bytes.
#include <gtest/gtest.h>

#include <string>

#include "html/json_text.h"

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

}  // namespace
}  // namespace vellora
