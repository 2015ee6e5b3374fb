#include "settings/controls.h"

#include <algorithm>

namespace vellora {

namespace {

// A control with the member of CControlValues that holds its value: a text
// for edit boxes, a state for check boxes, a count for lists, and for radios
// the recursion mode they choose.
struct ControlRow {
  CControlInfo info;
  std::string CControlValues::*text;
  int32_t CControlValues::*state;
  RecursionMode mode;
};

constexpr ControlKind kEdit = ControlKind::kEditBox;
constexpr ControlKind kCheck = ControlKind::kCheckBox;
constexpr RecursionMode kNoMode = RecursionMode::kAllInOneFile;

// The folder box and the skip-folders box take at most 1000 characters.
constexpr size_t kLongEdit = 1000;

ControlRow Edit(ControlId id, std::string CControlValues::*text, size_t limit = 0) {
  return {{id, kEdit, 0, limit}, text, nullptr, kNoMode};
}
ControlRow Check(ControlId id, int page, int32_t CControlValues::*state) {
  return {{id, kCheck, page, 0}, nullptr, state, kNoMode};
}
ControlRow Radio(ControlId id, RecursionMode mode) {
  return {{id, ControlKind::kRadio, 2, 0}, nullptr, nullptr, mode};
}
ControlRow List(ControlId id, int32_t CControlValues::*count) {
  return {{id, ControlKind::kList, 2, 0}, nullptr, count, kNoMode};
}

const ControlRow* Rows() {
  using C = CControlValues;
  using I = ControlId;
  static const ControlRow rows[] = {
      Edit(I::kPath, &C::path, kLongEdit),
      Edit(I::kFileSpec, &C::file_spec),
      Edit(I::kOutputFilename, &C::output_filename),
      Edit(I::kTitle, &C::title),
      Edit(I::kCustomHtmlFilename, &C::custom_html_filename),
      Edit(I::kSkipFiles, &C::skip_files),
      Edit(I::kSkipFolders, &C::skip_folders, kLongEdit),
      Check(I::kIncludeFilesize, 1, &C::include_filesize),
      Check(I::kIncludeDate, 1, &C::include_date),
      Check(I::kIncludeTime, 1, &C::include_time),
      Check(I::kIncludeSummary, 1, &C::include_summary),
      Check(I::kIncludeSubfolders, 1, &C::include_subfolders),
      Check(I::kSupressParentLink, 1, &C::supress_parent_link),
      Check(I::kShowFolderNames, 1, &C::show_folder_names),
      Check(I::kSizesByK, 1, &C::sizes_by_k),
      Check(I::kSupressHeaders, 1, &C::supress_headers),
      Check(I::kSuppressExtensions, 1, &C::suppress_extensions),
      Check(I::kSuppressVisibleLinks, 1, &C::suppress_visible_links),
      Check(I::kEuroDateStyle, 1, &C::euro_date_style),
      Check(I::kUseHtmlTitlesForLinks, 1, &C::use_html_titles_for_links),
      Check(I::kFullPathnameLinks, 1, &C::full_pathname_links),
      Check(I::kReplaceIsoChars, 1, &C::replace_iso_chars),
      Check(I::kHref20, 1, &C::href20),
      Check(I::kXmlCompliant, 1, &C::xml_compliant),
      Check(I::kInsertCommas, 1, &C::insert_commas),
      Check(I::kNonFunctionalLinks, 1, &C::non_functional_links),
      Check(I::kRecursiveBuild, 2, &C::recursive_build),
      Radio(I::kOnePagePerFolder, RecursionMode::kOnePagePerFolder),
      Radio(I::kAllInOneFile, RecursionMode::kAllInOneFile),
      Radio(I::kFramedSite, RecursionMode::kFramedSite),
      Check(I::kFolderAnchors, 2, &C::folder_anchors),
      List(I::kFileColumns, &C::file_columns),
      List(I::kFolderColumns, &C::folder_columns),
      // kNone
      {{I::kNone, kEdit, -1, 0}, nullptr, nullptr, kNoMode},
  };
  static_assert(sizeof(rows) / sizeof(rows[0]) == kControlCount + 1, "one row per control");
  return rows;
}

const ControlRow& Row(ControlId id) {
  const int i = static_cast<int>(id);
  return Rows()[i >= 0 && i < kControlCount ? i : kControlCount];
}

bool IsKind(const ControlRow& row, ControlKind kind) { return row.info.kind == kind; }

}  // namespace

const CControlInfo& ControlInfo(ControlId id) { return Row(id).info; }

const std::string& CControlValues::Text(ControlId id) const {
  static const std::string kEmpty;
  const ControlRow& row = Row(id);
  return row.text != nullptr ? this->*row.text : kEmpty;
}

void CControlValues::SetText(ControlId id, const std::string& text) {
  const ControlRow& row = Row(id);
  if (row.text != nullptr) this->*row.text = text;
}

bool CControlValues::Checked(ControlId id) const {
  const ControlRow& row = Row(id);
  if (IsKind(row, ControlKind::kRadio)) return recursion_mode == row.mode;
  return IsKind(row, kCheck) && this->*row.state != 0;
}

void CControlValues::SetChecked(ControlId id, bool checked) {
  const ControlRow& row = Row(id);
  if (IsKind(row, ControlKind::kRadio)) {
    if (checked) recursion_mode = row.mode;
  } else if (IsKind(row, kCheck)) {
    this->*row.state = checked ? 1 : 0;
  }
}

int32_t CControlValues::Selection(ControlId id) const {
  const ControlRow& row = Row(id);
  if (!IsKind(row, ControlKind::kList)) return 0;
  return std::clamp(this->*row.state, int32_t{1}, kColumnListEntries) - 1;
}

void CControlValues::SetSelection(ControlId id, int32_t entry) {
  const ControlRow& row = Row(id);
  if (!IsKind(row, ControlKind::kList)) return;
  this->*row.state = std::clamp(entry, int32_t{0}, kColumnListEntries - 1) + 1;
}

}  // namespace vellora
