#include "sheet/sheet_keys.h"

namespace vellora {

const SheetKey kSheetKeys[] = {
    {1, true, SheetCommand::kAbout},
    {1, false, SheetCommand::kHelp},
    {3, false, SheetCommand::kBuild},
    {5, false, SheetCommand::kSortOptions},
    {6, false, SheetCommand::kDefaultWords},
    {7, false, SheetCommand::kSaveBatchFile},
    {8, false, SheetCommand::kReadConfiguration},
    {9, false, SheetCommand::kWriteConfiguration},
    {11, false, SheetCommand::kEditCustomHtml},
    {12, false, SheetCommand::kOpenOutputFile},
};
const size_t kSheetKeyCount = sizeof kSheetKeys / sizeof kSheetKeys[0];

const SheetKey* FindSheetKey(int function_key, bool ctrl) {
  for (const SheetKey& key : kSheetKeys) {
    // Only F1 tells Ctrl apart; the other keys act with or without it.
    if (key.function_key == function_key && (function_key != 1 || key.ctrl == ctrl)) return &key;
  }
  return nullptr;
}

}  // namespace vellora
