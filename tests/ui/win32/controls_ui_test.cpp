// The owner-drawn controls by their pixels on the screen, first on windows
// of this program over a tile it writes (tiles, statics, group boxes, icon
// buttons, link), then on the real sheet (button looks, tooltips, the flat
// folder button's hover).
// Usage: vellora_win32_controls_ui_test SHOT_PREFIX (run from the program folder)
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <fstream>
#include <string>

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

constexpr int kTileWidth = 100, kTileHeight = 50;

// The colour tiled at (x, y): a different one at every pixel of the tile.
uint32_t TileColor(LONG x, LONG y, int shade = 0) {
  x %= kTileWidth;
  y %= kTileHeight;
  return static_cast<uint32_t>(((x * 2 + shade) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 |
                               ((x + y + shade) & 0xFF));
}

uint32_t Sys(int index) {
  const COLORREF c = GetSysColor(index);
  return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

void WriteTile(const std::string& path, int shade) {
  Pixels tile;
  tile.width = kTileWidth;
  tile.height = kTileHeight;
  for (int y = 0; y < kTileHeight; ++y) {
    for (int x = 0; x < kTileWidth; ++x) tile.rgb.push_back(TileColor(x, y, shade));
  }
  WriteBitmap(path, tile);
}

// Lets the windows paint for `ms` milliseconds.
void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

// How many pixels of `area` differ from `expected(x, y)`.
template <typename Expected>
int Mismatches(const Pixels& pixels, const RECT& area, Expected expected) {
  int count = 0;
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) count += pixels.At(x, y) != expected(x, y);
  }
  return count;
}

// The longest row of `color` pixels: an underline, not letters.
int LongestRun(const Pixels& pixels, uint32_t color) {
  int longest = 0;
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0, run = 0; x < pixels.width; ++x) {
      run = pixels.At(x, y) == color ? run + 1 : 0;
      longest = run > longest ? run : longest;
    }
  }
  return longest;
}

