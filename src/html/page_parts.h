// The parts of one index page and the state they share while write_page
// assembles it: the folder table, the file table, the folder-anchor table
// and the summary.
#ifndef VELLORA_HTML_PAGE_PARTS_H_
#define VELLORA_HTML_PAGE_PARTS_H_

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "settings/build_settings.h"
#include "html/page_output.h"
#include "platform/env.h"
#include "scan/file_list.h"
#include "html/page_writer.h"
#include "html/text_helpers.h"

namespace vellora {

// One in-page link target of the folder headings: the anchor id (as text,
// escaped where it is written) and the folder text shown for it ('/'
// separators, no trailing '/').
struct FolderAnchor {
  std::string id;
  std::string text;
};

struct PageContext {
  CPageWriter* builder = nullptr;
  CBuildSettings* settings = nullptr;
  const CDefaultWords* words = nullptr;
  Env* env = nullptr;
  PageOutput* out = nullptr;
  // The listed folder, and the link base put after "File://".
  std::string folder;
  // The top folder of the build, which text from the file system may not
  // include from outside of.
  std::string tree_folder;
  std::string link_base;
  // Page totals.
  int32_t folders_listed = 0;
  int32_t files_listed = 0;
  int64_t total_bytes = 0;
  // The anchors of the folder headings of a grouped listing, in table
  // order: known once the list is ordered, before the table is written.
  std::vector<FolderAnchor> anchors;
  // Listed subfolders that are links out of the tree of a recursive build:
  // not entered, so their rows link to the folder itself.
  std::unordered_set<std::string> links_out;
  // The "%%BREADCRUMBS" text of the page, made when a section first asks.
  std::string breadcrumbs;
  bool breadcrumbs_made = false;

  const std::string& section(int n) const { return settings->custom_html.section(n); }
};

// The text of a path with the native separators turned into '/'. On a
// double-byte code page the trail byte of a character is never taken for one.
std::string WithSlashes(const std::string& path, Env* env);

// Fills `folders` with the subfolders of the listed folder that can be
// entered and are not skipped, and the parent entry when it is shown;
// counts them in the page totals. False when the listed folder could not be
// entered or read.
bool ScanSubfolders(PageContext* page, CFileList* folders);

// Writes the folder table of `folders` (nothing for an empty list).
void WriteFolderTable(PageContext* page, CFileList* folders);

// Sorts the file list and lays it out for its columns; a grouped listing
// is replaced by its regrouped copy, and the anchors of its folder headings
// are added to the page's `anchors`.
void OrderFileList(PageContext* page, CFileList* files);

// Writes the file table. False when the build was cancelled meanwhile.
bool WriteFileTable(PageContext* page, const CFileList& files);

// The folder-anchor table of the page, or "" when the page has none.
std::string BuildAnchorTable(PageContext* page);

// Writes the summary paragraph.
void WriteSummary(PageContext* page);

// Writes the listed folder's readme (html/readme.h) when the readme_names
// option names one that it holds; nothing otherwise.
void WriteReadme(PageContext* page);

// What the size, date and time cells of a page are made of.
struct CellFormat {
  bool sizes_by_k = false;
  bool insert_commas = false;
  bool euro_date_style = false;
  bool include_time = false;
  std::string size_date_td;  // the /SIZE_DATE_TD section
  std::string open_tag;      // CellOpenTag(size_date_td)
  SizeForm size_form = SizeForm::kExact;
  DateForm date_form = DateForm::kShort;
};

// Append the bytes of SizeCell and DateCell.
void AppendSizeCell(std::string* out, int64_t bytes, const CellFormat& format);
void AppendDateCell(std::string* out, Env* env, FileTime time, const CellFormat& format, int column,
                    int file_columns);

// The anchor id of a folder text: "ID" and the text with spaces turned into
// '_' and '/' into '-'. Written through AnchorIdAttribute in id="" and
// AnchorFragment after "#".
std::string FolderAnchorId(const std::string& folder_text);

}  // namespace vellora

#endif  // VELLORA_HTML_PAGE_PARTS_H_
