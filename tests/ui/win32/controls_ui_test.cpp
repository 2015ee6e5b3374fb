// The owner-drawn controls by their pixels on the screen: the tiled
// background, statics and check boxes over it, the group box, the icon
// buttons (raised, flat with hover, pressed, transparent face, dialog
// codes, double click) and the link; first on windows of this program,
// then on the real sheet (button looks, tooltips, tiles, hover).
// Usage: vellora_win32_controls_ui_test SHOT_PREFIX (run from the program folder)
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/env.h"
#include "ui/win32/icon_button.h"
#include "ui/win32/resource.h"
#include "ui/win32/static_link.h"
#include "ui/win32/tiled_background.h"
#include "ui/win32/transparent_group_box.h"
#include "ui/win32/win32_sheet.h"
#include "ui_test_support.h"

namespace {

using namespace vellora_ui_test;
using vellora::CIconButton;
using vellora::CStaticLink;
using vellora::CTiledBackground;

constexpr int kTileWidth = 100, kTileHeight = 50;

// A different colour at every pixel of the test tile; `shade` makes a second tile.
uint32_t TileColor(int x, int y, int shade = 0) {
  return static_cast<uint32_t>(((x * 2 + shade) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 |
                               ((x + y + shade) & 0xFF));
}

uint32_t Rgb(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }
uint32_t SysRgb(int index) { return Rgb(GetSysColor(index)); }

void WriteTile(const std::string& path, int shade) {
  const int stride = (kTileWidth * 3 + 3) & ~3;
  std::string rows(static_cast<size_t>(stride) * kTileHeight, '\0');
  for (int y = 0; y < kTileHeight; ++y) {
    char* row = &rows[static_cast<size_t>(kTileHeight - 1 - y) * stride];
    for (int x = 0; x < kTileWidth; ++x) {
      const uint32_t p = TileColor(x, y, shade);
      row[x * 3] = static_cast<char>(p & 0xFF);
      row[x * 3 + 1] = static_cast<char>(p >> 8 & 0xFF);
      row[x * 3 + 2] = static_cast<char>(p >> 16 & 0xFF);
    }
  }
  BITMAPINFOHEADER info = {sizeof(BITMAPINFOHEADER), kTileWidth, kTileHeight, 1, 24, BI_RGB,
                           static_cast<DWORD>(rows.size()), 0, 0, 0, 0};
  const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(offset + rows.size()), 0, 0, offset};
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
}

// Lets the windows paint for `ms` milliseconds.
void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

// Pixels of `area` (client coordinates of `pixels`) that differ from `expected(x, y)`.
template <typename Expected>
int Mismatches(const Pixels& pixels, const RECT& area, Expected expected) {
  int count = 0;
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) {
      if (pixels.At(x, y) != expected(x, y)) ++count;
    }
  }
  return count;
}