RECT RectInParent(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

Pixels GrabAfterPaint(HWND window) {
  Pump(200);
  return GrabClient(window);
}

// ---- Windows of this program ---------------------------------------------------------

vellora::CTiledBackground g_background;
int g_clicks = 0;  // of the opaque button

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  INT_PTR result = 0;
  if (message == WM_CTLCOLORSTATIC) {
    if (HBRUSH link = CStaticLink::RelayControlColor(reinterpret_cast<HDC>(wparam),
                                                     reinterpret_cast<HWND>(lparam))) {
      return reinterpret_cast<LRESULT>(link);
    }
  }
  if (g_background.HandleMessage(window, message, wparam, lparam, &result)) return result;
  if (message == WM_DRAWITEM && CIconButton::RelayDrawItem(lparam)) return TRUE;
  if (message == WM_COMMAND && LOWORD(wparam) == 112 && HIWORD(wparam) == BN_CLICKED) ++g_clicks;
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND MakeWindow(int width, int height) {
  WNDCLASSW type = {};
  type.lpfnWndProc = TestWindowProc;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"VelloraControlsTest";
  RegisterClassW(&type);  // fails harmlessly the second time
  RECT frame = {0, 0, width, height};
  AdjustWindowRect(&frame, WS_CAPTION, FALSE);
  return CreateWindowExW(0, type.lpszClassName, L"controls", WS_CAPTION | WS_VISIBLE, 20, 20,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                         type.hInstance, nullptr);
}

void Child(HWND parent, const wchar_t* type, const wchar_t* text, DWORD style, int id, int x,
           int y, int w, int h) {
  HWND child = CreateWindowExW(0, type, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
}

// The file's own size, or the built-in 128 by 128 marble.
void CheckLoadingAndTiles() {
  WriteTile("tile.bmp", 0);
  std::ofstream("not_a_bitmap.bmp") << "BM but not a bitmap";
  const struct {
    const char* file;
    LONG width, height;
  } files[] = {{"tile.bmp", kTileWidth, kTileHeight}, {"no_such_file.bmp", 128, 128},
               {"", 128, 128}, {"not_a_bitmap.bmp", 128, 128}};
  for (const auto& f : files) {
    vellora::CTiledBackground background;
    background.Load(f.file);
    Check(background.size().cx == f.width && background.size().cy == f.height,
          std::string("background \"") + f.file + "\" loads at " + std::to_string(f.width));
  }
  g_background.Load("tile.bmp");
  HWND window = MakeWindow(250, 120);
  const Pixels pixels = GrabAfterPaint(window);
  const RECT all = {0, 0, pixels.width, pixels.height};
  Check(pixels.width == 250 && pixels.height == 120 &&
            Mismatches(pixels, all, [](LONG x, LONG y) { return TileColor(x, y); }) == 0,
        "tiles repeat at the bitmap's size from the client's top left, not stretched");
  SaveShot(window, "tiles");
  DestroyWindow(window);
}

enum Item {
  kLabel = 101, kCheckBox, kRadio, kEdit, kGroup = 106, kFlatGroup,
  kRaisedButton = 111, kOpaqueButton, kDefaultButton, kLink
};

HWND MakeControlsWindow() {
  HWND window = MakeWindow(420, 300);
  Child(window, L"Static", L"Ab", SS_LEFT, kLabel, 10, 10, 200, 20);
  Child(window, L"Button", L"Ab", BS_AUTOCHECKBOX, kCheckBox, 10, 35, 200, 20);
  Child(window, L"Button", L"Ab", BS_AUTORADIOBUTTON, kRadio, 10, 60, 200, 20);
  Child(window, L"Edit", L"", WS_BORDER, kEdit, 10, 90, 150, 24);
  Child(window, L"Button", L"Group", BS_GROUPBOX, kGroup, 10, 150, 200, 80);
  Child(window, L"Button", L"Flat", BS_GROUPBOX | BS_FLAT, kFlatGroup, 220, 150, 190, 80);
  Child(window, L"Button", L"R", BS_PUSHBUTTON, kRaisedButton, 230, 55, 150, 40);
  Child(window, L"Button", L"P", BS_PUSHBUTTON, kOpaqueButton, 230, 100, 150, 40);
  Child(window, L"Button", L"D", BS_DEFPUSHBUTTON, kDefaultButton, 10, 240, 100, 40);
  Child(window, L"Static", L"link", SS_LEFT, kLink, 120, 250, 150, 20);
  vellora::CTransparentGroupBox::Attach(window, kGroup);
  vellora::CTransparentGroupBox::Attach(window, kFlatGroup);
  for (int item : {kRaisedButton, kOpaqueButton, kDefaultButton}) {
    CIconButton::Attach(window, item)->SetFlat(false, false);
    CIconButton::FromWindow(GetDlgItem(window, item))->SetIcon(IDI_SORT);
  }
  for (int item : {kRaisedButton, kDefaultButton}) {
    CIconButton::FromWindow(GetDlgItem(window, item))->DrawTransparent(false);
  }
  CStaticLink::Attach(window, kLink, "C:\\vellora_no_such_folder\\no_such_file.xyz");
  Pump(400);
  return window;
}

// Labels, check boxes and radios show the tile beside their text, edit
// boxes keep their colours; group boxes: lines, caption gap, tiles inside.
void CheckStaticsAndGroupBoxes(HWND window) {
  const Pixels pixels = GrabAfterPaint(window);
  for (int item : {kLabel, kCheckBox, kRadio}) {
    RECT beside_text = RectInParent(GetDlgItem(window, item));
    beside_text.left += 60;
    Check(Mismatches(pixels, beside_text, [](LONG x, LONG y) { return TileColor(x, y); }) == 0,
          "tile behind control " + std::to_string(item) + "'s text");
  }
  RECT inside = RectInParent(GetDlgItem(window, kEdit));
  InflateRect(&inside, -4, -4);
  Check(Mismatches(pixels, inside, [](LONG, LONG) { return Sys(COLOR_WINDOW); }) == 0,
        "edit box keeps its colour");
  for (auto box : {std::make_pair(kGroup, Sys(COLOR_BTNSHADOW)), std::make_pair(kFlatGroup, 0u)}) {
    const RECT r = RectInParent(GetDlgItem(window, box.first));
    const std::string name = "group box " + std::to_string(box.first) + ": ";
    LONG top = r.top;
    while (top < r.top + 20 && pixels.At(r.left + 3, top) != box.second) ++top;
    Check(pixels.At(r.left + 3, top + 1) == Sys(COLOR_BTNHIGHLIGHT) &&
              pixels.At(r.left, r.top + 40) == box.second &&
              pixels.At(r.left + 30, r.top + 50) == TileColor(r.left + 30, r.top + 50),
          name + "outer and inner lines, tiles inside");
    Check(pixels.At(r.left + 12, top) == TileColor(r.left + 12, top), name + "caption gap");
  }
}

void MoveMouseTo(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageW(control, WM_MOUSEMOVE, 0,
               MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2));
}

// The flat button shows its other icon and a raised border while the mouse
// is over it; a raised button does not change.
void CheckHover(HWND flat, HWND raised, const std::string& where, const std::string& shot) {
  SetCursorPos(1000, 740);
  const Pixels flat_idle = GrabAfterPaint(flat), raised_idle = GrabAfterPaint(raised);
  MoveMouseTo(flat);
  const Pixels flat_hover = GrabAfterPaint(flat);
  SaveShot(GetAncestor(flat, GA_ROOT), shot);
  const int mid = flat_hover.height / 2, icon_top = (flat_hover.height - 16) / 2;
  const RECT icon = {3, icon_top, 19, icon_top + 16};  // the small icon at least
  Check(CIconButton::FromWindow(flat)->mouse_over() &&
            Mismatches(flat_hover, icon, [&](LONG x, LONG y) { return flat_idle.At(x, y); }) > 20,
        where + "hovered flat button shows the other icon");
  Check(flat_hover.At(0, mid) == Sys(COLOR_BTNHIGHLIGHT) &&
            flat_hover.At(flat_hover.width - 1, mid) == Sys(COLOR_BTNSHADOW),
        where + "hovered flat button has a raised border");
  MoveMouseTo(raised);
  Check(GrabAfterPaint(raised).rgb == raised_idle.rgb &&
            !CIconButton::FromWindow(raised)->mouse_over(),
        where + "raised button does not change while hovered");
  SetCursorPos(1000, 740);
  Pump(200);
  Check(!CIconButton::FromWindow(flat)->mouse_over() && GrabAfterPaint(flat).rgb == flat_idle.rgb,
        where + "flat button back to its look when the mouse leaves");
}

void CheckButtons(HWND window) {
  HWND raised = GetDlgItem(window, kRaisedButton), opaque = GetDlgItem(window, kOpaqueButton);
  HWND fallback = GetDlgItem(window, kDefaultButton);
  const Pixels look = GrabAfterPaint(raised), default_look = GrabAfterPaint(fallback);
  const int mid = look.height / 2, w = look.width;
  const RECT at = RectInParent(raised);
  const struct {
    const Pixels* button;
    int x, y;
    uint32_t color;
    const char* what;
  } pixels[] = {
      {&look, 0, mid, Sys(COLOR_BTNHIGHLIGHT), "outer top-left edge"},
      {&look, w - 1, mid, Sys(COLOR_3DDKSHADOW), "outer bottom-right edge"},
      {&look, w - 6, 4, TileColor(at.left + w - 6, at.top + 4), "transparent face"},
      {&default_look, 0, mid, 0, "black frame of the default button"},
  };
  for (const auto& p : pixels) {
    Check(p.button->At(p.x, p.y) == p.color, std::string("raised button: ") + p.what);
  }

  const Pixels up = GrabAfterPaint(opaque);
  SendMessageW(opaque, BM_SETSTATE, TRUE, 0);
  const Pixels down = GrabAfterPaint(opaque);
  SendMessageW(opaque, BM_SETSTATE, FALSE, 0);
  const RECT icon = {3, (up.height - 32) / 2, 35, (up.height + 32) / 2};
  auto shifted = [&](LONG x, LONG y) { return up.At(x - 1, y - 1); };
  Check(Mismatches(down, icon, shifted) == 0 && Mismatches(up, icon, shifted) > 0 &&
            down.At(0, mid) == Sys(COLOR_BTNSHADOW),
        "pressed raised button: icon 1 pixel right and down, shadow frame");

  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    SendMessageW(opaque, message, 0, MAKELPARAM(10, 10));
  }
  Check(g_clicks == 2, "a double click counts as two clicks");

  // New system colours: the face is taken again from the repainted parent.
  WriteTile("tile2.bmp", 77);
  g_background.Load("tile2.bmp");
  SendMessageW(raised, WM_SYSCOLORCHANGE, 0, 0);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  Check(GrabAfterPaint(raised).At(w - 6, 4) == TileColor(at.left + w - 6, at.top + 4, 77),
        "after new system colours the face shows the parent's new picture");
}

