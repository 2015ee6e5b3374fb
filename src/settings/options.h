// The options of the configuration file, one row each. The row says how the
// reader reads the option, where its value lives, where the writer puts it
// and from what, and which page control shows it; the reader, the writer,
// both exchanges and the page refresh of the main sheet all run over this
// table, so an option is added by adding its row.
#ifndef VELLORA_SETTINGS_OPTIONS_H_
#define VELLORA_SETTINGS_OPTIONS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/build_settings.h"
#include "settings/controls.h"

namespace vellora {

class CMainSheet;

// How a value is read and written.
enum class OptionForm {
  kFlag,           // "TRUE" gives 1, any other value 0; written TRUE or FALSE
  kTimeFlag,       // a flag that reads as 1 only when include_date has read as 1
  kRecursionLink,  // multi_recurse_link: a flag that a TRUE recursive_build_single_file
                   // clears; written TRUE unless all links in one file is chosen
  kText,           // taken unchanged
  kTextNotEmpty,   // an empty value reads as the default, as a missing key
  kBitmapName,     // a default word that also names the pages' background bitmap
  kColumns,        // a column count: the leading decimal number, raised to 1; shown on a list
  kPage,           // the page to open on: the leading decimal number (0 without one);
                   // the writer takes the page now shown
  kTitleMode,      // multi_recurse_title: QUALIFIED, DEFAULT or another word
  kSortCode,       // sort_key and sort_order as two characters
};

// The forms held in a text (the others in a number).
bool IsTextForm(OptionForm form);

// Where the writer takes a value from.
enum class WriteSource {
  kStored,       // the sheet's stored values
  kControl,      // the control's value; an edit box gives at most 498 characters
  kControlKept,  // the control's value, first stored in the sheet, then written from there
};

// Where an option's value lives: a field of the build settings, one of the
// default words, or a value the sheet keeps beside them.
class COptionField {
 public:
  enum class Owner { kSettings, kDefaultWords, kSheet };

  COptionField(int32_t CBuildSettings::*number) : owner_(Owner::kSettings), number_(number) {}
  COptionField(std::string CBuildSettings::*text) : owner_(Owner::kSettings), text_(text) {}
  COptionField(std::string CDefaultWords::*word) : owner_(Owner::kDefaultWords), word_(word) {}
  COptionField(int CMainSheet::*number) : owner_(Owner::kSheet), sheet_number_(number) {}
  COptionField(std::string CMainSheet::*text) : owner_(Owner::kSheet), sheet_text_(text) {}

  Owner owner() const { return owner_; }

  // The value in `sheet`, a field of the build settings being taken from
  // `settings` (the sheet's own when null); null when the value is not a
  // number, or not a text.
  int32_t* Number(CMainSheet* sheet, CBuildSettings* settings = nullptr) const;
  std::string* Text(CMainSheet* sheet, CBuildSettings* settings = nullptr) const;
  const int32_t* Number(const CMainSheet& sheet) const;
  const std::string* Text(const CMainSheet& sheet) const;
  // The field in a build settings record; null for the other owners.
  int32_t* Number(CBuildSettings* settings) const;
  std::string* Text(CBuildSettings* settings) const;

 private:
  Owner owner_;
  int32_t CBuildSettings::*number_ = nullptr;
  std::string CBuildSettings::*text_ = nullptr;
  std::string CDefaultWords::*word_ = nullptr;
  int CMainSheet::*sheet_number_ = nullptr;
  std::string CMainSheet::*sheet_text_ = nullptr;
};

struct COption {
  const char* key;
  OptionForm form;
  const char* default_value;  // what a missing key reads as
  size_t longest;             // the reader cuts longer values to this many bytes
  COptionField field;         // kSortCode: sort_key, with sort_order beside it
  int write_position;         // 0 for the first key the writer writes
  WriteSource source;
  ControlId control;  // the page control that shows the value; kNone for stored-only options
  // The exchange from the controls takes it before the recursive build
  // options dialog, so that a cancelled dialog leaves it taken.
  bool before_recursion_dialog;
};

// The longest values the reader takes.
constexpr size_t kLongValue = 998;
constexpr size_t kShortValue = 498;

// Every option, in the order in which the reader asks for them.
const std::vector<COption>& Options();
// The same options in the order of the writer.
const std::vector<const COption*>& OptionsInWriteOrder();
// The option of `key` (exact spelling), or null.
const COption* FindOption(const std::string& key);
// The option a control shows, or null (the all-links-in-one-file radio,
// which stands for both recursion flags being clear).
const COption* OptionShownBy(ControlId control);

// The key the reader honours inside multi_recurse_link but never writes.
extern const char kSingleFileKey[];

}  // namespace vellora

#endif  // VELLORA_SETTINGS_OPTIONS_H_
