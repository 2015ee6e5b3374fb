#include "ui/win32/icon_button.h"

#include <commctrl.h>

namespace vellora {

namespace {

const wchar_t kObjectProperty[] = L"vellora.icon_button";

// A one-pixel rectangle outline: `top_left` on the top and left lines,
// `bottom_right` on the others.
void Frame3D(HDC dc, const RECT& r, COLORREF top_left, COLORREF bottom_right) {
  auto fill = [dc](LONG left, LONG top, LONG width, LONG height, COLORREF color) {
    SetBkColor(dc, color);
    const RECT line = {left, top, left + width, top + height};
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &line, nullptr, 0, nullptr);
  };
  const LONG w = r.right - r.left, h = r.bottom - r.top;
  fill(r.left, r.top, w - 1, 1, top_left);
  fill(r.left, r.top, 1, h - 1, top_left);
  fill(r.right - 1, r.top, 1, h, bottom_right);
  fill(r.left, r.bottom - 1, w, 1, bottom_right);
}

HICON LoadButtonIcon(int id, int size, SIZE* icon_size) {
  *icon_size = {0, 0};
  if (id == 0) return nullptr;
  HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                             IMAGE_ICON, size, size, 0));
  ICONINFO info = {};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return icon;
  BITMAP mask = {};
  GetObjectW(info.hbmMask, sizeof mask, &mask);
  // A monochrome icon's mask holds the AND and the XOR halves one above
  // the other.
  *icon_size = {mask.bmWidth, info.hbmColor != nullptr ? mask.bmHeight : mask.bmHeight / 2};
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  return icon;
}

std::wstring WindowTextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(window, &text[0], length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

}  // namespace

CIconButton* CIconButton::Attach(HWND dialog, int item) {
  HWND button = GetDlgItem(dialog, item);
  if (button == nullptr) return nullptr;
  if (CIconButton* existing = FromWindow(button)) return existing;
  return new CIconButton(button);
}

CIconButton* CIconButton::FromWindow(HWND button) {
  return button == nullptr ? nullptr
                           : static_cast<CIconButton*>(GetPropW(button, kObjectProperty));
}

bool CIconButton::RelayDrawItem(LPARAM draw_item) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(draw_item);
  if (item == nullptr || item->CtlType != ODT_BUTTON) return false;
  CIconButton* button = FromWindow(item->hwndItem);
  if (button == nullptr) return false;
  button->Draw(*item);
  return true;
}

CIconButton::CIconButton(HWND window) : window_(window) {
  const LONG style = GetWindowLongW(window_, GWL_STYLE);
  is_default_ = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  SetWindowLongW(window_, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
  SetPropW(window_, kObjectProperty, this);
  old_proc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
  InvalidateRect(window_, nullptr, FALSE);
}

CIconButton::~CIconButton() {
  FreeIcons();
  FreeBackground();
}

void CIconButton::SetIcon(int in_icon, int out_icon) {
  FreeIcons();
  RECT client;
  GetClientRect(window_, &client);
  int size = GetSystemMetrics(SM_CXICON);
  // Room for the raised edges above and below the icon.
  if (client.bottom - 4 < size) size = GetSystemMetrics(SM_CXSMICON);
  in_icon_ = LoadButtonIcon(in_icon, size, &in_size_);
  out_icon_ = LoadButtonIcon(out_icon, size, &out_size_);
  InvalidateRect(window_, nullptr, FALSE);
}

void CIconButton::SetFlat(bool flat, bool repaint) {
  flat_ = flat;
  if (repaint) InvalidateRect(window_, nullptr, FALSE);
}

void CIconButton::DrawTransparent(bool repaint) {
  transparent_ = true;
  FreeBackground();
  if (repaint) InvalidateRect(window_, nullptr, FALSE);
}

void CIconButton::FreeIcons() {
  if (in_icon_ != nullptr) DestroyIcon(in_icon_);
  if (out_icon_ != nullptr) DestroyIcon(out_icon_);
  in_icon_ = out_icon_ = nullptr;
  in_size_ = out_size_ = {0, 0};
}

void CIconButton::FreeBackground() {
  if (background_dc_ != nullptr) {
    SelectObject(background_dc_, background_old_);
    DeleteDC(background_dc_);
  }
  if (background_ != nullptr) DeleteObject(background_);
  background_dc_ = nullptr;
  background_ = nullptr;
  background_old_ = nullptr;
}

void CIconButton::SetMouseOver(bool over) {
  if (mouse_over_ == over) return;
  mouse_over_ = over;
  InvalidateRect(window_, nullptr, FALSE);
}

void CIconButton::OnMouseMove(WPARAM keys, LPARAM position) {
  if (!flat_) return;
  // A press that started elsewhere does not light the button up.
  if ((keys & MK_LBUTTON) != 0 && !mouse_over_) return;
  POINT point = {static_cast<SHORT>(LOWORD(position)), static_cast<SHORT>(HIWORD(position))};
  ClientToScreen(window_, &point);
  if (WindowFromPoint(point) == window_ && GetActiveWindow() != nullptr) {
    if (!mouse_over_) {
      SetMouseOver(true);
      TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window_, 0};
      TrackMouseEvent(&track);
    }
  } else {
    SetMouseOver(false);
  }
}