// A control's rectangle in its parent's client coordinates.
RECT RectInParent(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// ---- This program's own window, over the test tile --------------------------------

CTiledBackground g_background;
int g_clicks = 0;  // of the double-click button

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  INT_PTR result = 0;
  if (message == WM_CTLCOLORSTATIC) {
    HBRUSH link = CStaticLink::RelayControlColor(reinterpret_cast<HDC>(wparam),
                                                 reinterpret_cast<HWND>(lparam));
    if (link != nullptr) return reinterpret_cast<LRESULT>(link);
  }
  if (g_background.HandleMessage(window, message, wparam, lparam, &result)) return result;
  if (message == WM_DRAWITEM && CIconButton::RelayDrawItem(lparam)) return TRUE;
  if (message == WM_COMMAND && LOWORD(wparam) == 112 && HIWORD(wparam) == BN_CLICKED) ++g_clicks;
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND MakeWindow(int width, int height) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW type = {};
    type.lpfnWndProc = TestWindowProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    type.lpszClassName = L"VelloraControlsTest";
    RegisterClassW(&type);
    registered = true;
  }
  RECT frame = {0, 0, width, height};
  AdjustWindowRect(&frame, WS_OVERLAPPED | WS_CAPTION, FALSE);
  return CreateWindowExW(0, L"VelloraControlsTest", L"controls", WS_OVERLAPPED | WS_CAPTION |
                         WS_VISIBLE | WS_CLIPSIBLINGS, 20, 20, frame.right - frame.left,
                         frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

HWND Child(HWND parent, const wchar_t* type, const wchar_t* text, DWORD style, int id, int x,
           int y, int w, int h) {
  HWND child = CreateWindowExW(0, type, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return child;
}

void CheckLoading() {
  WriteTile("tile.bmp", 0);
  std::ofstream("not_a_bitmap.bmp") << "BM but not a bitmap";
  const struct {
    const char* file;
    LONG width, height;
  } cases[] = {{"tile.bmp", kTileWidth, kTileHeight},
               {"no_such_file.bmp", 128, 128},
               {"", 128, 128},
               {"not_a_bitmap.bmp", 128, 128}};
  for (const auto& c : cases) {
    CTiledBackground background;
    background.Load(c.file);
    Check(background.size().cx == c.width && background.size().cy == c.height,
          std::string("background \"") + c.file + "\" loads at " + std::to_string(c.width) +
              "x" + std::to_string(c.height));
  }
}

void CheckTiles() {
  g_background.Load("tile.bmp");
  HWND window = MakeWindow(250, 120);
  Pump(600);
  const Pixels pixels = GrabClient(window);
  const RECT all = {0, 0, pixels.width, pixels.height};
  Check(pixels.width == 250 && pixels.height == 120 &&
            Mismatches(pixels, all, [](LONG x, LONG y) {
              return TileColor(x % kTileWidth, y % kTileHeight);
            }) == 0,
        "tiles repeat at the bitmap's size from the client's top left, uncut and unstretched");
  SaveShot(window, "tiles");
  DestroyWindow(window);
}

enum Item {
  kLabel = 101, kCheckBox, kRadio, kEdit, kReadOnlyEdit, kGroup, kFlatGroup,
  kFlatButton = 110, kRaisedButton, kOpaqueButton, kDefaultButton, kLink
};

HWND MakeControlsWindow() {
  HWND window = MakeWindow(420, 300);
  Child(window, L"Static", L"Ab", SS_LEFT, kLabel, 10, 10, 200, 20);
  Child(window, L"Button", L"Ab", BS_AUTOCHECKBOX, kCheckBox, 10, 35, 200, 20);
  Child(window, L"Button", L"Ab", BS_AUTORADIOBUTTON, kRadio, 10, 60, 200, 20);
  Child(window, L"Edit", L"", WS_BORDER, kEdit, 10, 90, 150, 24);
  Child(window, L"Edit", L"", WS_BORDER | ES_READONLY, kReadOnlyEdit, 10, 120, 150, 24);
  Child(window, L"Button", L"Group", BS_GROUPBOX, kGroup, 10, 150, 200, 80);
  Child(window, L"Button", L"Flat", BS_GROUPBOX | BS_FLAT, kFlatGroup, 220, 150, 190, 80);
  Child(window, L"Button", L"F", BS_PUSHBUTTON, kFlatButton, 230, 10, 100, 40);
  Child(window, L"Button", L"R", BS_PUSHBUTTON, kRaisedButton, 230, 55, 150, 40);
  Child(window, L"Button", L"P", BS_PUSHBUTTON, kOpaqueButton, 230, 100, 150, 40);
  Child(window, L"Button", L"D", BS_DEFPUSHBUTTON, kDefaultButton, 10, 240, 100, 40);
  Child(window, L"Static", L"link", SS_LEFT, kLink, 120, 250, 150, 20);
  vellora::CTransparentGroupBox::Attach(window, kGroup);
  vellora::CTransparentGroupBox::Attach(window, kFlatGroup);
  CIconButton* flat = CIconButton::Attach(window, kFlatButton);
  flat->SetIcon(IDI_FOLDER_OPEN, IDI_FOLDER_CLOSED);
  for (int item : {kRaisedButton, kOpaqueButton, kDefaultButton}) {
    CIconButton* button = CIconButton::Attach(window, item);
    button->SetFlat(false, false);
    button->SetIcon(IDI_SORT);
  }
  for (int item : {kFlatButton, kRaisedButton, kDefaultButton}) {
    CIconButton::FromWindow(GetDlgItem(window, item))->DrawTransparent(false);
  }
  CStaticLink::Attach(window, kLink, "C:\\vellora_no_such_folder\\no_such_file.xyz");
  Pump(600);
  return window;
}

// Labels, check boxes and radios show the tile beside their text; edit
// boxes keep their own colours.
void CheckStaticsOverTiles(HWND window) {
  const Pixels pixels = GrabClient(window);
  auto tile = [](LONG x, LONG y) { return TileColor(x % kTileWidth, y % kTileHeight); };
  for (int item : {kLabel, kCheckBox, kRadio}) {
    RECT beside_text = RectInParent(GetDlgItem(window, item));
    beside_text.left += 60;  // past the box and the two letters
    Check(Mismatches(pixels, beside_text, tile) == 0,
          "tile behind control " + std::to_string(item) + "'s text");
  }
  const struct {
    int item;
    uint32_t color;
  } edits[] = {{kEdit, SysRgb(COLOR_WINDOW)}, {kReadOnlyEdit, SysRgb(COLOR_BTNFACE)}};
  for (const auto& e : edits) {
    RECT inside = RectInParent(GetDlgItem(window, e.item));
    InflateRect(&inside, -4, -4);
    Check(Mismatches(pixels, inside, [&](LONG, LONG) { return e.color; }) == 0,
          "edit box " + std::to_string(e.item) + " keeps its colour");
  }
}

// An etched (or, flat, black and white) frame with a gap for the caption,
// the tiles inside, disabled.
void CheckGroupBoxes(HWND window) {
  const Pixels pixels = GrabClient(window);
  const struct {
    int item;
    uint32_t outer;
  } boxes[] = {{kGroup, SysRgb(COLOR_BTNSHADOW)}, {kFlatGroup, 0}};
  for (const auto& b : boxes) {
    HWND box = GetDlgItem(window, b.item);
    const RECT r = RectInParent(box);
    LONG line = r.top;
    while (line < r.top + 20 && pixels.At(r.left + 3, line) != b.outer) ++line;
    const std::string name = "group box " + std::to_string(b.item);
    Check(line < r.top + 20 && pixels.At(r.left + 3, line + 1) == SysRgb(COLOR_BTNHIGHLIGHT) &&
              pixels.At(r.left, r.top + 40) == b.outer,
          name + ": outer and inner lines");
    Check(pixels.At(r.left + 12, line) == TileColor((r.left + 12) % kTileWidth,
                                                    line % kTileHeight),
          name + ": gap in the top line before the caption");
    Check(pixels.At(r.left + 30, r.top + 50) ==
              TileColor((r.left + 30) % kTileWidth, (r.top + 50) % kTileHeight),
          name + ": tiles inside");
    Check(!IsWindowEnabled(box), name + ": takes no clicks");
  }
}

Pixels GrabButton(HWND window, int item) {
  Pump(200);
  return GrabClient(GetDlgItem(window, item));
}

bool SamePixels(const Pixels& a, const Pixels& b) { return a.rgb == b.rgb; }

void MoveMouseTo(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  const LPARAM centre = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
  SendMessageW(control, WM_MOUSEMOVE, 0, centre);
}

// The flat button lights up (other icon, raised border) while the mouse is
// over it; a raised button does not change.
void CheckHover(HWND flat, HWND raised, const std::string& where) {
  SetCursorPos(1000, 740);
  Pump(300);
  const Pixels flat_idle = GrabButton(GetParent(flat), GetDlgCtrlID(flat));
  const Pixels raised_idle = GrabButton(GetParent(raised), GetDlgCtrlID(raised));
  MoveMouseTo(flat);
  const Pixels flat_hover = GrabButton(GetParent(flat), GetDlgCtrlID(flat));
  const int mid = flat_hover.height / 2;
  Check(CIconButton::FromWindow(flat)->mouse_over() && !SamePixels(flat_idle, flat_hover),
        where + "flat button changes while hovered");
  Check(flat_hover.At(0, mid) == SysRgb(COLOR_BTNHIGHLIGHT) &&
            flat_hover.At(flat_hover.width - 1, mid) == SysRgb(COLOR_BTNSHADOW),
        where + "hovered flat button has a raised border");
  const int icon_top = (flat_hover.height - 16) / 2;
  const RECT left_part = {3, icon_top, 19, icon_top + 16};  // the small icon at least
  Check(Mismatches(flat_hover, left_part, [&](LONG x, LONG y) { return flat_idle.At(x, y); }) >
            20,
        where + "hovered flat button shows the other icon");
  MoveMouseTo(raised);
  Check(SamePixels(raised_idle, GrabButton(GetParent(raised), GetDlgCtrlID(raised))) &&
            !CIconButton::FromWindow(raised)->mouse_over(),
        where + "raised button does not change while hovered");
  SetCursorPos(1000, 740);
  Pump(300);
  Check(!CIconButton::FromWindow(flat)->mouse_over() &&
            SamePixels(flat_idle, GrabButton(GetParent(flat), GetDlgCtrlID(flat))),
        where + "flat button back to its look when the mouse leaves");
}

void CheckButtons(HWND window) {
  // The raised look: a two-pixel edge, a black frame on the default button,
  // the tiles as the face of a transparent one.
  const Pixels raised = GrabButton(window, kRaisedButton);
  const Pixels fallback = GrabButton(window, kDefaultButton);
  const int mid = raised.height / 2, w = raised.width;
  const RECT at = RectInParent(GetDlgItem(window, kRaisedButton));
  const struct {
    const Pixels* button;
    int x, y;
    uint32_t color;
    const char* what;
  } looks[] = {
      {&raised, 0, mid, SysRgb(COLOR_BTNHIGHLIGHT), "outer top-left edge"},
      {&raised, 1, mid, SysRgb(COLOR_3DLIGHT), "inner top-left edge"},
      {&raised, w - 1, mid, SysRgb(COLOR_3DDKSHADOW), "outer bottom-right edge"},
      {&raised, w - 2, mid, SysRgb(COLOR_BTNSHADOW), "inner bottom-right edge"},
      {&raised, w - 6, 4, TileColor((at.left + w - 6) % kTileWidth, (at.top + 4) % kTileHeight),
       "transparent face"},
      {&fallback, 0, fallback.height / 2, 0, "black frame of the default button"},
  };
  for (const auto& l : looks) {
    Check(l.button->At(l.x, l.y) == l.color, std::string("raised button: ") + l.what);
  }

  // Pressed: the icon moves one pixel right and down, a shadow frame.
  HWND opaque = GetDlgItem(window, kOpaqueButton);
  const Pixels up = GrabButton(window, kOpaqueButton);
  SendMessageW(opaque, BM_SETSTATE, TRUE, 0);
  const Pixels down = GrabButton(window, kOpaqueButton);
  SendMessageW(opaque, BM_SETSTATE, FALSE, 0);
  const int top = (up.height - 32) / 2;
  const RECT icon = {3, top, 35, top + 32};
  Check(Mismatches(down, icon, [&](LONG x, LONG y) { return up.At(x - 1, y - 1); }) == 0 &&
            Mismatches(up, icon, [&](LONG x, LONG y) { return up.At(x - 1, y - 1); }) > 0,
        "pressed raised button shifts its icon 1 pixel right and down");
  Check(down.At(0, down.height / 2) == SysRgb(COLOR_BTNSHADOW), "pressed: shadow frame");

  CheckHover(GetDlgItem(window, kFlatButton), GetDlgItem(window, kRaisedButton), "");

  // The dialog codes follow the default style, which stays owner-drawn.
  HWND fallback_button = GetDlgItem(window, kDefaultButton);
  HWND plain = GetDlgItem(window, kRaisedButton);
  const struct {
    HWND button;
    int new_style;  // -1: none
    LRESULT code;
  } codes[] = {{fallback_button, -1, DLGC_DEFPUSHBUTTON},
               {plain, -1, DLGC_UNDEFPUSHBUTTON},
               {fallback_button, BS_PUSHBUTTON, DLGC_UNDEFPUSHBUTTON},
               {plain, BS_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON}};
  for (const auto& c : codes) {
    if (c.new_style >= 0) SendMessageW(c.button, BM_SETSTYLE, c.new_style, TRUE);
    const LRESULT code = SendMessageW(c.button, WM_GETDLGCODE, 0, 0);
    Check((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) == c.code &&
              (GetWindowLongW(c.button, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW,
          "dialog code after style " + std::to_string(c.new_style));
  }

  // A double click is two clicks.
  const LPARAM centre = MAKELPARAM(up.width / 2, up.height / 2);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    SendMessageW(opaque, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, centre);
  }
  Check(g_clicks == 2, "a double click counts as two clicks");

  // New system colours: the face is taken again from the repainted parent.
  WriteTile("tile2.bmp", 77);
  g_background.Load("tile2.bmp");
  SendMessageW(plain, WM_SYSCOLORCHANGE, 0, 0);
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const Pixels repainted = GrabButton(window, kRaisedButton);
  Check(repainted.At(w - 6, 4) ==
            TileColor((at.left + w - 6) % kTileWidth, (at.top + 4) % kTileHeight, 77),
        "after new system colours the face shows the parent's new picture");
  g_background.Load("tile.bmp");
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int CountColor(const Pixels& pixels, uint32_t color) {
  int count = 0;
  for (uint32_t p : pixels.rgb) count += p == color ? 1 : 0;
  return count;
}

// The longest row of `color` pixels: an underline, not letters.
int LongestRun(const Pixels& pixels, uint32_t color) {
  int longest = 0;
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0, run = 0; x < pixels.width; ++x) {
      run = pixels.At(x, y) == color ? run + 1 : 0;
      if (run > longest) longest = run;
    }
  }
  return longest;
}

void CheckLink(HWND window) {
  HWND link = GetDlgItem(window, kLink);
  const Pixels before = GrabButton(window, kLink);
  Check(LongestRun(before, 0x0000FF) >= 15 && CountColor(before, 0x800080) == 0,
        "link drawn blue and underlined");
  Check(SendMessageW(link, WM_NCHITTEST, 0, 0) == HTCLIENT, "link takes the mouse");
  SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, 0));
  Check(GetCursor() == LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)),
        "hand cursor over the link");
  SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageW(link, WM_LBUTTONUP, 0, 0);
  const Pixels after = GrabButton(window, kLink);
  Check(CStaticLink::FromWindow(link)->color() == CStaticLink::kUnvisited &&
            LongestRun(after, 0x0000FF) >= 15 && CountColor(after, 0x800080) == 0,
        "a link that cannot be opened stays blue");
}

