// The sheet's commands and the function keys that run them: one table that
// every window routes its key-downs through.
#ifndef VELLORA_SHEET_SHEET_KEYS_H_
#define VELLORA_SHEET_SHEET_KEYS_H_

#include <cstddef>

namespace vellora {

enum class SheetCommand {
  kAbout,
  kHelp,
  kBuild,
  kSortOptions,
  kDefaultWords,
  kMoreOptions,  // a page button only: no function key
  kSaveBatchFile,
  kReadConfiguration,
  kWriteConfiguration,
  kEditCustomHtml,
  kOpenOutputFile,
  kChangeBackground,
  kDistributionTerms,
  kExit,
};

struct SheetKey {
  int function_key;  // 1 for F1 ... 12 for F12
  bool ctrl;         // must Ctrl be held (false: must not be)
  SheetCommand command;
};

extern const SheetKey kSheetKeys[];
extern const size_t kSheetKeyCount;

// The command of a function key, or null when the key goes on to the
// normal dialog processing (F2, F4, F10 and the keys not in the table).
const SheetKey* FindSheetKey(int function_key, bool ctrl);

}  // namespace vellora

#endif  // VELLORA_SHEET_SHEET_KEYS_H_
