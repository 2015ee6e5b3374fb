// The controls of the option pages that hold an option's value, and the
// record of what they hold while the sheet is open. The sheet's model and
// both windows name the controls by ControlId; what each shows is in the
// options table (settings/options.h).
#ifndef VELLORA_SETTINGS_CONTROLS_H_
#define VELLORA_SETTINGS_CONTROLS_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace vellora {

// Every value-holding control of the pages, page by page in dialog order.
// The command buttons are not listed: they hold no value.
enum class ControlId {
  // Page 0, folders and files: edit boxes.
  kPath,
  kFileSpec,
  kOutputFilename,
  kTitle,
  kCustomHtmlFilename,
  kSkipFiles,
  kSkipFolders,
  // Page 1, miscellaneous: check boxes.
  kIncludeFilesize,
  kIncludeDate,
  kIncludeTime,
  kIncludeSummary,
  kIncludeSubfolders,
  kSupressParentLink,
  kShowFolderNames,
  kSizesByK,
  kSupressHeaders,
  kSuppressExtensions,
  kSuppressVisibleLinks,
  kEuroDateStyle,
  kUseHtmlTitlesForLinks,
  kFullPathnameLinks,
  kReplaceIsoChars,
  kHref20,
  kXmlCompliant,
  kInsertCommas,
  kNonFunctionalLinks,
  // Page 2, recursion: the recursion box, the three radios of the recursion
  // mode, the anchors box and the two column lists.
  kRecursiveBuild,
  kOnePagePerFolder,
  kAllInOneFile,
  kFramedSite,
  kFolderAnchors,
  kFileColumns,
  kFolderColumns,
  kNone,  // no control: the option lives in the stored values only
};
constexpr int kControlCount = static_cast<int>(ControlId::kNone);

enum class ControlKind { kEditBox, kCheckBox, kRadio, kList };

struct CControlInfo {
  ControlId id;
  ControlKind kind;
  int page;           // position of its page in the sheet
  size_t text_limit;  // edit boxes: the most characters the box takes; 0: no limit of its own
};

// The control's kind and place; for kNone, an edit box on no page (-1).
const CControlInfo& ControlInfo(ControlId id);

// The column lists hold the entries "1" to "20": entry i means i + 1 columns.
constexpr int32_t kColumnListEntries = 20;

// The three choices of the recursion radios.
enum class RecursionMode { kAllInOneFile, kOnePagePerFolder, kFramedSite };

// What the pages' controls hold. Flags are 0 or 1.
struct CControlValues {
  std::string path;
  std::string file_spec;
  std::string output_filename;
  std::string title;
  std::string custom_html_filename;
  std::string skip_files;
  std::string skip_folders;
  int32_t non_functional_links = 0;
  int32_t sizes_by_k = 0;
  int32_t show_folder_names = 0;
  int32_t recursive_build = 0;
  int32_t folder_anchors = 0;
  int32_t href20 = 0;
  int32_t include_filesize = 0;
  int32_t include_subfolders = 0;
  int32_t include_date = 0;
  int32_t include_summary = 0;
  int32_t supress_headers = 0;
  int32_t supress_parent_link = 0;
  int32_t euro_date_style = 0;
  int32_t suppress_extensions = 0;
  int32_t full_pathname_links = 0;
  int32_t suppress_visible_links = 0;
  int32_t replace_iso_chars = 0;
  int32_t include_time = 0;
  int32_t use_html_titles_for_links = 0;
  int32_t xml_compliant = 0;
  int32_t insert_commas = 0;
  RecursionMode recursion_mode = RecursionMode::kAllInOneFile;
  // The selected list entry plus one. A list always has an entry selected,
  // so a count outside 1 to 20 reads as the nearest of them.
  int32_t folder_columns = 1;
  int32_t file_columns = 1;
  int active_page = 0;  // the page now shown

  // The same values by control. Each accessor serves the controls of its
  // kind; asked about another control, a getter gives an empty or cleared
  // value and a setter changes nothing.
  const std::string& Text(ControlId id) const;  // edit boxes
  void SetText(ControlId id, const std::string& text);
  // Check boxes, and radios: a radio is checked when its recursion mode is
  // chosen. Checking a radio chooses it; clearing one changes nothing, as
  // one of the group stays chosen.
  bool Checked(ControlId id) const;
  void SetChecked(ControlId id, bool checked);
  // Lists: the selected entry, 0 to 19; setting an entry outside them
  // selects the nearest.
  int32_t Selection(ControlId id) const;
  void SetSelection(ControlId id, int32_t entry);
};

}  // namespace vellora

#endif  // VELLORA_SETTINGS_CONTROLS_H_
