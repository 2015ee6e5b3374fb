#include "ui/win32/transparent_group_box.h"

#include <string>

namespace vellora {

namespace {

const wchar_t kProcProperty[] = L"vellora.group_box";

// Draws the lines of a rectangle's outline in `color`, the top line broken
// from `gap_from` to `gap_to`.
void Outline(HDC dc, const RECT& r, COLORREF color, LONG gap_from, LONG gap_to) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, gap_from - 1, r.top, nullptr);
  LineTo(dc, r.left, r.top);
  LineTo(dc, r.left, r.bottom);
  LineTo(dc, r.right, r.bottom);
  LineTo(dc, r.right, r.top);
  LineTo(dc, gap_to - 1, r.top);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void Paint(HWND box) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(box, &paint);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(GetParent(box), WM_GETFONT, 0, 0));
  HGDIOBJ old_font = font != nullptr ? SelectObject(dc, font) : nullptr;

  const int length = GetWindowTextLengthW(box);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(box, &text[0], length + 1);
  text.resize(static_cast<size_t>(length));
  const std::wstring caption = L" " + text + L" ";
  SIZE extent = {0, 0};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);

  // The client rectangle already leaves out any extended edges.
  RECT frame;
  GetClientRect(box, &frame);
  frame.top += extent.cy / 2;
  const LONG style = GetWindowLongW(box, GWL_STYLE);
  LONG caption_left = frame.left + 10;
  if ((style & BS_CENTER) == BS_RIGHT) {
    caption_left = frame.right - 10 - extent.cx;
  } else if ((style & BS_CENTER) == BS_CENTER) {
    caption_left = (frame.left + frame.right - extent.cx) / 2;
  }
  const LONG caption_right = caption_left + extent.cx;

  // Etched: the dark line outside, the light line one pixel inside and
  // below it; flat group boxes have a black outer line.
  RECT outer = {frame.left, frame.top, frame.right - 2, frame.bottom - 2};
  RECT inner = {frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1};
  Outline(dc, outer, (style & BS_FLAT) != 0 ? RGB(0, 0, 0) : GetSysColor(COLOR_BTNSHADOW),
          caption_left, caption_right);
  Outline(dc, inner, GetSysColor(COLOR_BTNHIGHLIGHT), caption_left, caption_right);

  if (!text.empty()) {
    RECT place = {caption_left, frame.top - extent.cy / 2, caption_right,
                  frame.top - extent.cy / 2 + extent.cy};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &place,
              DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
  }
  if (old_font != nullptr) SelectObject(dc, old_font);
  EndPaint(box, &paint);
}

LRESULT CALLBACK Proc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  auto old_proc = reinterpret_cast<WNDPROC>(GetPropW(box, kProcProperty));
  switch (message) {
    case WM_PAINT:
      Paint(box);
      return 0;
    case WM_ERASEBKGND:
      return TRUE;  // no face: the parent's picture shows through
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_GETDLGCODE:
      return DLGC_STATIC;  // never a push button to the dialog
    case WM_SETTEXT:
    case WM_ENABLE: {
      const LRESULT result = CallWindowProcW(old_proc, box, message, wparam, lparam);
      InvalidateRect(box, nullptr, FALSE);
      return result;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_proc));
      RemovePropW(box, kProcProperty);
      return CallWindowProcW(old_proc, box, message, wparam, lparam);
    default:
      return CallWindowProcW(old_proc, box, message, wparam, lparam);
  }
}

}  // namespace

bool CTransparentGroupBox::Attach(HWND dialog, int item) {
  HWND box = GetDlgItem(dialog, item);
  if (box == nullptr) return false;
  if (GetPropW(box, kProcProperty) != nullptr) return true;
  // Disabled, so clicks go to the controls inside it; owner-drawn with no
  // owner drawing, so the system never paints a group box over the tiles.
  const LONG style = GetWindowLongW(box, GWL_STYLE);
  SetWindowLongW(box, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW | WS_DISABLED);
  const LONG_PTR old_proc = GetWindowLongPtrW(box, GWLP_WNDPROC);
  SetPropW(box, kProcProperty, reinterpret_cast<HANDLE>(old_proc));
  SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
  InvalidateRect(box, nullptr, TRUE);
  return true;
}

}  // namespace vellora