void CheckLink(HWND window) {
  HWND link = GetDlgItem(window, kLink);
  const Pixels before = GrabAfterPaint(link);
  Check(LongestRun(before, 0x0000FF) >= 15 && LongestRun(before, 0x800080) == 0,
        "link drawn blue and underlined");
  SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, 0));
  Check(SendMessageW(link, WM_NCHITTEST, 0, 0) == HTCLIENT &&
            GetCursor() == LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)),
        "link takes the mouse and shows the hand");
  SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  const Pixels after = GrabAfterPaint(link);
  Check(CStaticLink::FromWindow(link)->color() == CStaticLink::kUnvisited &&
            LongestRun(after, 0x0000FF) >= 15 && LongestRun(after, 0x800080) == 0,
        "a link that cannot be opened stays blue");
}

// ---- The real sheet --------------------------------------------------------------------

HWND g_sheet = nullptr;
int g_tick = 0;

HWND Page(int index) { return PropSheet_IndexToHwnd(g_sheet, index); }

// The page's tooltip window: the one whose tools are the page's.
HWND PageTooltip(int page) {
  for (HWND tips = nullptr; (tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr));) {
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    if (SendMessageW(tips, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)) &&
        tool.hwnd == Page(page)) {
      return tips;
    }
  }
  return nullptr;
}

