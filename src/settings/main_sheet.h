// The main sheet as the holder of the stored settings: the build settings,
// the frame template names, the default words, the page to open on and the
// configuration paths, with the configuration file reader and writer and the
// exchange that fills a build's settings. The window side comes on top of it.
#ifndef VELLORA_APP_MAIN_SHEET_H_
#define VELLORA_APP_MAIN_SHEET_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/build_settings.h"

namespace vellora {

class Env;

// The sheet's name-and-version caption.
extern const char kSheetCaption[];
// The one section of a configuration file.
extern const char kConfigSection[];
// The default configuration file, in the program's folder.
extern const char kDefaultConfigName[];

// The three choices of the recursion radios.
enum class RecursionMode { kAllInOneFile, kOnePagePerFolder, kFramedSite };

// What the pages' controls hold: the values the configuration writer takes
// from the controls rather than from the stored settings. Flags are 0 or 1.
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
  int32_t folder_columns = 1;  // selected list entry plus one
  int32_t file_columns = 1;
  int active_page = 0;  // the page now shown
};

class CMainSheet {
 public:
  // Longest values the reader takes, and the longest text the writer takes
  // from an edit box.
  static constexpr size_t kLongValue = 998;
  static constexpr size_t kShortValue = 498;

  // Sets the stored values to their defaults, takes the pages' background
  // bitmap name from "vellora.ini" in the current folder and the program's
  // folder from the system. `env` must outlive the sheet.
  explicit CMainSheet(Env* env);
  CMainSheet(const CMainSheet&) = delete;
  CMainSheet& operator=(const CMainSheet&) = delete;

  // Fills `target` for a build. Mode 1 copies the stored settings (batch
  // mode); mode 0 reads the pages' controls and needs the user interface,
  // so without one it abandons the build. Returns 1 when `target` is ready
  // for a build, 0 when the build is abandoned.
  int Exchange(int mode, CBuildSettings* target);

  // Reads a configuration file into the stored values; every missing key
  // (all of them when the file cannot be read) takes its default. A name
  // without a separator is read from the program's folder. Returns whether
  // the file could be read; the values are filled either way.
  bool ReadConfiguration(const std::string& name);

  // Writes the configuration file `full_name` from `controls` and the stored
  // values, then sets the caption to name the file and records the active
  // page. Other keys, sections and comments of an existing file are kept.
  // Returns whether the file was written; a file that exists but cannot be
  // read is left alone.
  bool WriteConfiguration(const std::string& full_name, const CControlValues& controls);
  // The same with the controls showing the stored values.
  bool WriteConfiguration(const std::string& full_name);

  // The control values a page refresh would set from the stored values.
  CControlValues StoredControlValues() const;

  // The file a configuration name stands for.
  std::string ResolveConfigName(const std::string& name) const;

  Env* env() const { return env_; }

  CBuildSettings settings;
  std::string left_frame_file;
  std::string right_frame_file;
  std::string frameset_file;
  CDefaultWords default_words;
  std::string background_bitmap;  // the name the pages were built with
  int active_page = 0;
  std::string program_folder;  // with a trailing separator
  std::string default_config_path;
  std::string config_path;
  std::string last_config_folder;
  std::string last_config_name = "custom.ini";
  std::string batch_file_name = "bld_html.bat";
  std::string caption;  // the window title
  // One line for each flag of the last read configuration file that holds a
  // value meant as TRUE ("1", "yes", "true") but read as FALSE.
  std::vector<std::string> config_warnings;

 private:
  Env* env_;
};

}  // namespace vellora

#endif  // VELLORA_APP_MAIN_SHEET_H_
