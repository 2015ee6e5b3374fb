#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "custom/memory_env.h"
#include "html/text_helpers.h"

namespace vellora {
namespace {

using testing_env::MakeFileTime;

const char kTd[] = "<td align=\"right\">";

LocalTime At(int year, int month, int day, int hour, int minute) {
  LocalTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  return t;
}

TEST(Numbers, DecimalText) {
  EXPECT_EQ(int64_to_text(0), "0");
  EXPECT_EQ(int64_to_text(1234), "1234");
  EXPECT_EQ(int64_to_text(-5), "-5");
  EXPECT_EQ(int64_to_text(std::numeric_limits<int64_t>::max()), "9223372036854775807");
  EXPECT_EQ(int64_to_text(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
}

TEST(Numbers, ThousandsSeparators) {
  EXPECT_EQ(insert_thousands_separators("1234567", true, false), "1,234,567");
  EXPECT_EQ(insert_thousands_separators("123456", true, false), "123,456");
  EXPECT_EQ(insert_thousands_separators("999", true, false), "999");
  EXPECT_EQ(insert_thousands_separators("1000", true, false), "1,000");
  EXPECT_EQ(insert_thousands_separators("1000", true, true), "1.000");
  EXPECT_EQ(insert_thousands_separators("1234567", false, true), "1234567");
  EXPECT_EQ(insert_thousands_separators("3221225472", true, false), "3,221,225,472");
  EXPECT_EQ(insert_thousands_separators("-1234", true, false), "-1,234");
  EXPECT_EQ(insert_thousands_separators("-123", true, false), "-123");
  EXPECT_EQ(insert_thousands_separators("", true, false), "");
}

TEST(Numbers, KilobytesRoundHalfUp) {
  EXPECT_EQ(SizeInKilobytes(0), 0);
  EXPECT_EQ(SizeInKilobytes(511), 0);
  EXPECT_EQ(SizeInKilobytes(512), 1);
  EXPECT_EQ(SizeInKilobytes(1535), 1);
  EXPECT_EQ(SizeInKilobytes(1536), 2);
  EXPECT_EQ(SizeInKilobytes(int64_t{3} << 30), 3145728);
  EXPECT_EQ(SizeInKilobytes(std::numeric_limits<int64_t>::max()), int64_t{1} << 53);
  EXPECT_EQ(SizeInKilobytes(-513), -1);
}

TEST(SizeCell, BytesOrKilobytes) {
  EXPECT_EQ(SizeCell(1234, false, true, false, ""),
            std::string(kTd) + "&nbsp;&nbsp;1,234&nbsp;&nbsp;</td>");
  EXPECT_EQ(SizeCell(0, true, true, false, ""),
            std::string(kTd) + "&nbsp;&nbsp;0&nbsp;K&nbsp;&nbsp;</td>");
  EXPECT_EQ(SizeCell(1536, true, true, false, "<td class=s>"),
            "<td class=s>&nbsp;&nbsp;2&nbsp;K&nbsp;&nbsp;</td>");
  const int64_t three_gib = int64_t{3} << 30;
  EXPECT_EQ(SizeCell(three_gib, false, true, false, ""),
            std::string(kTd) + "&nbsp;&nbsp;3,221,225,472&nbsp;&nbsp;</td>");
  EXPECT_EQ(SizeCell(three_gib, true, true, true, ""),
            std::string(kTd) + "&nbsp;&nbsp;3.145.728&nbsp;K&nbsp;&nbsp;</td>");
  EXPECT_EQ(SizeCell(1234567, false, false, false, ""),
            std::string(kTd) + "&nbsp;&nbsp;1234567&nbsp;&nbsp;</td>");
}

TEST(DateTimeText, UsAndEuropeanOrder) {
  const LocalTime jan3 = At(2005, 1, 3, 14, 7);
  EXPECT_EQ(FormatDateTimeFields(jan3, false, false, ""), "&nbsp;&nbsp;1/03/05");
  EXPECT_EQ(FormatDateTimeFields(jan3, false, true, ""),
            std::string("&nbsp;&nbsp;1/03/05</td>") + kTd + "&nbsp;2:07&nbsp;pm");
  const LocalTime oct26 = At(2004, 10, 26, 0, 5);
  EXPECT_EQ(FormatDateTimeFields(oct26, true, false, ""), "&nbsp;26/10/04");
  EXPECT_EQ(FormatDateTimeFields(oct26, true, true, "<td x>"),
            "&nbsp;26/10/04</td><td x>&nbsp;12:05&nbsp;am");
  EXPECT_EQ(FormatDateTimeFields(At(2005, 1, 26, 9, 5), false, true, ""),
            std::string("&nbsp;&nbsp;1/26/05</td>") + kTd + "&nbsp;9:05&nbsp;am");
  EXPECT_EQ(FormatDateTimeFields(At(2004, 12, 9, 3, 0), true, false, ""), "&nbsp;&nbsp;9/12/04");
}

TEST(DateTimeText, ClockAndYearEdges) {
  auto time_of = [](int hour, int minute) {
    std::string s = FormatDateTimeFields(At(2005, 1, 1, hour, minute), false, true, "");
    return s.substr(s.rfind("&nbsp;", s.size() - 9) + 6);
  };
  EXPECT_EQ(time_of(0, 0), "12:00&nbsp;am");
  EXPECT_EQ(time_of(11, 59), "11:59&nbsp;am");
  EXPECT_EQ(time_of(12, 30), "12:30&nbsp;pm");
  EXPECT_EQ(time_of(23, 9), "11:09&nbsp;pm");
  auto year_of = [](int year) {
    std::string s = FormatDateTimeFields(At(year, 5, 5, 0, 0), false, false, "");
    return s.substr(s.size() - 2);
  };
  EXPECT_EQ(year_of(2000), "00");
  EXPECT_EQ(year_of(2009), "09");
  EXPECT_EQ(year_of(1601), "01");
  EXPECT_EQ(year_of(30828), "28");
}

TEST(DateTimeText, UnconvertibleTimesGiveAQuestionMark) {
  EXPECT_EQ(FormatDateTimeFields(At(2005, 13, 1, 0, 0), false, false, ""), "?");
  EXPECT_EQ(FormatDateTimeFields(At(2005, 1, 1, 24, 0), false, true, ""),
            std::string("?</td>") + kTd + "?");
  EXPECT_EQ(FormatDateTimeFields(LocalTime(), true, false, ""), "?");

  MemoryEnv env;
  env.first_unconvertible = MakeFileTime(2030, 1, 1, 0, 0);
  EXPECT_EQ(format_file_time(&env, ~FileTime{0}, false, true, "<td y>"), "?</td><td y>?");
  EXPECT_EQ(FormatPageDate(&env, ~FileTime{0}, false), "?");
}

TEST(DateCell, ConvertsToLocalTimeAndGapsInnerColumns) {
  MemoryEnv env;
  env.utc_offset_minutes = 60;
  const FileTime t = MakeFileTime(2005, 1, 3, 13, 7);  // 14:07 local
  const std::string text = format_file_time(&env, t, false, true, "");
  EXPECT_EQ(text, std::string("&nbsp;&nbsp;1/03/05</td>") + kTd + "&nbsp;2:07&nbsp;pm");
  EXPECT_EQ(DateCell(&env, t, false, true, "", 1, 1), kTd + text + "</td>");
  EXPECT_EQ(DateCell(&env, t, false, true, "", 1, 3), kTd + text + "&nbsp;&nbsp;</td>");
  EXPECT_EQ(DateCell(&env, t, false, true, "", 3, 3), kTd + text + "</td>");
  // Local time may fall on the next day.
  EXPECT_EQ(format_file_time(&env, MakeFileTime(2004, 12, 31, 23, 30), false, false, ""),
            "&nbsp;&nbsp;1/01/05");
}

TEST(PageDate, TwelveOrTwentyFourHourClock) {
  MemoryEnv env;
  const FileTime afternoon = MakeFileTime(2026, 12, 6, 13, 5);
  EXPECT_EQ(FormatPageDate(&env, afternoon, false), "December 06, 2026  01:05 pm");
  EXPECT_EQ(FormatPageDate(&env, afternoon, true), "06 December, 2026  13:05 ");
  EXPECT_EQ(FormatPageDate(&env, MakeFileTime(2026, 3, 1, 0, 40), false),
            "March 01, 2026  12:40 am");
  env.format_fails = true;
  EXPECT_EQ(FormatPageDate(&env, afternoon, false), "?");
}

TEST(ReadableSizes, BinaryUnitsOneDecimalBelowTen) {
  const int64_t kib = 1024, mib = kib << 10, gib = mib << 10, tib = gib << 10;
  const struct {
    int64_t bytes;
    bool euro;
    const char* text;
  } cases[] = {
      {0, false, "0&nbsp;B"},
      {244, false, "244&nbsp;B"},
      {1023, false, "1023&nbsp;B"},
      {kib, false, "1.0&nbsp;KB"},
      {1229, false, "1.2&nbsp;KB"},
      {1229, true, "1,2&nbsp;KB"},
      {10188, false, "9.9&nbsp;KB"},  // 9.949
      {10189, false, "10&nbsp;KB"},   // 9.950 rounds up to ten
      {12 * kib + 512, false, "13&nbsp;KB"},
      {1023 * kib + 511, false, "1023&nbsp;KB"},
      {1023 * kib + 512, false, "1.0&nbsp;MB"},  // would round to 1024 KB
      {3 * mib, false, "3.0&nbsp;MB"},
      {4 * gib, false, "4.0&nbsp;GB"},
      {6 * gib + 1, false, "6.0&nbsp;GB"},
      {15 * tib + 100, false, "15&nbsp;TB"},
      {std::numeric_limits<int64_t>::max(), false, "8.0&nbsp;EB"},
      {-5, false, "-5&nbsp;B"},
  };
  for (const auto& c : cases) EXPECT_EQ(HumanSize(c.bytes, c.euro), c.text) << c.bytes;
}

TEST(ReadableSizes, CellHoldsTheExactBytesAsItsTitle) {
  const std::string text = "&nbsp;&nbsp;3.0&nbsp;MB&nbsp;&nbsp;";
  const struct {
    const char* size_date_td;
    const char* open;  // the cell up to the size text
    const char* close;
  } cases[] = {
      {"", "<td align=\"right\" title=\"3,145,728 B\">", "</td>"},
      {"<td class=\"meta\">", "<td class=\"meta\" title=\"3,145,728 B\">", "</td>"},
      {"<TD>", "<TD title=\"3,145,728 B\">", "</td>"},
      // A tag the title cannot safely join keeps its bytes.
      {"<td title=\"x\">", "<td title=\"x\"><span title=\"3,145,728 B\">", "</span></td>"},
      {"<td class='a>", "<td class='a><span title=\"3,145,728 B\">", "</span></td>"},
      {"<td><b>", "<td><b><span title=\"3,145,728 B\">", "</span></td>"},
  };
  for (const auto& c : cases) {
    for (int sizes_by_k = 0; sizes_by_k < 2; ++sizes_by_k) {
      EXPECT_EQ(SizeCell(3 << 20, sizes_by_k != 0, true, false, c.size_date_td, SizeForm::kHuman),
                c.open + text + c.close);
    }
  }
  EXPECT_EQ(SizeCell(3 << 20, false, true, true, "", SizeForm::kHuman),
            "<td align=\"right\" title=\"3.145.728 B\">&nbsp;&nbsp;3,0&nbsp;MB&nbsp;&nbsp;</td>");
  EXPECT_EQ(ExactSizeTitle(int64_t{5} << 32, false, false), "21474836480 B");
  EXPECT_EQ(SizeFormOf("human"), SizeForm::kHuman);
  EXPECT_EQ(SizeFormOf("Human"), SizeForm::kExact);
}

TEST(IsoDates, DateTimeAndTheTimeElement) {
  const LocalTime t = At(2026, 12, 7, 14, 19);
  const std::string marked = "&nbsp;&nbsp;<time datetime=\"2026-12-07T14:19\">2026-12-07</time>";
  EXPECT_EQ(FormatDateTimeFields(t, false, false, "", DateForm::kIsoMarked), marked);
  EXPECT_EQ(FormatDateTimeFields(t, true, true, "", DateForm::kIsoMarked),
            marked + "</td>" + kTd + "&nbsp;14:19");
  EXPECT_EQ(FormatDateTimeFields(t, false, true, "<td x>", DateForm::kIso),
            "&nbsp;&nbsp;2026-12-07</td><td x>&nbsp;14:19");
  EXPECT_EQ(FormatDateTimeFields(At(987, 1, 2, 0, 5), false, true, "", DateForm::kIso),
            std::string("&nbsp;&nbsp;0987-01-02</td>") + kTd + "&nbsp;00:05");
  EXPECT_EQ(FormatDateTimeFields(At(0, 1, 2, 0, 5), false, false, "", DateForm::kIsoMarked), "?");
  EXPECT_EQ(DateFormOf("iso", false), DateForm::kIsoMarked);
  EXPECT_EQ(DateFormOf("iso", true), DateForm::kIso);  // XHTML 1.0 has no time element
  EXPECT_EQ(DateFormOf("ISO", false), DateForm::kShort);

  MemoryEnv env;
  const FileTime afternoon = MakeFileTime(2026, 12, 6, 13, 5);
  EXPECT_EQ(FormatPageDate(&env, afternoon, true, DateForm::kIsoMarked), "2026-12-06 13:05");
  EXPECT_EQ(DateCell(&env, afternoon, false, false, "", 1, 2, DateForm::kIso),
            std::string(kTd) + "&nbsp;&nbsp;2026-12-06&nbsp;&nbsp;</td>");
}

}  // namespace
}  // namespace vellora
