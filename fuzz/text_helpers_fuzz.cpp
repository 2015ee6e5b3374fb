// Runs the page writer's text helpers on arbitrary names, numbers and times
// and checks that escaped names can never end an attribute or open a tag.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "../tests/custom/memory_env.h"
#include "html/breadcrumbs.h"
#include "html/readme.h"
#include "html/text_helpers.h"
#include "platform/file_time.h"

namespace {

void Fail(int line) {
  std::fprintf(stderr, "check failed at line %d\n", line);
  std::abort();
}

bool Has(const std::string& text, const char* bytes) {
  return text.find_first_of(bytes) != std::string::npos;
}

// True when every tag of `html` is one of `tags` (names after '<', a '/'
// allowed before them): no byte of a name or readme opened one.
bool OnlyTags(const std::string& html, std::initializer_list<const char*> tags) {
  for (size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
    const size_t name = html[at + 1] == '/' ? at + 2 : at + 1;
    bool known = false;
    for (const char* tag : tags) {
      const size_t n = std::strlen(tag);
      const char after = html.compare(name, n, tag) == 0 ? html[name + n] : '\0';
      known = known || after == ' ' || after == '>';
    }
    if (!known) return false;
  }
  return true;
}

template <typename T>
T Take(const uint8_t* data, size_t size, size_t at) {
  T value{};
  if (at < size) std::memcpy(&value, data + at, size - at < sizeof value ? size - at : sizeof value);
  return value;
}

}  // namespace

#define Check(ok) ((ok) ? (void)0 : Fail(__LINE__))

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellora;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const bool a = size > 0 && (data[0] & 1);
  const bool b = size > 0 && (data[0] & 2);

  for (bool iso : {false, true}) {
    Check(!Has(EscapeNameText(text, iso), "<>\""));
    for (bool href20 : {false, true}) {
      std::string target = EscapeLinkTarget(text, href20, iso);
      // With `iso` the character references "&#40;" and "&#41;" hold a '#'.
      Check(!Has(target, iso ? "<>\"?" : "<>\"#?"));
      if (href20) Check(target.find(' ') == std::string::npos);
      for (char c : target) Check(static_cast<unsigned char>(c) >= 0x20);
    }
    std::string plain = escape_link_text(text, iso);
    if (!iso) Check(plain == text);
  }
  std::string base = MakeLinkBase(text, a);
  Check(base.empty() || base.back() == '/');
  Check(!Has(base, "<>\""));

  const int64_t number = Take<int64_t>(data, size, 1);
  const std::string digits = int64_to_text(number);
  Check(std::strtoll(digits.c_str(), nullptr, 10) == number);
  insert_thousands_separators(text, a, b);
  std::string grouped = insert_thousands_separators(digits, true, b);
  Check(grouped.size() <= digits.size() + digits.size() / 3);
  SizeCell(number, a, b, a != b, text);
  // Every unit, bytes included, ends in "B" before the cell's padding.
  Check(SizeCell(number, a, b, a != b, text, SizeForm::kHuman).find("B&nbsp;&nbsp;") !=
        std::string::npos);
  const int64_t kb = SizeInKilobytes(number);
  Check(kb >= number / 1024 - 1 && kb <= number / 1024 + 1);

  LocalTime t;
  t.year = Take<int32_t>(data, size, 9);
  t.month = Take<int8_t>(data, size, 13);
  t.day = Take<int8_t>(data, size, 14);
  t.hour = Take<int8_t>(data, size, 15);
  t.minute = Take<int8_t>(data, size, 16);
  FormatDateTimeFields(t, a, b, text);
  FormatDateTimeFields(t, a, b, text, a ? DateForm::kIsoMarked : DateForm::kIso);

  MemoryEnv env;
  const FileTime when = Take<FileTime>(data, size, 17);
  env.first_unconvertible = Take<FileTime>(data, size, 25) | (FileTime{1} << 62);
  std::string cell = DateCell(&env, when, a, b, "", static_cast<int>(number & 7), 3);
  Check(cell.find("</td>") != std::string::npos);
  FormatPageDate(&env, when, a);

  // The system's own conversions at any time: file times from seconds keep
  // their order, and only times up to the last convertible one convert.
  const int64_t other = Take<int64_t>(data, size, 25);
  const int64_t early = number < other ? number : other;
  const int64_t late = number < other ? other : number;
  Check(FileTimeFromUnix(early, 0) <= FileTimeFromUnix(late, 999999999));
  int64_t seconds = 0;
  LocalTime local;
  const bool converts = Env::Default()->FileTimeToLocal(when, &local);
  Check(!converts || when <= kLastConvertibleFileTime);
  Check(UnixSecondsOf(when, &seconds) == (when <= kLastConvertibleFileTime));
  DateCell(Env::Default(), FileTimeFromUnix(number, 0), a, b, "", 1, 1);

  // Totals are held at the ends of the range.
  const int64_t sum = SaturatingAdd(number, other);
  if (other > 0) Check(sum >= number);
  if (other < 0) Check(sum <= number);

  // The readme and the breadcrumbs show text only, and no name reaches a
  // link target.
  const std::string readme = ReadmeHtml(text, a);
  Check(OnlyTags(readme, {"pre", "p"}));
  std::string head = text.substr(0, size / 2);
  CutToCharacter(&head, &env);
  TrailOptions trail;
  trail.page_name = "index.html";
  trail.replace_iso_chars = a;
  trail.xhtml = b;
  const std::string crumbs = BreadcrumbTrail(head, text, trail, &env);
  Check(OnlyTags(crumbs, {"nav", "a", "span"}));
  Check(crumbs.find('%') == std::string::npos);
  for (size_t at = crumbs.find("href=\""); at != std::string::npos;
       at = crumbs.find("href=\"", at + 1)) {
    Check(crumbs.compare(crumbs.find_first_not_of("./", at + 6), 11, "index.html\"") == 0);
  }

  std::string section = text;
  ReplaceTokens(&section, text, "D");
  std::string copy = text;
  ReplaceAll(&copy, text.substr(0, size % 4), text.substr(size / 2));
  return 0;
}
