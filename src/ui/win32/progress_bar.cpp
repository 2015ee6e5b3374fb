#include "ui/win32/progress_bar.h"

#include <commctrl.h>

#include <string>

#include "sheet/progress_bands.h"

namespace vellora {

namespace {

struct BarState {
  int low = 0;
  int high = 100;
  int position = 0;
  HFONT font = nullptr;
};

BarState* StateOf(HWND bar) {
  return reinterpret_cast<BarState*>(GetWindowLongPtrW(bar, GWLP_USERDATA));
}

BarDisplay DisplayOf(HDC dc) {
  BarDisplay display;
  display.palette = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
  display.few_colours = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) < 8;
  return display;
}

void FillBand(HDC dc, int left, int right, int height, const BarColour& colour) {
  const RECT r = {left, 0, right, height};
  HBRUSH brush = CreateSolidBrush(RGB(colour.red, colour.green, colour.blue));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// The percentage, centred, in `colour`, clipped to `clip`.
void DrawPercent(HDC dc, const std::wstring& text, RECT whole, const RECT& clip,
                 COLORREF colour) {
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  SetTextColor(dc, colour);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &whole,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  RestoreDC(dc, saved);
}

// Draws the whole bar off screen and copies it in one step, so that it
// never shows half drawn.
void Paint(HWND bar, HDC target, const BarState& s) {
  RECT client;
  GetClientRect(bar, &client);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return;
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
  HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
  HGDIOBJ old_font =
      SelectObject(dc, s.font != nullptr ? s.font : GetStockObject(DEFAULT_GUI_FONT));

  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  const int filled = ProgressFilledLength(s.low, s.high, s.position, width);
  for (const BarBand& band : ProgressBands(ProgressBarStops(), filled, DisplayOf(target))) {
    FillBand(dc, band.start, band.end, height, band.colour);
  }
  const std::string percent = ProgressPercentText(s.low, s.high, s.position);
  const std::wstring text(percent.begin(), percent.end());
  SetBkMode(dc, TRANSPARENT);
  DrawPercent(dc, text, client, client, GetSysColor(COLOR_BTNTEXT));
  if (GetSysColor(COLOR_CAPTIONTEXT) != GetSysColor(COLOR_BTNTEXT)) {
    const RECT done = {0, 0, filled, height};
    DrawPercent(dc, text, client, done, GetSysColor(COLOR_CAPTIONTEXT));
  }

  BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old_font);
  SelectObject(dc, old_bitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wparam, LPARAM lparam) {
  BarState* s = StateOf(bar);
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new BarState));
      break;
    case WM_NCDESTROY:
      delete s;
      SetWindowLongPtrW(bar, GWLP_USERDATA, 0);
      break;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(bar, &paint);
      if (s != nullptr) Paint(bar, dc, *s);
      EndPaint(bar, &paint);
      return 0;
    }
    case WM_SETFONT:
      if (s != nullptr) s->font = reinterpret_cast<HFONT>(wparam);
      if (LOWORD(lparam) != 0) InvalidateRect(bar, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return s != nullptr ? reinterpret_cast<LRESULT>(s->font) : 0;
    case PBM_SETRANGE32:
      if (s == nullptr) return 0;
      s->low = static_cast<int>(wparam);
      s->high = static_cast<int>(lparam);
      InvalidateRect(bar, nullptr, FALSE);
      return 0;
    case PBM_SETPOS: {
      if (s == nullptr) return 0;
      const int before = s->position;
      int position = static_cast<int>(wparam);
      if (position > s->high) position = s->high;
      if (position < s->low) position = s->low;
      s->position = position;
      InvalidateRect(bar, nullptr, FALSE);
      return before;
    }
    case PBM_GETPOS:
      return s != nullptr ? s->position : 0;
    default:
      break;
  }
  return DefWindowProcW(bar, message, wparam, lparam);
}

}  // namespace

bool RegisterProgressBarClass() {
  WNDCLASSEXW info = {};
  info.cbSize = sizeof info;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kProgressBarClass, &info)) return true;
  info = {};
  info.cbSize = sizeof info;
  info.lpfnWndProc = BarProc;
  info.hInstance = GetModuleHandleW(nullptr);
  info.hCursor = LoadCursor(nullptr, IDC_ARROW);
  info.lpszClassName = kProgressBarClass;
  return RegisterClassExW(&info) != 0;
}

}  // namespace vellora
