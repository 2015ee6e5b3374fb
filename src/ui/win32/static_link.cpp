#include "ui/win32/static_link.h"

#include <shellapi.h>

namespace vellora {

namespace {

const wchar_t kObjectProperty[] = L"vellora.static_link";

std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

// Left, centred or right aligned text: the statics a link can be.
bool IsTextStatic(HWND window) {
  switch (GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
      return true;
    default:
      return false;
  }
}

}  // namespace

CStaticLink* CStaticLink::Attach(HWND dialog, int item, const std::string& target) {
  HWND window = GetDlgItem(dialog, item);
  if (window == nullptr) return nullptr;
  CStaticLink* link = FromWindow(window);
  if (link == nullptr) link = new CStaticLink(window);
  link->target_ = target;
  return link;
}

CStaticLink* CStaticLink::FromWindow(HWND link) {
  return link == nullptr ? nullptr : static_cast<CStaticLink*>(GetPropW(link, kObjectProperty));
}

HBRUSH CStaticLink::RelayControlColor(HDC dc, HWND control) {
  CStaticLink* link = FromWindow(control);
  if (link == nullptr || !IsTextStatic(control)) return nullptr;
  if (link->underlined_ == nullptr) link->Underline(SendMessageW(control, WM_GETFONT, 0, 0));
  SelectObject(dc, link->underlined_);
  SetTextColor(dc, link->color_);
  SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}

void CStaticLink::Underline(WPARAM font) {
  if (!IsTextStatic(window_)) return;
  HGDIOBJ face_font = reinterpret_cast<HGDIOBJ>(font);
  if (face_font == nullptr) face_font = GetStockObject(DEFAULT_GUI_FONT);
  LOGFONTW face = {};
  GetObjectW(face_font, sizeof face, &face);
  face.lfUnderline = TRUE;
  HFONT underlined = CreateFontIndirectW(&face);
  // The static draws with its own font, selected after it asked for its
  // colours on some systems: it is given the underlined copy itself.
  CallWindowProcW(old_proc_, window_, WM_SETFONT, reinterpret_cast<WPARAM>(underlined), FALSE);
  if (underlined_ != nullptr) DeleteObject(underlined_);
  underlined_ = underlined;
}

CStaticLink::CStaticLink(HWND window) : window_(window) {
  SetPropW(window_, kObjectProperty, this);
  old_proc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
  Underline(SendMessageW(window_, WM_GETFONT, 0, 0));
  InvalidateRect(window_, nullptr, TRUE);
}

CStaticLink::~CStaticLink() {
  if (underlined_ != nullptr) DeleteObject(underlined_);
}

LRESULT CALLBACK CStaticLink::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  CStaticLink* link = FromWindow(window);
  if (link == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    const WNDPROC old_proc = link->old_proc_;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_proc));
    RemovePropW(window, kObjectProperty);
    delete link;
    return CallWindowProcW(old_proc, window, message, wparam, lparam);
  }
  return link->OnMessage(message, wparam, lparam);
}

LRESULT CStaticLink::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCHITTEST:
      // Statics are transparent to the mouse; a link takes its clicks.
      return HTCLIENT;
    case WM_LBUTTONDOWN:
      Click();
      return 0;
    case WM_SETFONT:
      if (reinterpret_cast<HFONT>(wparam) == underlined_) break;
      Underline(wparam);
      if (LOWORD(lparam) != 0) InvalidateRect(window_, nullptr, TRUE);
      return 0;
    case WM_SETCURSOR: {
      HCURSOR hand = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
      if (hand == nullptr) break;
      SetCursor(hand);
      return TRUE;
    }
    default:
      break;
  }
  return CallWindowProcW(old_proc_, window_, message, wparam, lparam);
}

void CStaticLink::Click() {
  std::wstring target = Widen(target_);
  if (target.empty()) {
    const wchar_t* resource = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr),
                                   static_cast<UINT>(GetDlgCtrlID(window_)),
                                   reinterpret_cast<LPWSTR>(&resource), 0);
    if (length > 0) target.assign(resource, static_cast<size_t>(length));
  }
  if (target.empty()) {
    const int length = GetWindowTextLengthW(window_);
    target.assign(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window_, &target[0], length + 1);
    target.resize(static_cast<size_t>(length));
  }
  if (target.empty()) return;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) {
    MessageBeep(MB_OK);
    return;
  }
  color_ = kVisited;
  // The text has no face of its own: the parent paints what lies under it.
  HWND parent = GetParent(window_);
  RECT rect;
  GetWindowRect(window_, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace vellora
