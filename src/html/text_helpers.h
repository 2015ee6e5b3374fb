// Text helpers of the page writer: the escaping of names and titles in link
// texts and link targets, the link base, numbers with thousands separators,
// the size, date and time cells, the page date and the "%%DIR", "%%FOLDER"
// and "%%DATE" tokens of custom sections.
//
// Names come from the file system and may hold any byte. Wherever a name
// reaches the page it passes through EscapeNameText (visible text) or
// EscapeLinkTarget (inside href="" or id=""), so that no name can end an
// attribute or open a tag. A name without '<', '>', '"', '#', '?', '%',
// control bytes (or '\' on POSIX) gives the same bytes as the plain rules
// of `href20` and `replace_iso_chars` alone.
#ifndef VELLORA_HTML_TEXT_HELPERS_H_
#define VELLORA_HTML_TEXT_HELPERS_H_

#include <cstdint>
#include <string>

#include "platform/env.h"

namespace vellora {

// ---- Escaping ------------------------------------------------------------

// With `replace_iso_chars` on: '&' becomes "&amp;", '(' "&#40;" and ')'
// "&#41;" (an inserted '&' is not escaped again); otherwise the text is
// returned unchanged. Nothing else is touched. The writer uses it for link
// texts that are HTML already: the page titles read from files.
std::string escape_link_text(const std::string& text, bool replace_iso_chars);

// A name as visible text: '<' becomes "&lt;", '>' "&gt;" and '"' "&quot;"
// always, then escape_link_text. The writer uses it for
//  - file and folder link texts: EscapeNameText(name, replace_iso_chars);
//  - folder-heading texts and anchor-table texts, which the options never
//    escape otherwise: EscapeNameText(text, false).
std::string EscapeNameText(const std::string& name, bool replace_iso_chars);

// Every space becomes "%20" (the `href20` rule), nothing else changes.
std::string SpacesToPercent20(const std::string& text);

// A name or relative path as a piece of a link target (or an anchor id):
// '%' becomes "%25", '"' "%22", '<' "%3C", '>' "%3E", '#' "%23", '?' "%3F",
// on POSIX '\' "%5C", and every byte below 0x20 "%XX" (upper-case hex);
// then, with `href20`, spaces become "%20"; then, with `replace_iso_chars`,
// escape_link_text. '/' is kept. The writer uses it for
//  - the file or folder name of a link target (also ".."):
//    EscapeLinkTarget(name, href20, replace_iso_chars);
//  - the relative folder of a file on an all-links-in-one-file page:
//    EscapeLinkTarget(folder, href20, false);
//  - anchor ids, in id="" and in href="#...": EscapeLinkTarget(id, false, false).
std::string EscapeLinkTarget(const std::string& name, bool href20, bool replace_iso_chars);

// The link base put after "File://": `path` with native separators turned
// into '/', escaped as EscapeLinkTarget(.., href20, false), and ending with
// exactly one '/' unless it is empty. "C:\My Data" gives "C:/My%20Data/"
// with `href20`, "/srv/My Data" gives "/srv/My%20Data/".
std::string MakeLinkBase(const std::string& path, bool href20);

// ---- Numbers ---------------------------------------------------------------

// Decimal text of a signed 64-bit value: "0", "1234", "-5"; no padding.
std::string int64_to_text(int64_t value);

// With `insert_commas` on, a separator ("," or "." when `euro_date_style` is
// on) before every third character counted from the end, never at the front
// and never right after a leading '-': "1234567" gives "1,234,567", "-123"
// stays. With `insert_commas` off the text is returned unchanged.
std::string insert_thousands_separators(const std::string& text, bool insert_commas,
                                        bool euro_date_style);

// Bytes to kilobytes, rounded to the nearest whole number, an exact half up:
// 511 gives 0, 512 gives 1, 1535 gives 1, 1536 gives 2. Used for the size
// cells and the summary total.
int64_t SizeInKilobytes(int64_t bytes);

// ---- Cells -----------------------------------------------------------------

// The opening tag of a size, date or time cell: the /SIZE_DATE_TD section
// when it is not empty, else "<td align="right">".
std::string CellOpenTag(const std::string& size_date_td);

// The whole size cell of a file of `bytes` bytes: CellOpenTag, "&nbsp;&nbsp;",
// the size (in kilobytes when `sizes_by_k`) with separators, "&nbsp;K" when
// `sizes_by_k`, "&nbsp;&nbsp;</td>".
std::string SizeCell(int64_t bytes, bool sizes_by_k, bool insert_commas, bool euro_date_style,
                     const std::string& size_date_td);

// The text of a date cell: "&nbsp;&nbsp;1/03/05" (month/day/year, US) or
// "&nbsp;26/10/04" (day/month/year, `euro_date_style`); the first number has
// no leading zero and is led by two "&nbsp;" when it has one digit, one when
// two; the others have two digits. With `include_time` the date cell is
// closed and the time cell opened and filled: "</td>", CellOpenTag,
// "&nbsp;2:07&nbsp;pm" (12-hour clock, always). A time that `env` cannot
// convert to local time gives "?" in place of the date and of the time.
std::string format_file_time(Env* env, FileTime time, bool euro_date_style, bool include_time,
                             const std::string& size_date_td);

// The same texts from calendar fields already converted. Fields out of
// range (month, day, hour, minute) give "?" like an unconvertible time.
std::string FormatDateTimeFields(const LocalTime& t, bool euro_date_style, bool include_time,
                                 const std::string& size_date_td);

// The whole date cell (with the time cell when `include_time`) of a file in
// the column `column` (from 1) of a row of `file_columns`: CellOpenTag,
// format_file_time, "&nbsp;&nbsp;" when the column is not the row's last
// and `file_columns` is above 1, "</td>".
std::string DateCell(Env* env, FileTime time, bool euro_date_style, bool include_time,
                     const std::string& size_date_td, int column, int file_columns);

// ---- Page ------------------------------------------------------------------

// The page date of `now` in local time: "December 06, 2026  01:05 pm", or
// with `euro_date_style` "06 December, 2026  13:05 " (month names from the
// runtime's locale). "?" when the time cannot be converted or formatted.
std::string FormatPageDate(Env* env, FileTime now, bool euro_date_style);

// The "%%FOLDER" text of a folder path: the part after the last native
// separator, the whole path when it has none, "" when it ends with one.
std::string FolderTokenText(const std::string& path);

// Replaces every `from` of `text` by `to`, left to right; the replacement is
// not searched again. Nothing happens when `from` is empty.
void ReplaceAll(std::string* text, const std::string& from, const std::string& to);

// Replaces the tokens of a custom section copy, each in its own pass in this
// order: "%%DIR" by `path`, "%%FOLDER" by FolderTokenText(path), "%%DATE" by
// `page_date`. Folder names come from the file system, so in the path and
// folder texts '<', '>' and '"' become "&lt;", "&gt;" and "&quot;" and '%'
// becomes "&#37;" (a name can thus never form a token such as "%%FILE").
// Run it before ExpandIncludes, on /START, /BETWEEN_FILES_AND_FOLDERS,
// /BEFORE_SUMMARY and /END.
void ReplaceTokens(std::string* section_copy, const std::string& path,
                   const std::string& page_date);

}  // namespace vellora

#endif  // VELLORA_HTML_TEXT_HELPERS_H_