void CheckSheetControls() {
  const struct {
    int page, tools, display_time;
  } pages[] = {{0, 11, 4000}, {1, 19, 4000}, {2, 10, 10000}, {3, 6, 4000}, {4, 3, 4000}};
  for (const auto& p : pages) {
    HWND tips = PageTooltip(p.page);
    Check(tips != nullptr && SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0) == p.tools &&
              SendMessageW(tips, TTM_GETDELAYTIME, TTDT_INITIAL, 0) == 500 &&
              SendMessageW(tips, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0) == p.display_time,
          "page " + std::to_string(p.page) + ": a tooltip for each control, after 500 ms, for " +
              std::to_string(p.display_time) + " ms");
  }
  // The texts are the sheet's, whatever the code page.
  wchar_t text[256] = {};
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = Page(2);
  tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(Page(2), IDC_FILE_COLUMNS));
  tool.lpszText = text;
  SendMessageW(PageTooltip(2), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  Check(std::wstring(text) == L"文件表格的列数", "a tooltip shows the sheet's text");
  const struct {
    int page, item;
    bool flat;
  } buttons[] = {{0, IDC_BROWSE_FOLDER, true}, {0, IDC_BROWSE_SKIP, false},
                 {2, IDC_DEFAULT_WORDS, false}, {2, IDC_MORE_OPTIONS, false},
                 {3, IDC_CHANGE_BACKGROUND, false},
                 {4, IDC_LICENSE, false}};
  for (const auto& b : buttons) {
    CIconButton* button = CIconButton::FromWindow(GetDlgItem(Page(b.page), b.item));
    Check(button != nullptr && button->flat() == b.flat,
          "sheet button " + std::to_string(b.item) + (b.flat ? " flat" : " raised"));
  }
  Check(!IsWindowEnabled(GetDlgItem(Page(2), IDC_RECURSION_GROUP)),
        "the recursion group box is drawn by the program");
}

