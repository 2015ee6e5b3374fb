// A push button drawn by the program: an icon beside its caption, a raised
// or flat look, optionally the painted window behind it as its face, and
// (when flat) a border and the "in" icon while the mouse is over it.
#ifndef VELLORA_UI_WIN32_ICON_BUTTON_H_
#define VELLORA_UI_WIN32_ICON_BUTTON_H_

#include <windows.h>

#include <string>

namespace vellora {

class CIconButton {
 public:
  // Takes over the dialog's push button `item` (made owner-drawn; it
  // remembers whether it was the default button). The object belongs to the
  // window and is deleted with it. Null when the item does not exist.
  static CIconButton* Attach(HWND dialog, int item);
  // The button object of a window, or null.
  static CIconButton* FromWindow(HWND button);
  // The parent's WM_DRAWITEM: draws the button when it is one of these.
  // Returns true when it was.
  static bool RelayDrawItem(LPARAM draw_item);

  // The "in" icon (hovered or pressed) and the "out" icon (otherwise; 0:
  // the "in" icon always), icon resource ids of the program; 0 for none.
  // Icons are the system's large size, or its small size on a button too
  // low for the large one.
  void SetIcon(int in_icon, int out_icon = 0);
  void SetFlat(bool flat, bool repaint = true);
  // Paints the parent's picture under the button as its face; it is
  // captured again at the next draw.
  void DrawTransparent(bool repaint = true);

  HWND window() const { return window_; }
  bool flat() const { return flat_; }
  bool mouse_over() const { return mouse_over_; }

 private:
  explicit CIconButton(HWND window);
  ~CIconButton();
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void Draw(const DRAWITEMSTRUCT& item);
  void DrawIcon(HDC dc, const RECT& area, bool pressed, bool disabled, bool has_caption,
                RECT* caption_area) const;
  void DrawCaption(HDC dc, RECT area, const std::wstring& caption, bool pressed,
                   bool disabled) const;
  // Copies the parent's pixels under the button, once per switch-on.
  void CaptureBackground(HDC dc);
  void FreeIcons();
  void FreeBackground();
  void SetMouseOver(bool over);
  void OnMouseMove(WPARAM keys, LPARAM position);

  HWND window_;
  WNDPROC old_proc_ = nullptr;
  bool flat_ = true;
  bool mouse_over_ = false;
  bool transparent_ = false;
  bool is_default_ = false;
  bool border_when_flat_ = true;
  bool focus_when_flat_ = false;
  HICON in_icon_ = nullptr, out_icon_ = nullptr;
  SIZE in_size_ = {0, 0}, out_size_ = {0, 0};
  HDC background_dc_ = nullptr;
  HBITMAP background_ = nullptr, background_old_ = nullptr;
};

}  // namespace vellora

#endif  // VELLORA_UI_WIN32_ICON_BUTTON_H_
