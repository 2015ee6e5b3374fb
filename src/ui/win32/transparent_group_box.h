// A group box drawn by the program over the tiled background: an etched
// frame with a gap for the caption, no face of its own, and no clicks.
#ifndef VELLORA_UI_WIN32_TRANSPARENT_GROUP_BOX_H_
#define VELLORA_UI_WIN32_TRANSPARENT_GROUP_BOX_H_

#include <windows.h>

namespace vellora {

class CTransparentGroupBox {
 public:
  // Takes over the dialog's group box `item`: disabled and no longer drawn
  // by the system; the object is deleted with the window. False when the
  // item does not exist.
  static bool Attach(HWND dialog, int item);
};

}  // namespace vellora

#endif  // VELLORA_UI_WIN32_TRANSPARENT_GROUP_BOX_H_
