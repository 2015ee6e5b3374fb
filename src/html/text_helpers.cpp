#include "html/text_helpers.h"

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

// Text that a folder name gives to a token: markup-safe, and '%' as a
// character reference so that it can form no further token.
std::string TokenSafe(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '<': out.append("&lt;"); break;
      case '>': out.append("&gt;"); break;
      case '"': out.append("&quot;"); break;
      case '%': out.append("&#37;"); break;
      default: out.push_back(c);
    }
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

}  // namespace

std::string escape_link_text(const std::string& text, bool replace_iso_chars) {
  if (!replace_iso_chars) return text;
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendIsoEscaped(&out, c, true);
  return out;
}

std::string EscapeNameText(const std::string& name, bool replace_iso_chars) {
  std::string out;
  out.reserve(name.size());
  for (char c : name) {
    switch (c) {
      case '<': out.append("&lt;"); break;
      case '>': out.append("&gt;"); break;
      case '"': out.append("&quot;"); break;
      default: AppendIsoEscaped(&out, c, replace_iso_chars);
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

std::string EscapeLinkTarget(const std::string& name, bool href20, bool replace_iso_chars) {
  std::string out;
  out.reserve(name.size());
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    switch (c) {
      case '%':
      case '"':
      case '<':
      case '>':
      case '#':
      case '?':
        AppendPercentByte(&out, u);
        break;
      case ' ':
        out.append(href20 ? "%20" : " ");
        break;
      default:
        if (u < 0x20 || (c == '\\' && kSeparator != '\\')) {
          AppendPercentByte(&out, u);
        } else {
          AppendIsoEscaped(&out, c, replace_iso_chars);
        }
    }
  }
  return out;
}

std::string MakeLinkBase(const std::string& path, bool href20) {
  std::string slashed = path;
#ifdef _WIN32
  // A trail byte of a double-byte character may equal '\': walk characters.
  Env* env = Env::Default();
  for (size_t i = 0; i < slashed.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(slashed[i]);
    if (c == '\\') {
      slashed[i] = '/';
    } else if (c >= 0x80 && i + 1 < slashed.size() && env->IsLeadByte(c)) {
      ++i;
    }
  }
#endif
  std::string base = EscapeLinkTarget(slashed, href20, false);
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

int64_t SizeInKilobytes(int64_t bytes) {
  int64_t whole = bytes / 1024;
  int64_t rest = bytes % 1024;
  if (rest < 0) {  // round towards minus infinity first
    rest += 1024;
    --whole;
  }
  return rest >= 512 ? whole + 1 : whole;
}

std::string CellOpenTag(const std::string& size_date_td) {
  return size_date_td.empty() ? std::string("<td align=\"right\">") : size_date_td;
}

std::string SizeCell(int64_t bytes, bool sizes_by_k, bool insert_commas, bool euro_date_style,
                     const std::string& size_date_td) {
  int64_t shown = sizes_by_k ? SizeInKilobytes(bytes) : bytes;
  std::string cell = CellOpenTag(size_date_td);
  cell.append("&nbsp;&nbsp;");
  cell.append(insert_thousands_separators(int64_to_text(shown), insert_commas, euro_date_style));
  if (sizes_by_k) cell.append("&nbsp;K");
  cell.append("&nbsp;&nbsp;</td>");
  return cell;
}

std::string FormatDateTimeFields(const LocalTime& t, bool euro_date_style, bool include_time,
                                 const std::string& size_date_td) {
  std::string out;
  if (!FieldsInRange(t)) {
    out = kUnknownTime;
    if (include_time) out.append("</td>").append(CellOpenTag(size_date_td)).append(kUnknownTime);
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
                             const std::string& size_date_td) {
  LocalTime t;
  if (!env->FileTimeToLocal(time, &t)) t = LocalTime();  // all zero: out of range
  return FormatDateTimeFields(t, euro_date_style, include_time, size_date_td);
}

std::string DateCell(Env* env, FileTime time, bool euro_date_style, bool include_time,
                     const std::string& size_date_td, int column, int file_columns) {
  std::string cell = CellOpenTag(size_date_td);
  cell.append(format_file_time(env, time, euro_date_style, include_time, size_date_td));
  if (column < file_columns && file_columns > 1) cell.append("&nbsp;&nbsp;");
  cell.append("</td>");
  return cell;
}

std::string FormatPageDate(Env* env, FileTime now, bool euro_date_style) {
  LocalTime t;
  if (!env->FileTimeToLocal(now, &t) || !FieldsInRange(t)) return kUnknownTime;
  std::string text =
      env->FormatLocalTime(euro_date_style ? "%d %B, %Y  %H:%M " : "%B %d, %Y  %I:%M ", t);
  if (text.empty()) return kUnknownTime;
  if (!euro_date_style) text.append(t.hour < 12 ? "am" : "pm");
  return text;
}

std::string FolderTokenText(const std::string& path) { return TextAfterLastSeparator(path); }

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
                   const std::string& page_date) {
  ReplaceAll(section_copy, "%%DIR", TokenSafe(path));
  ReplaceAll(section_copy, "%%FOLDER", TokenSafe(FolderTokenText(path)));
  ReplaceAll(section_copy, "%%DATE", page_date);
}

}  // namespace vellora
