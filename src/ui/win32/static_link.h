// A static text made a link: underlined, blue until opened and purple
// after, the hand cursor over it, and a click that hands the target to the
// shell (a beep when that fails).
#ifndef VELLORA_UI_WIN32_STATIC_LINK_H_
#define VELLORA_UI_WIN32_STATIC_LINK_H_

#include <windows.h>

#include <string>

namespace vellora {

class CStaticLink {
 public:
  static constexpr COLORREF kUnvisited = RGB(0, 0, 255);
  static constexpr COLORREF kVisited = RGB(128, 0, 128);

  // Takes over the dialog's static `item`; the object is deleted with the
  // window. An empty target: the string resource of the item's id, else the
  // control's text. Null when the item does not exist.
  static CStaticLink* Attach(HWND dialog, int item, const std::string& target = "");
  static CStaticLink* FromWindow(HWND link);
  // The parent's WM_CTLCOLORSTATIC for a link: underlined font, link
  // colour, transparent background. Returns the brush, or null when
  // `control` is not a link (the parent then answers as usual).
  static HBRUSH RelayControlColor(HDC dc, HWND control);

  COLORREF color() const { return color_; }
  void set_target(const std::string& target) { target_ = target; }

 private:
  explicit CStaticLink(HWND window);
  ~CStaticLink();
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void Click();
  // Gives the control an underlined copy of `font` (null: the GUI font).
  void Underline(WPARAM font);

  HWND window_;
  WNDPROC old_proc_ = nullptr;
  std::string target_;
  COLORREF color_ = kUnvisited;
  HFONT underlined_ = nullptr;
};

}  // namespace vellora

#endif  // VELLORA_UI_WIN32_STATIC_LINK_H_
