#include "ui/win32/tiled_background.h"

#include "ui/win32/resource.h"

namespace vellora {

namespace {

// The dialog box class: only dialogs keep a message result for the
// procedure that called this.
constexpr ULONG_PTR kDialogClassAtom = 32770;

// Labels, check boxes, radio buttons and group boxes show the tiles behind
// their text; edit boxes (read-only ones ask as statics too), lists and
// push buttons keep their own colours.
bool DrawsOverBackground(HWND control) {
  wchar_t name[16] = {};
  GetClassNameW(control, name, 16);
  if (lstrcmpiW(name, L"Static") == 0) return true;
  if (lstrcmpiW(name, L"Button") != 0) return false;
  switch (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_GROUPBOX:
      return true;
    default:
      return false;
  }
}

}  // namespace

CTiledBackground::~CTiledBackground() { Reset(); }

void CTiledBackground::Reset() {
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  size_ = {0, 0};
}

bool CTiledBackground::SetBitmapFromFile(const std::string& file) {
  Reset();
  if (file.empty()) return false;
  bitmap_ = static_cast<HBITMAP>(LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0,
                                            LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
  BITMAP info = {};
  if (bitmap_ == nullptr || GetObjectW(bitmap_, sizeof info, &info) == 0 || info.bmWidth <= 0 ||
      info.bmHeight == 0) {
    Reset();
    return false;
  }
  size_ = {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
  return true;
}

bool CTiledBackground::SetBitmapFromResource(int id) {
  Reset();
  bitmap_ = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP info = {};
  if (bitmap_ == nullptr || GetObjectW(bitmap_, sizeof info, &info) == 0) {
    Reset();
    return false;
  }
  size_ = {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
  return true;
}

void CTiledBackground::Load(const std::string& file) {
  if (!SetBitmapFromFile(file)) SetBitmapFromResource(IDB_MARBLE);
}

bool CTiledBackground::TileBackground(HDC dc, const RECT& rect) const {
  if (bitmap_ == nullptr || size_.cx <= 0 || size_.cy <= 0) return false;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap_);
  // Plain block copies in logical coordinates: a control that has its
  // parent paint into its own device context (shifted origin) still gets
  // tiles that line up with the parent's.
  for (LONG y = 0; y < rect.bottom; y += size_.cy) {
    for (LONG x = 0; x < rect.right; x += size_.cx) {
      BitBlt(dc, x, y, size_.cx, size_.cy, memory, 0, 0, SRCCOPY);
    }
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  return true;
}

bool CTiledBackground::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                     INT_PTR* result) const {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      if (!TileBackground(reinterpret_cast<HDC>(wparam), client)) return false;
      if (GetClassLongPtrW(window, GCW_ATOM) == kDialogClassAtom) {
        SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
      }
      *result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (!DrawsOverBackground(reinterpret_cast<HWND>(lparam))) return false;
      SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
      *result = reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
      return true;
    default:
      return false;
  }
}

}  // namespace vellora
