#include "html/text_helpers.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "platform/characters.h"
#include "platform/path.h"

namespace vellora {

namespace {

const char kHex[] = "0123456789ABCDEF";

void AppendPercentByte(std::string* out, unsigned char c) {
  out->push_back('%');
  out->push_back(kHex[c >> 4]);
  out->push_back(kHex[c & 15]);
}

// Appends `c` escaped by the `replace_iso_chars` rule.
void AppendIsoEscaped(std::string* out, char c, bool replace_iso_chars) {
  if (replace_iso_chars) {
    switch (c) {
      case '&': out->append("&amp;"); return;
      case '(': out->append("&#40;"); return;
      case ')': out->append("&#41;"); return;
      default: break;
    }
  }
  out->push_back(c);
}

const char kReplacementCharacter[] = "\xEF\xBF\xBD";

// The bytes at `at` that form one valid UTF-8 sequence, or else the longest
// start of one (at least a byte), which a decoder shows as one U+FFFD.
size_t ScanUtf8(const std::string& text, size_t at, bool* valid) {
  const unsigned char c = static_cast<unsigned char>(text[at]);
  *valid = c < 0x80;
  if (c < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80;  // bounds of the second byte
  unsigned char high = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 1;
  }
  size_t k = 1;
  for (; k < length && at + k < text.size(); ++k) {
    const unsigned char b = static_cast<unsigned char>(text[at + k]);
    if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) break;
  }
  *valid = k == length;
  return k;
}

// Appends U+FFFD for the invalid bytes at `*at` and moves `*at` to the last.
void AppendReplacement(std::string* out, const std::string& text, size_t* at) {
  bool valid = false;
  out->append(kReplacementCharacter);
  *at += ScanUtf8(text, *at, &valid) - 1;
}

// Control characters that XML does not allow anywhere, not even as
// character references; an XHTML page shows them as U+FFFD.
bool IsXmlForbidden(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Whether the '&' at `at` of a name must be written "&amp;".
bool AmpersandNeedsEscape(const std::string& name, size_t at, bool replace_iso_chars, bool xhtml) {
  if (replace_iso_chars || xhtml) return true;
  if (at + 1 >= name.size()) return false;
  const char next = name[at + 1];
  return next == '#' || IsAsciiAlnum(next);
}

// Length of the character at `at`: its UTF-8 sequence, or 0 for a byte
// outside one on a platform whose names are UTF-8; 1 elsewhere.
size_t CharLength(const std::string& text, size_t at) {
  if (static_cast<unsigned char>(text[at]) < 0x80 || !NamesAreUtf8()) return 1;
  bool valid = false;
  const size_t length = ScanUtf8(text, at, &valid);
  return valid ? length : 0;
}

// Text that a folder name gives to a token: markup-safe, and '%' as a
// character reference so that it can form no further token; '&' and bytes
// outside UTF-8 as in EscapeNameText.
std::string TokenSafe(const std::string& text, bool xhtml) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t length = CharLength(text, i);
    if (length == 0) {
      AppendReplacement(&out, text, &i);
      continue;
    }
    if (length > 1) {
      out.append(text, i, length);
      i += length - 1;
      continue;
    }
    switch (text[i]) {
      case '<': out.append("&lt;"); break;
      case '>': out.append("&gt;"); break;
      case '"': out.append("&quot;"); break;
      case '%': out.append("&#37;"); break;
      case '&': out.append(AmpersandNeedsEscape(text, i, false, xhtml) ? "&amp;" : "&"); break;
      default:
        if (xhtml && IsXmlForbidden(text[i])) {
          out.append(kReplacementCharacter);
        } else {
          out.push_back(text[i]);
        }
    }
  }
  return out;
}

struct TargetRules {
  bool href20;
  bool replace_iso_chars;
  bool xhtml;
  bool escape_colon;
  bool escape_outer_spaces;
};

