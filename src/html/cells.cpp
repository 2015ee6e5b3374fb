// The size, date and time cells of the file table, appended in place. They
// give the bytes of SizeCell and DateCell without the temporaries those
// build, which matters on pages of many thousand files; values outside the
// usual range and the readable sizes and ISO dates are left to those helpers.
#include <string>

#include "html/page_parts.h"
#include "html/text_helpers.h"

namespace vellora {

namespace {

// Decimal digits of `value` (0 or more), with a separator before every
// third digit from the end when `separator` is not 0.
void AppendDigits(std::string* out, uint64_t value, char separator) {
  char digits[32];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (size_t i = n; i > 0; --i) {
    out->push_back(digits[i - 1]);
    if (separator != 0 && i > 1 && (i - 1) % 3 == 0) out->push_back(separator);
  }
}

void AppendTwoDigits(std::string* out, int value) {
  out->push_back(static_cast<char>('0' + value / 10));
  out->push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

void AppendSizeCell(std::string* out, int64_t bytes, const CellFormat& f) {
  const int64_t shown = f.sizes_by_k ? SizeInKilobytes(bytes) : bytes;
  if (shown < 0 || f.size_form != SizeForm::kExact) {
    out->append(SizeCell(bytes, f.sizes_by_k, f.insert_commas, f.euro_date_style, f.size_date_td,
                         f.size_form));
    return;
  }
  out->append(f.open_tag);
  out->append("&nbsp;&nbsp;");
  AppendDigits(out, static_cast<uint64_t>(shown),
               f.insert_commas ? (f.euro_date_style ? '.' : ',') : '\0');
  if (f.sizes_by_k) out->append("&nbsp;K");
  out->append("&nbsp;&nbsp;</td>");
}

void AppendDateCell(std::string* out, Env* env, FileTime time, const CellFormat& f, int column,
                    int file_columns) {
  LocalTime t;
  if (f.date_form != DateForm::kShort || !env->FileTimeToLocal(time, &t) || t.year < 0 ||
      t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 || t.hour > 23 ||
      t.minute < 0 || t.minute > 59) {
    out->append(DateCell(env, time, f.euro_date_style, f.include_time, f.size_date_td, column,
                         file_columns, f.date_form));
    return;
  }
  out->append(f.open_tag);
  const int first = f.euro_date_style ? t.day : t.month;
  const int second = f.euro_date_style ? t.month : t.day;
  if (first < 10) {
    out->append("&nbsp;&nbsp;");
    out->push_back(static_cast<char>('0' + first));
  } else {
    out->append("&nbsp;");
    AppendTwoDigits(out, first);
  }
  out->push_back('/');
  AppendTwoDigits(out, second);
  out->push_back('/');
  AppendTwoDigits(out, t.year % 100);
  if (f.include_time) {
    out->append("</td>");
    out->append(f.open_tag);
    out->append("&nbsp;");
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    if (hour12 < 10) {
      out->push_back(static_cast<char>('0' + hour12));
    } else {
      AppendTwoDigits(out, hour12);
    }
    out->push_back(':');
    AppendTwoDigits(out, t.minute);
    out->append(t.hour < 12 ? "&nbsp;am" : "&nbsp;pm");
  }
  if (column < file_columns && file_columns > 1) out->append("&nbsp;&nbsp;");
  out->append("</td>");
}

}  // namespace vellora
