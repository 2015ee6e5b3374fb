// The settings window on Windows: the system's property sheet with the five
// option pages, a thin view over the sheet's model. The pages show the
// model's controls; every command reads the pages back into the model
// first and shows the model's values again afterwards.
#ifndef VELLORA_UI_WIN32_WIN32_SHEET_H_
#define VELLORA_UI_WIN32_WIN32_SHEET_H_

#include <windows.h>

#include <functional>

namespace vellora {

class Env;

// Called once the sheet has opened and shown its values, with the sheet's
// window (tests drive the sheet from here, e.g. through a timer).
using SheetOpenedHook = std::function<void(HWND sheet)>;

// Shows the sheet modally until Exit (button, Esc or close box), which
// writes the default configuration file. Returns 0, or -1 when the window
// could not be shown (no display).
int RunWin32Sheet(Env* env, const SheetOpenedHook& opened = nullptr);

}  // namespace vellora

#endif  // VELLORA_UI_WIN32_WIN32_SHEET_H_
