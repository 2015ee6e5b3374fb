// What the option dialogs do apart from drawing: how each is seeded, what
// its buttons do and what reaches the sheet on OK. The windows show these
// models and call their operations.
#ifndef VELLORA_SHEET_OPTION_DIALOGS_H_
#define VELLORA_SHEET_OPTION_DIALOGS_H_

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "settings/build_settings.h"

namespace vellora {

class CDesktop;
class Env;

// Captions of the dialogs and windows the sheet opens.
extern const char kSortOptionsCaption[];
extern const char kDefaultWordsCaption[];
extern const char kRecursiveOptionsCaption[];
extern const char kFrameFilesCaption[];
extern const char kMoreOptionsCaption[];
extern const char kFileCreatedCaption[];
extern const char kProgressCaption[];
extern const char kAboutCaption[];
// The About box's build-date line, whatever the executable's date.
extern const char kAboutBuildLine[];

// The distribution terms: a heading, three paragraphs each marked with a
// bullet, and a disclaimer below a line.
extern const char kDistributionTermsCaption[];
extern const char kTermsHeading[];
extern const char* const kTermsParagraphs[3];
extern const char kTermsDisclaimer[];

// Sort options: the radios and boxes of the dialog. Seeded from the
// settings' four values; an order outside 0 to 2 selects no order radio.
class CSortOptionsModel {
 public:
  CSortOptionsModel(int32_t sort_key, int32_t sort_order, int32_t folders_first,
                    int32_t column_wise);
  // On OK: the values the radios and boxes stand for, tested in the
  // dialog's order (name, size, type, else date; ascending, descending,
  // else unsorted).
  int32_t SortKey() const;
  int32_t SortOrder() const;
  // Stores the four values into `settings`.
  void Apply(CBuildSettings* settings) const;

  bool by_name = false, by_size = false, by_type = false, by_date = false;
  bool ascending = false, descending = false, unsorted = false;
  bool folders_first = false;
  bool column_wise = false;
  std::string background_bitmap;
};

// Default words: ten edit boxes in the dialog's order. The sheet's words
// change only on OK.
class CDefaultWordsModel {
 public:
  static constexpr size_t kWords = 10;
  // Dialog labels and words, in the order of the boxes.
  static const char* const kLabels[kWords];

  explicit CDefaultWordsModel(const CDefaultWords& words);
  // Fills the boxes with the default texts (the parent word becomes "..").
  void RestoreDefaults();
  // Copies the boxes (at most 498 bytes each, whole characters when `env`
  // is given) into `words`.
  void Apply(CDefaultWords* words, Env* env) const;

  std::array<std::string, kWords> boxes;
  std::string background_bitmap;
};

// Recursive build options: skip root, link folders to the default output
// name and the page-title mode.
class CRecursiveOptionsModel {
 public:
  explicit CRecursiveOptionsModel(const CBuildSettings& settings);
  // On OK: default title 1, else full path 0, else folder name 2.
  int32_t TitleMode() const;
  void Apply(CBuildSettings* settings) const;

  bool skip_root = false;
  bool link_folders = false;
  bool folder_name_title = false;
  bool full_path_title = false;
  bool default_title = false;
};

// More options: the keys of the configuration file that no page shows, as
// check boxes and two edit boxes. A style key holding a value the pages do
// not know keeps it while its box stays unticked.
class CMoreOptionsModel {
 public:
  enum Flag {
    kHumanSizes,         // size_style "human"
    kIsoDates,           // date_style "iso"
    kNaturalSort,        // natural_sort
    kFollowOutsideLinks, // follow_outside_links
    kManifest,           // manifest "json"
    kManifestChecksums,  // manifest_checksums
    kFlagCount
  };
  enum Box { kReadmeNames, kHtmlLang, kBoxCount };
  // Texts of the check boxes, edit-box labels and group boxes, in enum order.
  static const char* const kFlagLabels[kFlagCount];
  static const char* const kBoxLabels[kBoxCount];
  static const char* const kBoxHints[kBoxCount];
  static const char kPagesGroup[];
  static const char kManifestGroup[];

  explicit CMoreOptionsModel(const CBuildSettings& settings);
  // The checksum box means something only while a manifest is written.
  bool ChecksumsEnabled() const { return flags[kManifest]; }
  // Stores the boxes into `settings`; edit-box texts are cut like the
  // default words (whole characters when `env` is given).
  void Apply(CBuildSettings* settings, Env* env) const;

  std::array<bool, kFlagCount> flags{};
  std::array<std::string, kBoxCount> boxes;
  std::string background_bitmap;

 private:
  std::string size_style_, date_style_, manifest_;
};

// Frame files: the three names and the buttons beside them.
class CFrameFilesModel {
 public:
  enum Row { kFrameset = 0, kLeft = 1, kRight = 2 };
  static const char kFilter[];

  CFrameFilesModel(const std::string& program_folder, const std::string& frameset,
                   const std::string& left, const std::string& right, CDesktop* desktop);
  // A name without a separator lies in the program's folder.
  std::string Resolve(const std::string& name) const;
  // The row's name button: a file chooser on the resolved name; the box
  // gets the bare name for a file of the program's folder, else the path.
  void Choose(Row row);
  // The row's "编辑它" button: the shell opens the resolved name.
  void Edit(Row row);

  std::string program_folder;
  std::array<std::string, 3> boxes;  // by Row

 private:
  CDesktop* desktop_;
};

// The notice after a build.
class CFileCreatedModel {
 public:
  CFileCreatedModel(const std::string& path, int32_t files_written, bool per_folder,
                    CDesktop* desktop);
  // "%d 文件", "s" for more than one, " 已创建".
  std::string CountLine() const;
  // The path (after "根文件:" and two blanks for a per-folder build),
  // shortened in the middle to fit `width` as `measure` measures text.
  std::string PathLine(int width, const std::function<int(const std::string&)>& measure) const;
  // "打开文件(&L)": the shell opens the full path; the dialog stays.
  void OpenFile();

  static constexpr int kPathWidth = 582;
  std::string path;        // as the system names it
  std::string shown_path;  // the same as a text (Env::NameAsText; the constructor copies `path`)
  int32_t files_written;
  bool per_folder;

 private:
  CDesktop* desktop_;
};

}  // namespace vellora

#endif  // VELLORA_SHEET_OPTION_DIALOGS_H_