// ---- The real sheet ---------------------------------------------------------------

HWND g_sheet = nullptr;
int g_tick = 0;

HWND Page(int index) { return PropSheet_IndexToHwnd(g_sheet, index); }

// The page's tooltip window: the one whose tools belong to the page.
struct TooltipSearch {
  HWND page, found;
};
BOOL CALLBACK FindTooltip(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TooltipSearch*>(param);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  if (lstrcmpiW(name, TOOLTIPS_CLASSW) != 0 ||
      !SendMessageW(window, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)) ||
      tool.hwnd != search->page) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}
HWND PageTooltip(int page) {
  TooltipSearch search = {Page(page), nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring TooltipText(HWND tips, HWND page, int item) {
  wchar_t text[512] = {};
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = page;
  tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(page, item));
  tool.lpszText = text;
  SendMessageW(tips, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
  return text;
}

void CheckSheetControls() {
  const struct {
    int page, tools, display_time;
  } pages[] = {{0, 11, 4000}, {1, 19, 4000}, {2, 9, 10000}, {3, 6, 4000}, {4, 3, 4000}};
  for (const auto& p : pages) {
    HWND tips = PageTooltip(p.page);
    const std::string name = "page " + std::to_string(p.page) + " tooltips: ";
    Check(tips != nullptr && SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0) == p.tools,
          name + "one for each control");
    Check(SendMessageW(tips, TTM_GETDELAYTIME, TTDT_INITIAL, 0) == 500 &&
              SendMessageW(tips, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0) == p.display_time,
          name + "500 ms, then shown " + std::to_string(p.display_time) + " ms");
  }
  // Button looks and a tooltip of each page.
  const struct {
    int page, item;
    bool flat;
    const wchar_t* tooltip;
  } buttons[] = {
      {0, IDC_BROWSE_FOLDER, true, L"选择一个要创建 html 文件的新文件夹"},
      {0, IDC_BROWSE_SKIP, false, L"选择一个新的文件夹分支来跳过"},
      {2, IDC_DEFAULT_WORDS, false,
       L"更改默认字词.  适用于当你创建一个非英语站点或你不喜欢默认字词的情况下."},
      {3, IDC_CHANGE_BACKGROUND, false, L"更改位图背景用于所有对话框，除了 帮助->关于"},
      {4, IDC_LICENSE, false, L"显示你作为一个 vellora 用户的权利信息"},
  };
  for (const auto& b : buttons) {
    CIconButton* button = CIconButton::FromWindow(GetDlgItem(Page(b.page), b.item));
    const std::string name = "sheet button " + std::to_string(b.item);
    Check(button != nullptr && button->flat() == b.flat, name + (b.flat ? " flat" : " raised"));
    Check(TooltipText(PageTooltip(b.page), Page(b.page), b.item) == b.tooltip,
          name + " tooltip text");
  }
  Check(TooltipText(PageTooltip(1), Page(1), IDC_HREF20) == L"在 HREF 链接中使用 %20 替换所有的空格",
        "check box tooltip text");
  Check(!IsWindowEnabled(GetDlgItem(Page(2), IDC_RECURSION_GROUP)),
        "the recursion group box is drawn by the program");
  Check(SendMessageW(g_sheet, WM_QUERYDRAGICON, 0, 0) != 0, "the sheet's drag icon");
}

// The help page: the built-in marble left of its buttons.
void CheckSheetTiles() {
  HBITMAP marble = static_cast<HBITMAP>(LoadImageW(
      GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_MARBLE), IMAGE_BITMAP, 0, 0,
      LR_CREATEDIBSECTION));
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 128, -128, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> tile(128 * 128);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, marble, 0, 128, tile.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(marble);
  HWND page = Page(4);
  const Pixels pixels = GrabClient(page);
  const RECT button = RectInParent(GetDlgItem(page, IDC_HELP_CONTENTS));
  const RECT left = {0, 0, button.left - 1, pixels.height};
  Check(left.right > 20 && Mismatches(pixels, left, [&](LONG x, LONG y) {
          return tile[static_cast<size_t>(y % 128 * 128 + x % 128)] & 0xFFFFFF;
        }) == 0,
        "help page tiled with the built-in marble from its top left");
}

