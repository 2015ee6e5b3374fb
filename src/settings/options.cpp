#include "settings/options.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "settings/main_sheet.h"

namespace vellora {

static_assert(std::is_same<int, int32_t>::value, "the sheet's numbers are 32-bit");

const char kSingleFileKey[] = "recursive_build_single_file";

bool IsTextForm(OptionForm form) {
  return form == OptionForm::kText || form == OptionForm::kTextNotEmpty ||
         form == OptionForm::kBitmapName;
}

int32_t* COptionField::Number(CMainSheet* sheet, CBuildSettings* settings) const {
  if (owner_ == Owner::kSheet) return sheet_number_ ? &(sheet->*sheet_number_) : nullptr;
  return Number(settings != nullptr ? settings : &sheet->settings);
}

std::string* COptionField::Text(CMainSheet* sheet, CBuildSettings* settings) const {
  if (owner_ == Owner::kSheet) return sheet_text_ ? &(sheet->*sheet_text_) : nullptr;
  if (owner_ == Owner::kDefaultWords) return &(sheet->default_words.*word_);
  return Text(settings != nullptr ? settings : &sheet->settings);
}

const int32_t* COptionField::Number(const CMainSheet& sheet) const {
  return Number(const_cast<CMainSheet*>(&sheet));
}

const std::string* COptionField::Text(const CMainSheet& sheet) const {
  return Text(const_cast<CMainSheet*>(&sheet));
}

int32_t* COptionField::Number(CBuildSettings* settings) const {
  return owner_ == Owner::kSettings && number_ ? &(settings->*number_) : nullptr;
}

std::string* COptionField::Text(CBuildSettings* settings) const {
  return owner_ == Owner::kSettings && text_ ? &(settings->*text_) : nullptr;
}

const std::vector<COption>& Options() {
  const OptionForm kFlag = OptionForm::kFlag, kTimeFlag = OptionForm::kTimeFlag,
                   kLinkFlag = OptionForm::kRecursionLink, kText = OptionForm::kText,
                   kTextSet = OptionForm::kTextNotEmpty, kBitmap = OptionForm::kBitmapName,
                   kColumns = OptionForm::kColumns, kPage = OptionForm::kPage,
                   kTitle = OptionForm::kTitleMode, kSort = OptionForm::kSortCode;
  const WriteSource kStored = WriteSource::kStored, kControl = WriteSource::kControl,
                    kKept = WriteSource::kControlKept;
  using I = ControlId;
  using S = CBuildSettings;
  using D = CDefaultWords;
  using M = CMainSheet;
  const size_t kLong = kLongValue;
  const size_t kShort = kShortValue;
  const bool kFirst = true, kLater = false;
  // key, form, value of a missing key, longest value read, where it lives,
  // position in the writer's order, what the writer takes, the control that
  // shows it, taken before the recursive build options dialog.
  // clang-format off
  static const std::vector<COption> options = {
      {"left_frame_file",           kText,     "left_frame.txt",    kLong,  &M::left_frame_file,           1,  kStored,  I::kNone,                  kLater},
      {"right_frame_file",          kText,     "right_frame.txt",   kLong,  &M::right_frame_file,          2,  kStored,  I::kNone,                  kLater},
      {"frameset_file",             kText,     "frameset.txt",      kLong,  &M::frameset_file,             3,  kStored,  I::kNone,                  kLater},
      {"skip_files",                kText,     "",                  kLong,  &S::skip_files,                15, kKept,    I::kSkipFiles,             kLater},
      {"sizes_by_k",                kFlag,     "FALSE",             kLong,  &S::sizes_by_k,                5,  kControl, I::kSizesByK,              kLater},
      {"folder_anchors",            kFlag,     "TRUE",              kLong,  &S::folder_anchors,            11, kControl, I::kFolderAnchors,         kLater},
      {"column_wise_sort",          kFlag,     "TRUE",              kLong,  &S::column_wise_sort,          6,  kStored,  I::kNone,                  kLater},
      {"multi_recurse_title",       kTitle,    "FOLDER",            kLong,  &S::multi_recurse_title,       0,  kStored,  I::kNone,                  kLater},
      {"show_folder_names",         kFlag,     "FALSE",             kLong,  &S::show_folder_names,         7,  kControl, I::kShowFolderNames,       kFirst},
      {"suppress_visible_links",    kFlag,     "FALSE",             kLong,  &S::suppress_visible_links,    30, kControl, I::kSuppressVisibleLinks,  kLater},
      {"multi_recurse_link",        kLinkFlag, "TRUE",              kLong,  &S::multi_recurse_link,        8,  kControl, I::kOnePagePerFolder,      kFirst},
      {"multi_recurse_skip_root",   kFlag,     "FALSE",             kLong,  &S::multi_recurse_skip_root,   9,  kStored,  I::kNone,                  kLater},
      {"recursive_build",           kFlag,     "FALSE",             kLong,  &S::recursive_build,           10, kControl, I::kRecursiveBuild,        kFirst},
      {"sort_folders_first",        kFlag,     "FALSE",             kLong,  &S::sort_folders_first,        33, kStored,  I::kNone,                  kLater},
      {"folder_columns",            kColumns,  "1",                 kLong,  &S::folder_columns,            13, kControl, I::kFolderColumns,         kLater},
      {"file_columns",              kColumns,  "1",                 kLong,  &S::file_columns,              14, kControl, I::kFileColumns,           kLater},
      {"sort_type",                 kSort,     "N+",                kLong,  &S::sort_key,                  32, kStored,  I::kNone,                  kLater},
      {"file_spec",                 kText,     "*.*",               kLong,  &S::file_spec,                 16, kControl, I::kFileSpec,              kLater},
      {"output_filename",           kTextSet,  "index.html",        kLong,  &S::output_filename,           17, kControl, I::kOutputFilename,        kFirst},
      {"title",                     kTextSet,  "文件列表",          kLong,  &S::title,                     18, kControl, I::kTitle,                 kFirst},
      {"href20",                    kFlag,     "TRUE",              kLong,  &S::href20,                    20, kControl, I::kHref20,                kLater},
      {"path",                      kText,     "",                  kLong,  &S::path,                      12, kControl, I::kPath,                  kLater},
      {"include_filesize",          kFlag,     "TRUE",              kLong,  &S::include_filesize,          21, kControl, I::kIncludeFilesize,       kLater},
      {"include_subfolders",        kFlag,     "TRUE",              kLong,  &S::include_subfolders,        22, kControl, I::kIncludeSubfolders,     kLater},
      {"include_date",              kFlag,     "TRUE",              kLong,  &S::include_date,              23, kControl, I::kIncludeDate,           kLater},
      {"include_summary",           kFlag,     "FALSE",             kLong,  &S::include_summary,           24, kControl, I::kIncludeSummary,        kLater},
      {"supress_headers",           kFlag,     "FALSE",             kLong,  &S::supress_headers,           25, kControl, I::kSupressHeaders,        kLater},
      {"supress_parent_link",       kFlag,     "FALSE",             kLong,  &S::supress_parent_link,       26, kControl, I::kSupressParentLink,     kLater},
      {"euro_date_style",           kFlag,     "FALSE",             kLong,  &S::euro_date_style,           27, kControl, I::kEuroDateStyle,         kLater},
      {"suppress_extensions",       kFlag,     "FALSE",             kLong,  &S::suppress_extensions,       28, kControl, I::kSuppressExtensions,    kLater},
      {"full_pathname_links",       kFlag,     "FALSE",             kLong,  &S::full_pathname_links,       29, kControl, I::kFullPathnameLinks,     kLater},
      {"replace_iso_chars",         kFlag,     "TRUE",              kLong,  &S::replace_iso_chars,         31, kControl, I::kReplaceIsoChars,       kLater},
      {"custom_html_filename",      kText,     "fancy_table.txt",   kLong,  &S::custom_html_filename,      19, kControl, I::kCustomHtmlFilename,    kLater},
      {"build_framed_site",         kFlag,     "FALSE",             kLong,  &S::build_framed_site,         34, kControl, I::kFramedSite,            kLater},
      {"folder_word",               kText,     "<b>文件夹</b>",     kShort, &D::folder_word,               35, kStored,  I::kNone,                  kLater},
      {"filename_word",             kText,     "<b>文件名称</b>",   kShort, &D::filename_word,             36, kStored,  I::kNone,                  kLater},
      {"size_word",                 kText,     "<b>大小</b>",       kShort, &D::size_word,                 37, kStored,  I::kNone,                  kLater},
      {"date_word",                 kText,     "<b>日期</b>",       kShort, &D::date_word,                 38, kStored,  I::kNone,                  kLater},
      {"anchor_word",               kText,     "<b>文件夹锚点</b>", kShort, &D::anchor_word,               39, kStored,  I::kNone,                  kLater},
      {"parent_word",               kText,     "{parent folder}",   kShort, &D::parent_word,               40, kStored,  I::kNone,                  kLater},
      {"background_bitmap",         kBitmap,   "green_marble.bmp",  kShort, &D::background_bitmap,         41, kStored,  I::kNone,                  kLater},
      {"summary_files_word",        kText,     "合计文件:",         kShort, &D::summary_files_word,        42, kStored,  I::kNone,                  kLater},
      {"summary_folders_word",      kText,     "合计文件夹:",       kShort, &D::summary_folders_word,      43, kStored,  I::kNone,                  kLater},
      {"summary_size_word",         kText,     "所有文件的大小:",   kShort, &D::summary_size_word,         44, kStored,  I::kNone,                  kLater},
      {"folder_sort_word",          kText,     "文件夹:",           kShort, &D::folder_sort_word,          45, kStored,  I::kNone,                  kLater},
      {"skip_folders",              kText,     "",                  kShort, &S::skip_folders,              48, kControl, I::kSkipFolders,           kLater},
      {"use_html_titles_for_links", kFlag,     "FALSE",             kLong,  &S::use_html_titles_for_links, 47, kControl, I::kUseHtmlTitlesForLinks, kLater},
      {"include_time",              kTimeFlag, "TRUE",              kShort, &S::include_time,              46, kControl, I::kIncludeTime,           kLater},
      {"active_page",               kPage,     "0",                 kShort, &M::active_page,               49, kKept,    I::kNone,                  kLater},
      {"xml_compliant",             kFlag,     "FALSE",             kLong,  &S::xml_compliant,             50, kControl, I::kXmlCompliant,          kLater},
      {"insert_commas",             kFlag,     "TRUE",              kLong,  &S::insert_commas,             51, kControl, I::kInsertCommas,          kLater},
      {"non_functional_links",      kFlag,     "FALSE",             kLong,  &S::non_functional_links,      4,  kControl, I::kNonFunctionalLinks,    kFirst},
      {"follow_outside_links",      kFlag,     "FALSE",             kLong,  &S::follow_outside_links,      52, kStored,  I::kNone,                  kLater},
      {"html_lang",                 kText,     "",                  kShort, &S::html_lang,                 53, kStored,  I::kNone,                  kLater},
      {"size_style",                kText,     "",                  kShort, &S::size_style,                54, kStored,  I::kNone,                  kLater},
      {"date_style",                kText,     "",                  kShort, &S::date_style,                55, kStored,  I::kNone,                  kLater},
      {"natural_sort",              kFlag,     "FALSE",             kLong,  &S::natural_sort,              56, kStored,  I::kNone,                  kLater},
      {"readme_names",              kText,     "",                  kLong,  &S::readme_names,              57, kStored,  I::kNone,                  kLater},
      {"manifest",                  kText,     "",                  kShort, &S::manifest,                  58, kStored,  I::kNone,                  kLater},
      {"manifest_checksums",        kFlag,     "FALSE",             kLong,  &S::manifest_checksums,        59, kStored,  I::kNone,                  kLater},
  };
  // clang-format on
  return options;
}

const std::vector<const COption*>& OptionsInWriteOrder() {
  static const std::vector<const COption*> ordered = [] {
    std::vector<const COption*> list;
    for (const COption& o : Options()) list.push_back(&o);
    std::stable_sort(list.begin(), list.end(), [](const COption* a, const COption* b) {
      return a->write_position < b->write_position;
    });
    return list;
  }();
  return ordered;
}

const COption* FindOption(const std::string& key) {
  for (const COption& o : Options()) {
    if (key == o.key) return &o;
  }
  return nullptr;
}

const COption* OptionShownBy(ControlId control) {
  if (control == ControlId::kNone) return nullptr;
  for (const COption& o : Options()) {
    if (o.control == control) return &o;
  }
  return nullptr;
}

}  // namespace vellora
