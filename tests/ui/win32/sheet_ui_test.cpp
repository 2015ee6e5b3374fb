// Drives the real settings window in-process under a display: checks the
// tab titles and the renamed buttons, that a function key pressed in an
// edit box runs its command (F8 opens the open-file dialog) instead of
// reaching the box, and that Esc on another page saves the configuration
// with the box's new text and that page. Saves a picture of each page.
// Usage: vellora_win32_ui_test SHOT_PREFIX   (run from the program folder)
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>

#include "platform/env.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32_sheet.h"
#include "ui_test_support.h"

namespace {

using namespace vellora_ui_test;

int g_tick = 0;
int g_edit_keys = 0;  // key-downs of F8 that reached the folder box
WNDPROC g_edit_proc = nullptr;
HWND g_sheet = nullptr;

LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_KEYDOWN && wparam == VK_F8) ++g_edit_keys;
  return CallWindowProcW(g_edit_proc, edit, message, wparam, lparam);
}

HWND Page(int index) { return PropSheet_IndexToHwnd(g_sheet, index); }

void CheckTabsAndButtons() {
  const wchar_t* titles[] = {L"文件夹,文件", L"杂项", L"递归,其他", L"输入/输出", L"帮助"};
  HWND tabs = PropSheet_GetTabControl(g_sheet);
  Check(TabCtrl_GetItemCount(tabs) == 5, "five tabs");
  for (int i = 0; i < 5; ++i) {
    wchar_t text[64] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    Check(std::wstring(text) == titles[i], "tab " + std::to_string(i) + " title");
  }
  Check(WindowTextW(GetDlgItem(g_sheet, IDOK)) == L"创建(&B) F3", "OK relabelled");
  Check(WindowTextW(GetDlgItem(g_sheet, IDCANCEL)) == L"退出(&X)", "Cancel relabelled");
  Check(WindowTextW(g_sheet) == L"vellora v4.6", "caption");
  HMENU menu = GetSystemMenu(g_sheet, FALSE);
  const int items = GetMenuItemCount(menu);
  wchar_t about[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(items - 1), about, 64, MF_BYPOSITION);
  Check(std::wstring(about) == L"关于 vellora" &&
            GetMenuItemID(menu, items - 1) == 16,
        "system menu ends with About");
  bool greyed = true;
  for (UINT position : {0u, 2u, 4u}) {
    greyed = greyed && (GetMenuState(menu, position, MF_BYPOSITION) & MF_GRAYED) != 0;
  }
  Check(greyed, "system menu items 0, 2 and 4 greyed");
  HWND apply = GetDlgItem(g_sheet, 0x3021);
  Check(apply == nullptr || !IsWindowVisible(apply), "no Apply button");
}

// One step each tick, so that the window paints between them.
VOID CALLBACK Step(HWND, UINT, UINT_PTR timer, DWORD) {
  const int tick = g_tick++;
  if (tick == 0) {
    CheckTabsAndButtons();
  } else if (tick >= 1 && tick <= 5) {
    // A picture of page tick - 1, taken a tick after turning to it.
    if (tick > 1) SaveShot(g_sheet, "page" + std::to_string(tick - 2));
    PropSheet_SetCurSel(g_sheet, nullptr, tick - 1);
  } else if (tick == 6) {
    SaveShot(g_sheet, "page4");
    PropSheet_SetCurSel(g_sheet, nullptr, 0);
    HWND path = GetDlgItem(Page(0), IDC_PATH);
    SetWindowTextA(path, "C:\\vellora_ui_test");
    g_edit_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(path, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
    SetFocus(path);
    PostMessageW(path, WM_KEYDOWN, VK_F8, 0);
  } else if (tick == 7) {
    // The open-file dialog of F8 runs its own loop; this timer still ticks.
    HWND dialog = FindOtherWindow(g_sheet);
    Check(dialog != nullptr, "F8 in the folder box opens the file dialog");
    Check(g_edit_keys == 0, "F8 does not reach the folder box");
    if (dialog != nullptr) {
      SaveShot(dialog, "read_config_dialog");
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  } else if (tick == 8) {
    PropSheet_SetCurSel(g_sheet, nullptr, 2);
    HWND focus = GetDlgItem(Page(2), IDC_RECURSIVE_BUILD);
    SetFocus(focus);
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0);
  } else if (tick > 30) {
    Check(false, "Esc closes the sheet");
    KillTimer(nullptr, timer);
    PostMessageW(g_sheet, WM_COMMAND, IDCANCEL, 0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  SetShotPrefix(argc > 1 ? argv[1] : "");
  DeleteFileA("vellora.ini");
  const int shown = vellora::RunWin32Sheet(vellora::Env::Default(), [](HWND sheet) {
    g_sheet = sheet;
    SetTimer(nullptr, 0, 400, Step);
  });
  Check(shown == 0 && g_sheet != nullptr, "the sheet opened on the display");
  const std::string folder = ProgramFolder();
  const std::string ini = ReadWholeFile(folder + "vellora.ini");
  Check(ini.find("C:\\vellora_ui_test") != std::string::npos, "Esc saved the folder box");
  Check(ini.find("active_page=2") != std::string::npos, "Esc saved the page shown");
  return Finish();
}