VOID CALLBACK SheetStep(HWND, UINT, UINT_PTR timer, DWORD) {
  const int tick = g_tick++;
  if (tick == 0) {
    CheckSheetControls();
  } else if (tick <= 5) {
    if (tick > 1) SaveShot(g_sheet, "controls_page" + std::to_string(tick - 2));
    PropSheet_SetCurSel(g_sheet, nullptr, tick - 1);
  } else if (tick == 6) {
    SaveShot(g_sheet, "controls_page4");
    CheckSheetTiles();
    PropSheet_SetCurSel(g_sheet, nullptr, 0);
  } else if (tick == 7) {
    KillTimer(nullptr, timer);
    // No tooltip over the buttons while their pixels are read.
    SendMessageW(PageTooltip(0), TTM_ACTIVATE, FALSE, 0);
    CheckHover(GetDlgItem(Page(0), IDC_BROWSE_FOLDER), GetDlgItem(Page(0), IDC_CHOOSE_OUTPUT),
               "sheet: ");
    PostMessageW(g_sheet, WM_COMMAND, IDCANCEL, 0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  SetShotPrefix(argc > 1 ? argv[1] : "");
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&init);
  CheckLoading();
  CheckTiles();
  HWND window = MakeControlsWindow();
  SaveShot(window, "controls_window");
  CheckStaticsOverTiles(window);
  CheckGroupBoxes(window);
  CheckButtons(window);
  CheckLink(window);
  DestroyWindow(window);

  DeleteFileA("vellora.ini");
  const int shown = vellora::RunWin32Sheet(vellora::Env::Default(), [](HWND sheet) {
    g_sheet = sheet;
    SetTimer(nullptr, 0, 400, SheetStep);
  });
  Check(shown == 0 && g_tick >= 8, "the sheet opened and every step ran");
  return Finish();
}