std::string EscapeTarget(const std::string& name, const TargetRules& r) {
  std::string out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size();) {
    const char c = name[i];
    const unsigned char u = static_cast<unsigned char>(c);
    const size_t length = CharLength(name, i);
    if (length == 0) {
      AppendPercentByte(&out, u);
      ++i;
      continue;
    }
    if (length > 1) {
      out.append(name, i, length);
      i += length;
      continue;
    }
    switch (c) {
      case '%':
      case '"':
      case '<':
      case '>':
      case '#':
      case '?':
        AppendPercentByte(&out, u);
        break;
      case ':':
        if (r.escape_colon) {
          AppendPercentByte(&out, u);
        } else {
          out.push_back(c);
        }
        break;
      case ' ': {
        const bool outer = r.escape_outer_spaces && (i == 0 || i + 1 == name.size());
        out.append(r.href20 || outer ? "%20" : " ");
        break;
      }
      case '&':
        out.append(AmpersandNeedsEscape(name, i, r.replace_iso_chars, r.xhtml) ? "&amp;" : "&");
        break;
      default:
        if (u < 0x20 || (c == '\\' && kSeparator != '\\')) {
          AppendPercentByte(&out, u);
        } else {
          AppendIsoEscaped(&out, c, r.replace_iso_chars);
        }
    }
    ++i;
  }
  return out;
}

void AppendNumber(std::string* out, int value, bool two_digits) {
  if (two_digits && value < 10) out->push_back('0');
  out->append(std::to_string(value));
}

bool FieldsInRange(const LocalTime& t) {
  return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour >= 0 &&
         t.hour <= 23 && t.minute >= 0 && t.minute <= 59;
}

// The text of a time that cannot be shown.
const char kUnknownTime[] = "?";

// ISO 8601 "2026-12-07" (a year of at least four digits, from 1) and "14:19".
std::string IsoDate(const LocalTime& t) {
  std::string year = std::to_string(t.year);
  std::string date(year.size() < 4 ? 4 - year.size() : 0, '0');
  date.append(year).push_back('-');
  AppendNumber(&date, t.month, true);
  date.push_back('-');
  AppendNumber(&date, t.day, true);
  return date;
}

std::string IsoClock(const LocalTime& t) {
  std::string clock;
  AppendNumber(&clock, t.hour, true);
  clock.push_back(':');
  AppendNumber(&clock, t.minute, true);
  return clock;
}

// True when a cell's opening tag is one plain td tag that a title attribute
// can join before its '>': "<td" and a blank or '>', no other '<' or '>',
// quotes in pairs, and no title of its own.
bool TakesTitle(const std::string& tag) {
  if (tag.size() < 4 || tag.back() != '>') return false;
  std::string lower = tag;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.compare(0, 3, "<td") != 0 || std::strchr(" \t\r\n>", lower[3]) == nullptr) return false;
  const auto count = [&lower](char c) { return std::count(lower.begin(), lower.end(), c); };
  return count('<') == 1 && count('>') == 1 && count('"') % 2 == 0 && count('\'') % 2 == 0 &&
         lower.find("title") == std::string::npos;
}

// ReplaceAll that keeps the spans of `text` (when not null) up to date; the
// replacements join them when `marked`.
void ReplaceMarked(std::string* text, const std::string& from, const std::string& to, bool marked,
                   TextSpans* spans) {
  if (spans != nullptr && !from.empty()) {
    std::vector<TextEdit> edits;
    for (size_t at = text->find(from); at != std::string::npos;
         at = text->find(from, at + from.size())) {
      edits.push_back(TextEdit{at, from.size(), to.size(), marked});
    }
    if (!edits.empty()) *spans = EditSpans(*spans, edits);
  }
  ReplaceAll(text, from, to);
}

}  // namespace

std::string escape_link_text(const std::string& text, bool replace_iso_chars) {
  if (!replace_iso_chars) return text;
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendIsoEscaped(&out, c, true);
  return out;
}

size_t Utf8SequenceLength(const std::string& text, size_t at) {
  bool valid = false;
  const size_t length = ScanUtf8(text, at, &valid);
  return valid ? length : 0;
}

bool NamesAreUtf8() {
#ifdef _WIN32
  return false;
#else
  return true;
#endif
}

