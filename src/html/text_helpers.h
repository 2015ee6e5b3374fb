// Text helpers of the page writer: the escaping of names and titles in link
// texts and link targets, the link base, numbers with thousands separators,
// the size, date and time cells, the page date and the "%%DIR", "%%FOLDER"
// and "%%DATE" tokens of custom sections.
//
// Names come from the file system and may hold any byte. Wherever a name
// reaches the page it passes through EscapeNameText (visible text),
// EscapeLinkTarget (inside href="") or the anchor-id escapes, so that no
// name can end an attribute or open a tag. A valid UTF-8 name without '<',
// '>', '"', '#', '?', '%', ':', '&', control bytes, an outer space (or '\'
// on POSIX) gives the same bytes as the plain rules of `href20` and
// `replace_iso_chars` alone.
#ifndef VELLORA_HTML_TEXT_HELPERS_H_
#define VELLORA_HTML_TEXT_HELPERS_H_

#include <cstdint>
#include <string>

#include "custom/text_spans.h"
#include "platform/env.h"

namespace vellora {

// ---- Escaping ------------------------------------------------------------

// Length of the valid UTF-8 sequence that starts at `at` (1 for ASCII), or
// 0 when the byte there starts none. Overlong forms, surrogates and code
// points above U+10FFFF are invalid.
size_t Utf8SequenceLength(const std::string& text, size_t at);

// True when names are UTF-8 on this platform (POSIX), so that bytes outside
// a valid sequence are escaped; Windows pages are in the ANSI code page.
bool NamesAreUtf8();

// With `replace_iso_chars` on: '&' becomes "&amp;", '(' "&#40;" and ')'
// "&#41;" (an inserted '&' is not escaped again); otherwise the text is
// returned unchanged. Nothing else is touched.
std::string escape_link_text(const std::string& text, bool replace_iso_chars);

// A page title read from an HTML file as a link text: the title element
// holds plain text, so '<' becomes "&lt;" and '>' "&gt;"; bytes outside
// valid UTF-8 become U+FFFD; the other bytes as escape_link_text does (the
// inserted references are not escaped again). Without `replace_iso_chars`
// '&' and the character references of the source page are kept.
std::string EscapeTitleText(const std::string& title, bool replace_iso_chars);

// A name as visible text: '<' becomes "&lt;", '>' "&gt;" and '"' "&quot;"
// always; bytes outside valid UTF-8 become U+FFFD (POSIX; one for each
// longest start of a sequence, as decoders show them); '&' becomes
// "&amp;" with `replace_iso_chars`, on an XHTML page (`xhtml`), or when it
// is followed by an ASCII letter, digit or '#' (where it would start a
// character reference); '(' and ')' follow `replace_iso_chars`. The writer
// uses it for
//  - file and folder link texts: EscapeNameText(name, replace_iso_chars, xhtml);
//  - folder-heading texts and anchor-table texts, which the options never
//    escape otherwise: EscapeNameText(text, false, xhtml).
std::string EscapeNameText(const std::string& name, bool replace_iso_chars, bool xhtml = false);

// Every space becomes "%20" (the `href20` rule), nothing else changes.
std::string SpacesToPercent20(const std::string& text);

// A name or relative path as a piece of a link target: '%' becomes "%25",
// '"' "%22", '<' "%3C", '>' "%3E", '#' "%23", '?' "%3F", ':' "%3A", on POSIX
// '\' "%5C" and bytes outside valid UTF-8 "%XX", and every byte below 0x20
// "%XX" (upper-case hex); spaces become "%20" with `href20`, and without it
// only a first or last space (browsers trim the attribute); '&', '(' and
// ')' as in EscapeNameText. '/' is kept. The writer uses it for
//  - the file or folder name of a link target (also ".."):
//    EscapeLinkTarget(name, href20, replace_iso_chars, xhtml);
//  - the relative folder of a file on an all-links-in-one-file page:
//    EscapeLinkTarget(folder, href20, false, xhtml).
std::string EscapeLinkTarget(const std::string& name, bool href20, bool replace_iso_chars,
                             bool xhtml = false);

// A folder-anchor id in id="" or name="": '&' becomes "&amp;", '<' "&lt;",
// '>' "&gt;", '"' "&quot;", bytes outside valid UTF-8 U+FFFD.
std::string AnchorIdAttribute(const std::string& id);

// The same id after '#' in href="": '%' becomes "%25", '"' "%22", '<'
// "%3C", '>' "%3E", '#' "%23", space "%20", bytes below 0x20 "%XX", bytes
// outside valid UTF-8 U+FFFD as in the id attribute; then '&' "&amp;".
std::string AnchorFragment(const std::string& id);

// The link base put after "File://": `path` with native separators turned
// into '/', escaped as EscapeLinkTarget(.., href20, false, xhtml) except
// that ':' and a first or last space are kept, and ending with
// exactly one '/' unless it is empty. "C:\My Data" gives "C:/My%20Data/"
// with `href20`, "/srv/My Data" gives "/srv/My%20Data/". The separators are
// found character by character in the encoding of `env` (null: the system's).
std::string MakeLinkBase(const std::string& path, bool href20, bool xhtml = false,
                         Env* env = nullptr);

// ---- Numbers ---------------------------------------------------------------

// Decimal text of a signed 64-bit value: "0", "1234", "-5"; no padding.
std::string int64_to_text(int64_t value);

// With `insert_commas` on, a separator ("," or "." when `euro_date_style` is
// on) before every third character counted from the end, never at the front
// and never right after a leading '-': "1234567" gives "1,234,567", "-123"
// stays. With `insert_commas` off the text is returned unchanged.
std::string insert_thousands_separators(const std::string& text, bool insert_commas,
                                        bool euro_date_style);

// a + b, held at the ends of the signed range instead of overflowing: the
// page total of files whose sizes come near 2^63.
int64_t SaturatingAdd(int64_t a, int64_t b);

// Bytes to kilobytes, rounded to the nearest whole number, an exact half up:
// 511 gives 0, 512 gives 1, 1535 gives 1, 1536 gives 2. Used for the size
// cells and the summary total.
int64_t SizeInKilobytes(int64_t bytes);

// ---- Readable sizes and dates ----------------------------------------------

// How sizes are shown: as bytes or kilobytes (size_style empty), or in
// binary units for people (size_style "human"). Any other value of the key
// counts as empty.
enum class SizeForm { kExact, kHuman };
SizeForm SizeFormOf(const std::string& size_style);

// How dates are shown: the short date and 12-hour time (date_style empty),
// or ISO 8601 "2026-12-07" and "14:19" (date_style "iso"); on an HTML page
// the date of a file is then also a time element that machines read. XHTML
// 1.0 has no such element, so an XHTML page shows the ISO text alone. Any
// other value of the key counts as empty.
enum class DateForm { kShort, kIso, kIsoMarked };
DateForm DateFormOf(const std::string& date_style, bool xhtml);

// A size in binary units (1024): "244&nbsp;B", "1.2&nbsp;KB", "12&nbsp;KB",
// "3.0&nbsp;MB", up to EB; rounded half up to one decimal below 10 and to a
// whole number from 10 up, and 1.0 of the next unit where that would make
// 1024. The decimal mark is ',' with `euro_date_style` (whose thousands
// separator is '.'). A negative size is shown in bytes.
std::string HumanSize(int64_t bytes, bool euro_date_style);

// The exact size of a human-readable one, as a title: "3,145,728 B" (the
// separators as insert_thousands_separators puts them).
std::string ExactSizeTitle(int64_t bytes, bool insert_commas, bool euro_date_style);

// ---- Cells -----------------------------------------------------------------

// The opening tag of a size, date or time cell: the /SIZE_DATE_TD section
// when it is not empty, else "<td align="right">".
std::string CellOpenTag(const std::string& size_date_td);

// The whole size cell of a file of `bytes` bytes: CellOpenTag, "&nbsp;&nbsp;",
// the size (in kilobytes when `sizes_by_k`) with separators, "&nbsp;K" when
// `sizes_by_k`, "&nbsp;&nbsp;</td>". In SizeForm::kHuman the size is
// HumanSize (whatever `sizes_by_k`) and the cell carries ExactSizeTitle as
// its title attribute; a /SIZE_DATE_TD that is not one plain td tag without
// a title of its own keeps its bytes, and the title goes on a span inside.
std::string SizeCell(int64_t bytes, bool sizes_by_k, bool insert_commas, bool euro_date_style,
                     const std::string& size_date_td, SizeForm form = SizeForm::kExact);

// The text of a date cell: "&nbsp;&nbsp;1/03/05" (month/day/year, US) or
// "&nbsp;26/10/04" (day/month/year, `euro_date_style`); the first number has
// no leading zero and is led by two "&nbsp;" when it has one digit, one when
// two; the others have two digits. With `include_time` the date cell is
// closed and the time cell opened and filled: "</td>", CellOpenTag,
// "&nbsp;2:07&nbsp;pm" (12-hour clock, always). A time that `env` cannot
// convert to local time gives "?" in place of the date and of the time.
// DateForm::kIso gives "&nbsp;&nbsp;2026-12-07" and "&nbsp;14:19" (24-hour
// clock) instead; kIsoMarked writes the date as
// <time datetime="2026-12-07T14:19">2026-12-07</time>, the moment to the
// minute whether or not the time is shown.
std::string format_file_time(Env* env, FileTime time, bool euro_date_style, bool include_time,
                             const std::string& size_date_td, DateForm form = DateForm::kShort);

// The same texts from calendar fields already converted. Fields out of
// range (month, day, hour, minute; in the ISO forms a year below 1) give
// "?" like an unconvertible time.
std::string FormatDateTimeFields(const LocalTime& t, bool euro_date_style, bool include_time,
                                 const std::string& size_date_td,
                                 DateForm form = DateForm::kShort);

// The whole date cell (with the time cell when `include_time`) of a file in
// the column `column` (from 1) of a row of `file_columns`: CellOpenTag,
// format_file_time, "&nbsp;&nbsp;" when the column is not the row's last
// and `file_columns` is above 1, "</td>".
std::string DateCell(Env* env, FileTime time, bool euro_date_style, bool include_time,
                     const std::string& size_date_td, int column, int file_columns,
                     DateForm form = DateForm::kShort);

// ---- Page ------------------------------------------------------------------

// The page date of `now` in local time: "December 06, 2026  01:05 pm", or
// with `euro_date_style` "06 December, 2026  13:05 " (month names from the
// runtime's locale). "?" when the time cannot be converted or formatted.
// In the ISO forms "2026-12-06 13:05", a date and time HTML's time element
// takes as its content; never markup, since a custom section may put the
// token inside an attribute.
std::string FormatPageDate(Env* env, FileTime now, bool euro_date_style,
                           DateForm form = DateForm::kShort);

// The "%%FOLDER" text of a folder path: the part after the last native
// separator, the whole path when it has none, "" when it ends with one.
// Characters as in the encoding of `env` (null: the system's).
std::string FolderTokenText(const std::string& path, Env* env = nullptr);

// Replaces every `from` of `text` by `to`, left to right; the replacement is
// not searched again. Nothing happens when `from` is empty.
void ReplaceAll(std::string* text, const std::string& from, const std::string& to);

// Replaces the tokens of a custom section copy, each in its own pass in this
// order: "%%DIR" by `path`, "%%FOLDER" by FolderTokenText(path), "%%DATE" by
// `page_date`. Folder names come from the file system, so in the path and
// folder texts '<', '>' and '"' become "&lt;", "&gt;" and "&quot;" and '%'
// becomes "&#37;" (a name can thus never form a token such as "%%FILE");
// '&' and bytes outside UTF-8 are escaped as EscapeNameText(.., false, xhtml)
// escapes them.
// The path and folder texts join the `file_text` spans (may be null).
// Run it before ExpandIncludes, on /START, /BETWEEN_FILES_AND_FOLDERS,
// /BEFORE_SUMMARY and /END.
void ReplaceTokens(std::string* section_copy, const std::string& path,
                   const std::string& page_date, bool xhtml = false, Env* env = nullptr,
                   TextSpans* file_text = nullptr);

}  // namespace vellora

#endif  // VELLORA_HTML_TEXT_HELPERS_H_