LRESULT CALLBACK CIconButton::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  CIconButton* button = FromWindow(window);
  if (button == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    const WNDPROC old_proc = button->old_proc_;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_proc));
    RemovePropW(window, kObjectProperty);
    delete button;
    return CallWindowProcW(old_proc, window, message, wparam, lparam);
  }
  return button->OnMessage(message, wparam, lparam);
}

LRESULT CIconButton::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_MOUSEMOVE:
      OnMouseMove(wparam, lparam);
      break;
    case WM_MOUSELEAVE:
    case WM_CANCELMODE:
    case WM_KILLFOCUS:
      SetMouseOver(false);
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) SetMouseOver(false);
      break;
    case WM_LBUTTONDBLCLK:
      // A double click is a second click, not a double-click notice.
      message = WM_LBUTTONDOWN;
      break;
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (is_default_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_ERASEBKGND:
      // Every pixel is drawn by Draw; erasing would also spoil the capture.
      return TRUE;
    case BM_SETSTYLE:
      // The dialog moves the default from button to button this way.
      is_default_ = (wparam & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
      wparam = (wparam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
      break;
    case WM_SYSCOLORCHANGE:
      FreeBackground();
      break;
    default:
      break;
  }
  return CallWindowProcW(old_proc_, window_, message, wparam, lparam);
}

void CIconButton::CaptureBackground(HDC dc) {
  if (background_dc_ != nullptr) return;
  HWND parent = GetParent(window_);
  RECT rect;
  GetClientRect(window_, &rect);
  MapWindowPoints(window_, parent, reinterpret_cast<POINT*>(&rect), 2);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC parent_dc = GetDC(parent);
  background_dc_ = CreateCompatibleDC(dc);
  background_ = CreateCompatibleBitmap(dc, width, height);
  background_old_ = static_cast<HBITMAP>(SelectObject(background_dc_, background_));
  BitBlt(background_dc_, 0, 0, width, height, parent_dc, rect.left, rect.top, SRCCOPY);
  ReleaseDC(parent, parent_dc);
}

void CIconButton::Draw(const DRAWITEMSTRUCT& item) {
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  HDC dc = item.hDC;
  SetBkMode(dc, TRANSPARENT);
  RECT rect = item.rcItem;

  if (!flat_ && (focused || is_default_)) {
    FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&rect, -1, -1);
  }

  if (transparent_) {
    CaptureBackground(dc);
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
           background_dc_, rect.left - item.rcItem.left, rect.top - item.rcItem.top, SRCCOPY);
  } else {
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  }

  if (!pressed) {
    if (!flat_) {
      Frame3D(dc, rect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
      RECT inner = rect;
      InflateRect(&inner, -1, -1);
      Frame3D(dc, inner, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_BTNSHADOW));
    } else if (mouse_over_ && border_when_flat_) {
      Frame3D(dc, rect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    }
  } else if (!flat_) {
    FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNSHADOW));
  } else if (border_when_flat_) {
    Frame3D(dc, rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
  }

  HFONT font = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
  HGDIOBJ old_font = font != nullptr ? SelectObject(dc, font) : nullptr;
  const std::wstring caption = WindowTextOf(window_);
  RECT caption_area = rect;
  DrawIcon(dc, rect, pressed, disabled, !caption.empty(), &caption_area);
  if (!caption.empty()) DrawCaption(dc, caption_area, caption, pressed, disabled);
  if (old_font != nullptr) SelectObject(dc, old_font);

  if (focused && (!flat_ || focus_when_flat_)) {
    RECT focus = rect;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
}

void CIconButton::DrawIcon(HDC dc, const RECT& area, bool pressed, bool disabled,
                           bool has_caption, RECT* caption_area) const {
  const bool in = pressed || mouse_over_ || out_icon_ == nullptr;
  HICON icon = in ? in_icon_ : out_icon_;
  const SIZE size = in ? in_size_ : out_size_;
  if (icon == nullptr) return;
  LONG x = has_caption ? area.left + 3 : (area.left + area.right - size.cx) / 2;
  LONG y = (area.top + area.bottom - size.cy) / 2;
  caption_area->left = area.left + 3 + size.cx + 3;
  if (pressed) {
    ++x;
    ++y;
  }
  if (disabled) {
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, size.cx, size.cy,
               DST_ICON | DSS_DISABLED);
  } else {
    DrawIconEx(dc, x, y, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
  }
}

void CIconButton::DrawCaption(HDC dc, RECT area, const std::wstring& caption, bool pressed,
                              bool disabled) const {
  const int length = static_cast<int>(caption.size());
  RECT measured = area;
  DrawTextW(dc, caption.c_str(), length, &measured, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
  const LONG width = measured.right - measured.left, height = measured.bottom - measured.top;
  RECT place = {area.left + (area.right - area.left - width) / 2,
                area.top + (area.bottom - area.top - height) / 2, 0, 0};
  if (pressed) OffsetRect(&place, 1, 1);
  place.right = place.left + width;
  place.bottom = place.top + height;
  const UINT format = DT_WORDBREAK | DT_CENTER;
  if (disabled) {
    RECT light = place;
    OffsetRect(&light, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(dc, caption.c_str(), length, &light, format);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  } else {
    // Hover, focus and idle text colours are all the system's button text.
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  }
  DrawTextW(dc, caption.c_str(), length, &place, format);
}

}  // namespace vellora
