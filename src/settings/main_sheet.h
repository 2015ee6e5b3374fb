// The main sheet as the holder of the stored settings: the build settings,
// the frame template names, the default words, the page to open on and the
// configuration paths, with the configuration file reader and writer and the
// exchange that fills a build's settings. The window side comes on top of it.
#ifndef VELLORA_APP_MAIN_SHEET_H_
#define VELLORA_APP_MAIN_SHEET_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/build_settings.h"
#include "settings/controls.h"
#include "settings/options.h"

namespace vellora {

class Env;

// The sheet's name-and-version caption.
extern const char kSheetCaption[];
// The one section of a configuration file.
extern const char kConfigSection[];
// The default configuration file, in the program's folder.
extern const char kDefaultConfigName[];

// The recursive build options dialog, as the exchange from the controls
// shows it: seeded with `settings` (its recursion fields, the title and the
// output file name, as just taken from the controls), it stores the user's
// choices of link_folders_to_output_name, multi_recurse_skip_root and
// multi_recurse_title there and returns true, or returns false when the
// user cancels.
using RecursiveBuildOptionsDialog = std::function<bool(CBuildSettings* settings)>;

class CMainSheet {
 public:
  // Longest values the reader takes, and the longest text the writer takes
  // from an edit box.
  static constexpr size_t kLongValue = vellora::kLongValue;
  static constexpr size_t kShortValue = vellora::kShortValue;

  // Sets the stored values to their defaults, takes the pages' background
  // bitmap name from "vellora.ini" in the current folder and the program's
  // folder from the system. `env` must outlive the sheet.
  explicit CMainSheet(Env* env);
  CMainSheet(const CMainSheet&) = delete;
  CMainSheet& operator=(const CMainSheet&) = delete;

  // Fills `target` for a build. Mode 1 copies the stored settings (batch
  // mode); mode 0 reads the pages' controls, which this form does not have,
  // so it abandons the build. Returns 1 when `target` is ready for a build,
  // 0 when the build is abandoned.
  int Exchange(int mode, CBuildSettings* target);
  // The same with the controls' values. Mode 0 (the Build command, whose
  // target is `settings`) takes every option a control shows from
  // `controls`; the options no control shows (sort options, page titles,
  // skip-root and the like) keep their stored values. When the recursion box
  // is ticked and one page per folder chosen, `dialog` runs after output
  // file, title, non_functional_links, the recursion choices and
  // show_folder_names have been taken; when it is cancelled the exchange
  // returns 0 at once and the remaining fields are left as they were.
  // Without a dialog the stored recursion choices stand. Mode 1 ignores
  // `controls`.
  int Exchange(int mode, CBuildSettings* target, const CControlValues& controls,
               const RecursiveBuildOptionsDialog& dialog = nullptr);

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

  // The control values a page refresh sets from the stored values: the
  // radios by the rule that framed site wins over one page per folder, a
  // column count outside 1 to 20 as the nearest of them.
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