std::string EscapeTitleText(const std::string& title, bool replace_iso_chars) {
  // One pass, so that the inserted references are not escaped again.
  std::string text;
  text.reserve(title.size());
  for (size_t i = 0; i < title.size(); ++i) {
    const char c = title[i];
    const size_t length = CharLength(title, i);
    if (length == 0) {
      AppendReplacement(&text, title, &i);
    } else if (c == '<') {
      text.append("&lt;");
    } else if (c == '>') {
      text.append("&gt;");
    } else if (length == 1) {
      AppendIsoEscaped(&text, c, replace_iso_chars);
    } else {
      text.append(title, i, length);
      i += length - 1;
    }
  }
  return text;
}

std::string EscapeNameText(const std::string& name, bool replace_iso_chars, bool xhtml) {
  std::string out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const size_t length = CharLength(name, i);
    if (length == 0) {
      AppendReplacement(&out, name, &i);
      continue;
    }
    if (length > 1) {
      out.append(name, i, length);
      i += length - 1;
      continue;
    }
    switch (c) {
      case '<': out.append("&lt;"); break;
      case '>': out.append("&gt;"); break;
      case '"': out.append("&quot;"); break;
      case '&':
        out.append(AmpersandNeedsEscape(name, i, replace_iso_chars, xhtml) ? "&amp;" : "&");
        break;
      default:
        if (xhtml && IsXmlForbidden(c)) {
          out.append(kReplacementCharacter);
        } else {
          AppendIsoEscaped(&out, c, replace_iso_chars);
        }
    }
  }
  return out;
}

