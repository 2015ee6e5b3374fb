// The progress window's bar: a window class of its own that fills the part
// done with the colour bands of the core's band function, leaves the rest in
// the button-face colour and writes the percentage on it. It answers the
// common progress bar's PBM_SETRANGE32, PBM_SETPOS, PBM_GETPOS and
// WM_SETFONT. Setting the position clamps it between the bounds; setting
// the bounds leaves it where it was, and a position outside the bounds
// fills nothing.
#ifndef VELLORA_UI_WIN32_PROGRESS_BAR_H_
#define VELLORA_UI_WIN32_PROGRESS_BAR_H_

#include <windows.h>

namespace vellora {

// The class name the progress window's template uses.
constexpr wchar_t kProgressBarClass[] = L"VelloraProgressBar";

// Registers the class once per process; true when it is registered.
bool RegisterProgressBarClass();

}  // namespace vellora

#endif  // VELLORA_UI_WIN32_PROGRESS_BAR_H_
