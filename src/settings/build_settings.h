// Every option of one build, and the default words the pages are written with.
#ifndef VELLORA_APP_BUILD_SETTINGS_H_
#define VELLORA_APP_BUILD_SETTINGS_H_

#include <cstdint>
#include <string>

#include "custom/custom_html.h"

namespace vellora {

// The texts a page uses where the custom HTML file gives none, in the order
// of the default-words dialog, then the background bitmap name. Owned by the
// main sheet; build settings only point at it.
struct CDefaultWords {
  std::string folder_word;
  std::string filename_word;
  std::string size_word;
  std::string date_word;
  std::string anchor_word;
  std::string parent_word;
  std::string summary_files_word;
  std::string summary_folders_word;
  std::string summary_size_word;
  std::string folder_sort_word;
  std::string background_bitmap;
};

// Flags hold 0 or 1; any non-zero value counts as on.
class CBuildSettings {
 public:
  CBuildSettings() = default;
  CBuildSettings(const CBuildSettings&) = delete;
  CBuildSettings& operator=(const CBuildSettings&) = delete;

  // Values of sort_key.
  static constexpr int32_t kSortByName = 0;
  static constexpr int32_t kSortBySize = 1;
  static constexpr int32_t kSortByType = 2;  // the extension
  static constexpr int32_t kSortByDate = 3;
  // Values of sort_order.
  static constexpr int32_t kSortAscending = 0;
  static constexpr int32_t kSortDescending = 1;
  static constexpr int32_t kSortUnsorted = 2;
  // Values of multi_recurse_title: the title of each page of a per-folder build.
  static constexpr int32_t kTitleFullPath = 0;    // the folder's full path name
  static constexpr int32_t kTitleDefault = 1;     // `title` on every page
  static constexpr int32_t kTitleFolderName = 2;  // the folder's name

  std::string path;
  std::string file_spec = "*.*";
  std::string output_filename = "index.html";
  std::string title;
  std::string custom_html_filename;
  std::string skip_files;
  std::string skip_folders;
  const CDefaultWords* default_words = nullptr;  // set by every exchange
  int32_t file_columns = 2;
  int32_t folder_columns = 4;
  int32_t href20 = 1;
  int32_t full_pathname_links = 0;
  int32_t supress_headers = 0;
  int32_t euro_date_style = 0;
  int32_t include_subfolders = 1;
  int32_t include_summary = 0;
  int32_t column_wise_sort = 1;
  int32_t include_filesize = 1;
  int32_t include_date = 1;
  int32_t include_time = 0;
  int32_t supress_parent_link = 1;
  int32_t suppress_extensions = 0;
  int32_t sizes_by_k = 1;
  int32_t reload_custom_html = 1;
  int32_t suppress_visible_links = 0;
  int32_t replace_iso_chars = 0;
  int32_t build_framed_site = 0;
  int32_t folder_anchors = 0;
  int32_t use_html_titles_for_links = 0;
  int32_t xml_compliant = 0;
  int32_t insert_commas = 1;
  int32_t non_functional_links = 0;
  int32_t recursive_build = 0;
  int32_t multi_recurse_link = 0;
  int32_t show_folder_names = 0;
  int32_t multi_recurse_skip_root = 0;
  int32_t link_folders_to_output_name = 1;
  int32_t framed_right_pass = 0;
  int32_t multi_recurse_title = kTitleDefault;
  int32_t sort_key = kSortByName;
  int32_t sort_order = kSortAscending;
  int32_t sort_folders_first = 1;
  // Recursive builds enter folder links that lead out of the tree.
  int32_t follow_outside_links = 0;
  // The language of the pages, written on their html element when not empty.
  std::string html_lang;
  // Sizes in binary units for people ("human") and ISO dates ("iso"); any
  // other value keeps the pages' bytes, kilobytes and short dates.
  std::string size_style;
  std::string date_style;
  // Names compare runs of digits by their value (IMG_2 before IMG_10).
  int32_t natural_sort = 0;
  // Names of readme files, ';' between them: the first one a folder holds is
  // shown above its file table. Empty: none.
  std::string readme_names;
  // Beside every page, a manifest of what it lists ("json"); empty: none.
  std::string manifest;
  // The manifest carries each file's SHA-256.
  int32_t manifest_checksums = 0;
  CCustomHtml custom_html;
  std::string root_folder;
};

// The two-character sort code of the configuration file ("N+", "D-", ...).
std::string SortTypeCode(int32_t sort_key, int32_t sort_order);
// Reads a sort code: key letter D, E or S, else name; order '-' or '=', else
// ascending.
void ParseSortType(const std::string& code, int32_t* sort_key, int32_t* sort_order);

// The word of the configuration file for a multi_recurse_title value.
const char* TitleModeWord(int32_t multi_recurse_title);
// "QUALIFIED" gives the full path, "DEFAULT" the title, any other word the
// folder's name.
int32_t ParseTitleMode(const std::string& word);

}  // namespace vellora

#endif  // VELLORA_APP_BUILD_SETTINGS_H_