std::string SpacesToPercent20(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == ' ') {
      out.append("%20");
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string EscapeLinkTarget(const std::string& name, bool href20, bool replace_iso_chars,
                             bool xhtml) {
    // Windows names hold no ':', but a drive may lead a folder there.
  return EscapeTarget(name, TargetRules{href20, replace_iso_chars, xhtml, kSeparator == '/', true});
}

std::string AnchorIdAttribute(const std::string& id) {
  std::string out;
  out.reserve(id.size());
  for (size_t i = 0; i < id.size(); ++i) {
    const size_t length = CharLength(id, i);
    if (length == 0) {
      AppendReplacement(&out, id, &i);
      continue;
    }
    switch (id[i]) {
      case '&': out.append("&amp;"); break;
      case '<': out.append("&lt;"); break;
      case '>': out.append("&gt;"); break;
      case '"': out.append("&quot;"); break;
      default:
        out.append(id, i, length);
        i += length - 1;
    }
  }
  return out;
}

std::string AnchorFragment(const std::string& id) {
  std::string out;
  out.reserve(id.size());
  for (size_t i = 0; i < id.size(); ++i) {
    const unsigned char u = static_cast<unsigned char>(id[i]);
    const size_t length = CharLength(id, i);
    if (length == 0) {
      AppendReplacement(&out, id, &i);  // as the id attribute holds it
      continue;
    }
    switch (id[i]) {
      case '%':
      case '"':
      case '<':
      case '>':
      case '#':
      case ' ':
        AppendPercentByte(&out, u);
        break;
      case '&':
        out.append("&amp;");
        break;
      default:
        if (u < 0x20) {
          AppendPercentByte(&out, u);
        } else {
          out.append(id, i, length);
          i += length - 1;
        }
    }
  }
  return out;
}

std::string MakeLinkBase(const std::string& path, bool href20, bool xhtml, Env* env) {
  std::string slashed = path;
  if (kSeparator != '/') ReplaceCharacter(&slashed, kSeparator, '/', env);
  std::string base = EscapeTarget(slashed, TargetRules{href20, false, xhtml, false, false});
  if (!base.empty() && base.back() != '/') base.push_back('/');
  return base;
}

std::string int64_to_text(int64_t value) {
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char digits[24];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::string out;
  if (value < 0) out.push_back('-');
  while (n > 0) out.push_back(digits[--n]);
  return out;
}

std::string insert_thousands_separators(const std::string& text, bool insert_commas,
                                        bool euro_date_style) {
  if (!insert_commas) return text;
  const char separator = euro_date_style ? '.' : ',';
  size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
  size_t digits = text.size() - start;
  std::string out;
  out.reserve(text.size() + digits / 3);
  out.append(text, 0, start);
  for (size_t i = 0; i < digits; ++i) {
    if (i > 0 && (digits - i) % 3 == 0) out.push_back(separator);
    out.push_back(text[start + i]);
  }
  return out;
}

int64_t SaturatingAdd(int64_t a, int64_t b) {
  if (b > 0 && a > INT64_MAX - b) return INT64_MAX;
  if (b < 0 && a < INT64_MIN - b) return INT64_MIN;
  return a + b;
}

int64_t SizeInKilobytes(int64_t bytes) {
  int64_t whole = bytes / 1024;
  int64_t rest = bytes % 1024;
  if (rest < 0) {  // round towards minus infinity first
    rest += 1024;
    --whole;
  }
  return rest >= 512 ? whole + 1 : whole;
}

SizeForm SizeFormOf(const std::string& size_style) {
  return size_style == "human" ? SizeForm::kHuman : SizeForm::kExact;
}

DateForm DateFormOf(const std::string& date_style, bool xhtml) {
  if (date_style != "iso") return DateForm::kShort;
  return xhtml ? DateForm::kIso : DateForm::kIsoMarked;
}

std::string HumanSize(int64_t bytes, bool euro_date_style) {
  static const char* const kUnits[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
  constexpr size_t kLastUnit = sizeof(kUnits) / sizeof(kUnits[0]) - 1;
  if (bytes < 1024) return int64_to_text(bytes) + "&nbsp;B";
  const uint64_t b = static_cast<uint64_t>(bytes);
  size_t unit = 0;
  uint64_t divisor = 1024;
  while (unit < kLastUnit && b / divisor >= 1024) {
    divisor *= 1024;
    ++unit;
  }
  // Half up, compared without doubling: rest * 2 may not fit.
  auto half_up = [](uint64_t rest, uint64_t d) -> uint64_t { return rest >= d - rest ? 1 : 0; };
  const uint64_t whole = b / divisor + half_up(b % divisor, divisor);
  if (whole >= 1024 && unit < kLastUnit) {
    divisor *= 1024;
    ++unit;
  }
  const uint64_t rest10 = b % divisor * 10;  // below 10 * 2^60
  const uint64_t tenths = b / divisor * 10 + rest10 / divisor + half_up(rest10 % divisor, divisor);
  std::string text;
  if (tenths < 100) {
    text = std::to_string(tenths / 10);
    text.push_back(euro_date_style ? ',' : '.');
    text.push_back(static_cast<char>('0' + tenths % 10));
  } else {
    text = std::to_string(whole);
  }
  return text + "&nbsp;" + kUnits[unit];
}

std::string ExactSizeTitle(int64_t bytes, bool insert_commas, bool euro_date_style) {
  return insert_thousands_separators(int64_to_text(bytes), insert_commas, euro_date_style) + " B";
}

std::string CellOpenTag(const std::string& size_date_td) {
  return size_date_td.empty() ? std::string("<td align=\"right\">") : size_date_td;
}

std::string SizeCell(int64_t bytes, bool sizes_by_k, bool insert_commas, bool euro_date_style,
                     const std::string& size_date_td, SizeForm form) {
  if (form == SizeForm::kHuman) {
    const std::string open = CellOpenTag(size_date_td);
    const std::string title =
        " title=\"" + ExactSizeTitle(bytes, insert_commas, euro_date_style) + "\">";
    const bool on_cell = TakesTitle(open);
    std::string cell = on_cell ? open.substr(0, open.size() - 1) + title : open + "<span" + title;
    cell.append("&nbsp;&nbsp;").append(HumanSize(bytes, euro_date_style)).append("&nbsp;&nbsp;");
    if (!on_cell) cell.append("</span>");
    cell.append("</td>");
    return cell;
  }
  int64_t shown = sizes_by_k ? SizeInKilobytes(bytes) : bytes;
  std::string cell = CellOpenTag(size_date_td);
  cell.append("&nbsp;&nbsp;");
  cell.append(insert_thousands_separators(int64_to_text(shown), insert_commas, euro_date_style));
  if (sizes_by_k) cell.append("&nbsp;K");
  cell.append("&nbsp;&nbsp;</td>");
  return cell;
}

std::string FormatDateTimeFields(const LocalTime& t, bool euro_date_style, bool include_time,
                                 const std::string& size_date_td, DateForm form) {
  std::string out;
  if (!FieldsInRange(t) || (form != DateForm::kShort && t.year < 1)) {
    out = kUnknownTime;
    if (include_time) out.append("</td>").append(CellOpenTag(size_date_td)).append(kUnknownTime);
    return out;
  }
  if (form != DateForm::kShort) {
    const std::string date = IsoDate(t);
    const std::string clock = IsoClock(t);
    out.append("&nbsp;&nbsp;");
    if (form == DateForm::kIsoMarked) {
      out.append("<time datetime=\"").append(date).append("T").append(clock).append("\">");
      out.append(date).append("</time>");
    } else {
      out.append(date);
    }
    if (include_time) {
      out.append("</td>").append(CellOpenTag(size_date_td)).append("&nbsp;").append(clock);
    }
    return out;
  }
  int first = euro_date_style ? t.day : t.month;
  int second = euro_date_style ? t.month : t.day;
  out.append(first < 10 ? "&nbsp;&nbsp;" : "&nbsp;");
  AppendNumber(&out, first, false);
  out.push_back('/');
  AppendNumber(&out, second, true);
  out.push_back('/');
  // Two-digit year; years before 1900 (and negative ones) wrap the same way.
  AppendNumber(&out, ((t.year % 100) + 100) % 100, true);
  if (include_time) {
    out.append("</td>").append(CellOpenTag(size_date_td)).append("&nbsp;");
    int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    AppendNumber(&out, hour12, false);
    out.push_back(':');
    AppendNumber(&out, t.minute, true);
    out.append(t.hour < 12 ? "&nbsp;am" : "&nbsp;pm");
  }
  return out;
}

std::string format_file_time(Env* env, FileTime time, bool euro_date_style, bool include_time,
                             const std::string& size_date_td, DateForm form) {
  LocalTime t;
  if (!env->FileTimeToLocal(time, &t)) t = LocalTime();  // all zero: out of range
  return FormatDateTimeFields(t, euro_date_style, include_time, size_date_td, form);
}

std::string DateCell(Env* env, FileTime time, bool euro_date_style, bool include_time,
                     const std::string& size_date_td, int column, int file_columns,
                     DateForm form) {
  std::string cell = CellOpenTag(size_date_td);
  cell.append(format_file_time(env, time, euro_date_style, include_time, size_date_td, form));
  if (column < file_columns && file_columns > 1) cell.append("&nbsp;&nbsp;");
  cell.append("</td>");
  return cell;
}

std::string FormatPageDate(Env* env, FileTime now, bool euro_date_style, DateForm form) {
  LocalTime t;
  if (!env->FileTimeToLocal(now, &t) || !FieldsInRange(t)) return kUnknownTime;
  if (form != DateForm::kShort) return t.year < 1 ? kUnknownTime : IsoDate(t) + " " + IsoClock(t);
  std::string text =
      env->FormatLocalTime(euro_date_style ? "%d %B, %Y  %H:%M " : "%B %d, %Y  %I:%M ", t);
  if (text.empty()) return kUnknownTime;
  if (!euro_date_style) text.append(t.hour < 12 ? "am" : "pm");
  return text;
}

std::string FolderTokenText(const std::string& path, Env* env) {
  return TextAfterLastSeparator(path, env);
}

void ReplaceAll(std::string* text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  size_t at = text->find(from);
  if (at == std::string::npos) return;
  std::string out;
  size_t done = 0;
  for (; at != std::string::npos; at = text->find(from, done)) {
    out.append(*text, done, at - done);
    out.append(to);
    done = at + from.size();
  }
  out.append(*text, done, std::string::npos);
  text->swap(out);
}

void ReplaceTokens(std::string* section_copy, const std::string& path,
                   const std::string& page_date, bool xhtml, Env* env,
                   TextSpans* file_text) {
  ReplaceMarked(section_copy, "%%DIR", TokenSafe(path, xhtml), true, file_text);
  ReplaceMarked(section_copy, "%%FOLDER", TokenSafe(FolderTokenText(path, env), xhtml), true,
                file_text);
  ReplaceMarked(section_copy, "%%DATE", page_date, false, file_text);
}

}  // namespace vellora