// The help page shows the built-in marble from its top left, also as the
// face of its buttons.
void CheckSheetTiles() {
  HWND page = Page(4);
  const Pixels pixels = GrabClient(page);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), pixels.width, -pixels.height, 1, 32, BI_RGB,
                    0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP expected = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, expected);
  vellora::CTiledBackground marble;
  marble.Load("");
  marble.TileBackground(memory, RECT{0, 0, pixels.width, pixels.height});
  GdiFlush();
  auto tile = [&](LONG x, LONG y) {
    return static_cast<const uint32_t*>(bits)[y * pixels.width + x] & 0xFFFFFF;
  };
  const RECT help = RectInParent(GetDlgItem(page, IDC_HELP_CONTENTS));
  Check(Mismatches(pixels, RECT{0, 0, help.left, pixels.height}, tile) == 0,
        "help page tiled with the built-in marble");
  for (int item : {IDC_HELP_CONTENTS, IDC_ABOUT, IDC_LICENSE}) {
    const RECT r = RectInParent(GetDlgItem(page, item));
    Check(pixels.At(r.right - 6, r.top + 4) == tile(r.right - 6, r.top + 4) &&
              pixels.At(r.left + 40, r.bottom - 5) == tile(r.left + 40, r.bottom - 5),
          "help page button " + std::to_string(item) + " shows the page as its face");
  }
  SelectObject(memory, old);
  DeleteObject(expected);
  DeleteDC(memory);
}

VOID CALLBACK SheetStep(HWND, UINT, UINT_PTR timer, DWORD) {
  const int tick = g_tick++;
  if (tick == 0) CheckSheetControls();
  if (tick >= 1 && tick <= 5) SaveShot(g_sheet, "controls_page" + std::to_string(tick - 1));
  if (tick == 5) CheckSheetTiles();
  if (tick <= 5) PropSheet_SetCurSel(g_sheet, nullptr, tick < 5 ? tick : 0);
  if (tick == 6) {
    KillTimer(nullptr, timer);
    SendMessageW(PageTooltip(0), TTM_ACTIVATE, FALSE, 0);  // nothing over the buttons
    CheckHover(GetDlgItem(Page(0), IDC_BROWSE_FOLDER), GetDlgItem(Page(0), IDC_CHOOSE_OUTPUT),
               "sheet: ", "controls_page0_hover");
    PostMessageW(g_sheet, WM_COMMAND, IDCANCEL, 0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  SetShotPrefix(argc > 1 ? argv[1] : "");
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&init);
  CheckLoadingAndTiles();
  HWND window = MakeControlsWindow();
  SaveShot(window, "controls_window");
  CheckStaticsAndGroupBoxes(window);
  CheckButtons(window);
  CheckLink(window);
  DestroyWindow(window);

  DeleteFileA("vellora.ini");
  const int shown = vellora::RunWin32Sheet(vellora::Env::Default(), [](HWND sheet) {
    g_sheet = sheet;
    SetTimer(nullptr, 0, 400, SheetStep);
  });
  Check(shown == 0 && g_tick == 7, "the sheet opened and every step ran");
  return Finish();
}
