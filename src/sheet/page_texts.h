// The texts of the option pages: tab titles, the label and tooltip of every
// value-holding control, and the command buttons with what they run. Both
// windows and their tests read these tables, so a text is fixed once (the
// Windows pages take their labels from their templates).
#ifndef VELLORA_SHEET_PAGE_TEXTS_H_
#define VELLORA_SHEET_PAGE_TEXTS_H_

#include <cstddef>

#include "settings/controls.h"
#include "sheet/sheet_keys.h"

namespace vellora {

extern const char* const kPageTitles[5];
extern const char kBuildButtonText[];
extern const char kExitButtonText[];
extern const char kRecursionGroupTitle[];

// A value-holding control. Edit boxes show `label` beside them (a chooser
// button's text when `chooser` is set); check boxes and radios carry it.
enum class Chooser { kNone, kFolder, kOutputFile, kCustomFile, kSkipFolder };
struct CControlText {
  ControlId id;
  const char* label;
  const char* tooltip;
  Chooser chooser;
  const char* button_tooltip;  // the chooser button's own tooltip
};
// In ControlId order, one row each.
extern const CControlText kControlTexts[kControlCount];

// A command button of the recursion, input/output and help pages.
struct CButtonText {
  int page;
  const char* label;
  const char* tooltip;
  SheetCommand command;
};
extern const CButtonText kButtonTexts[];
extern const size_t kButtonCount;

}  // namespace vellora

#endif  // VELLORA_SHEET_PAGE_TEXTS_H_
