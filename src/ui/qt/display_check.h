// Whether the window program has a display to open on, asked without the
// toolkit: the toolkit ends the process when its display cannot be reached.
#ifndef VELLORA_UI_QT_DISPLAY_CHECK_H_
#define VELLORA_UI_QT_DISPLAY_CHECK_H_

namespace vellora {

// True when QT_QPA_PLATFORM names a platform without a display server
// (offscreen, minimal, ...), or when the server that WAYLAND_DISPLAY or
// DISPLAY names accepts a connection. A DISPLAY on another host is taken on
// trust.
bool DisplayReachable();

}  // namespace vellora

#endif  // VELLORA_UI_QT_DISPLAY_CHECK_H_
