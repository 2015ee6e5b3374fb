// Drives the real settings window in-process under a display, as a user
// would: the tabs, buttons and system menu; every function key pressed in an
// edit box runs its command (each opens its dialog or message) and never
// reaches the box, while other keys do; the date and time interlock; the
// batch file and configuration written and read through the file dialogs,
// with the radio rule of a configuration read; Esc saving the configuration;
// and the page shown last coming back at the next start. Saves a picture of
// each page.
// Usage: vellora_win32_sheet_ui_test SHOT_PREFIX   (run from the program folder)
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/env.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32_sheet.h"
#include "ui_test_support.h"

namespace {

using namespace vellora_ui_test;

HWND g_sheet = nullptr;
std::string g_folder;  // the program folder, where the test writes
int g_box_keys = 0;    // key-downs that reached the folder box
WNDPROC g_box_proc = nullptr;

// One step of the session: runs each timer tick until it returns true.
using Step = std::function<bool()>;
std::vector<Step> g_steps;
size_t g_step = 0;
int g_ticks_in_step = 0;

HWND Page(int index) { return PropSheet_IndexToHwnd(g_sheet, index); }
HWND Item(int page, int item) { return GetDlgItem(Page(page), item); }
bool Checked(int page, int item) { return IsDlgButtonChecked(Page(page), item) == BST_CHECKED; }

LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_KEYDOWN) ++g_box_keys;
  return CallWindowProcW(g_box_proc, box, message, wparam, lparam);
}

// A key pressed in the folder box, with Ctrl held or not.
void PressInBox(WPARAM key, bool ctrl) {
  HWND box = Item(0, IDC_PATH);
  SetFocus(box);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(keys);
  PostMessageW(box, WM_KEYDOWN, key, 1);
  PostMessageW(box, WM_KEYUP, key, 0xC0000001);
}

void ReleaseCtrl() {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

// The window a command opened: by caption, or any besides the sheet.
HWND Opened(const wchar_t* caption) {
  return caption != nullptr ? FindDialog(caption) : FindOtherWindow(g_sheet);
}

// Types a full path into a file dialog's name box and confirms it.
bool ChooseInFileDialog(HWND dialog, const std::string& path) {
  const int kNameCombo = 0x47C, kNameEdit = 0x480;
  const std::wstring wide(path.begin(), path.end());
  if (GetDlgItem(dialog, kNameCombo) != nullptr) SetDlgItemTextW(dialog, kNameCombo, wide.c_str());
  if (GetDlgItem(dialog, kNameEdit) != nullptr) SetDlgItemTextW(dialog, kNameEdit, wide.c_str());
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  return true;
}

void CheckTabsAndMenu() {
  const wchar_t* titles[] = {L"文件夹,文件", L"杂项", L"递归,其他", L"输入/输出", L"帮助"};
  HWND tabs = PropSheet_GetTabControl(g_sheet);
  bool all = TabCtrl_GetItemCount(tabs) == 5;
  for (int i = 0; i < 5 && all; ++i) {
    wchar_t text[64] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    all = std::wstring(text) == titles[i];
  }
  Check(all, "five tabs with their titles");
  Check(WindowTextW(GetDlgItem(g_sheet, IDOK)) == L"创建(&B) F3" &&
            WindowTextW(GetDlgItem(g_sheet, IDCANCEL)) == L"退出(&X)",
        "Build and Exit buttons");
  Check(WindowTextW(g_sheet) == L"vellora v4.6", "caption");
  HMENU menu = GetSystemMenu(g_sheet, FALSE);
  const int items = GetMenuItemCount(menu);
  wchar_t about[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(items - 1), about, 64, MF_BYPOSITION);
  bool greyed = true;
  for (UINT position : {0u, 2u, 4u}) {
    greyed = greyed && (GetMenuState(menu, position, MF_BYPOSITION) & MF_GRAYED) != 0;
  }
  Check(std::wstring(about) == L"关于 vellora" && GetMenuItemID(menu, items - 1) == 16 && greyed,
        "system menu: items 0, 2 and 4 greyed, About at the end");
  HWND apply = GetDlgItem(g_sheet, 0x3021);
  Check((apply == nullptr || !IsWindowVisible(apply)) &&
            (GetWindowLongPtrW(g_sheet, GWL_STYLE) & WS_MINIMIZEBOX) != 0,
        "no Apply button, a minimize box");
}

// Each function key, pressed in the folder box, opens what it stands for and
// is swallowed; keys without a command reach the box.
struct KeyCase {
  WPARAM key;
  bool ctrl;
  const wchar_t* opens;  // caption of what opens; null: any window; "" none
  const char* what;
};
const KeyCase kKeys[] = {
    {VK_F1, true, L"关于 vellora", "Ctrl+F1 opens the About box"},
    {VK_F3, false, L"取消创建 HTML", "F3 builds: the empty folder's message"},
    {VK_F5, false, L"选择排序选项", "F5 opens the sort options"},
    {VK_F6, false, L"改变生成文件的默认字词", "F6 opens the default words"},
    {VK_F7, false, L"错误", "F7 saves a batch file: the empty folder's message"},
    {VK_F8, false, nullptr, "F8 opens the configuration file chooser"},
    {VK_F9, false, nullptr, "F9 opens the configuration file chooser"},
    {VK_F11, false, L"自定义 HTML 文件不存在", "F11 edits the custom HTML file: not found"},
    {VK_F12, false, L"输出文件不存在", "F12 opens the output file: not found"},
    {VK_F2, false, L"", "F2 reaches the box"},
    {VK_F4, false, L"", "F4 reaches the box"},
};

void AddKeySteps() {
  g_steps.push_back([] {
    HWND box = Item(0, IDC_PATH);
    SetWindowTextW(box, L"");
    SetDlgItemTextW(Page(0), IDC_CUSTOM_HTML, L"no_such_template.txt");
    SetDlgItemTextW(Page(0), IDC_OUTPUT_FILENAME, L"no_such_page.html");
    g_box_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxProc)));
    return true;
  });
  for (const KeyCase& k : kKeys) {
    auto pressed = std::make_shared<bool>(false);
    g_steps.push_back([&k, pressed] {
      if (!*pressed) {
        *pressed = true;
        g_box_keys = 0;
        PressInBox(k.key, k.ctrl);
        return false;
      }
      if (k.opens != nullptr && k.opens[0] == L'\0') {
        if (g_ticks_in_step < 3) return false;
        Check(g_box_keys == 1 && FindOtherWindow(g_sheet) == nullptr, k.what);
        return true;
      }
      HWND opened = Opened(k.opens);
      if (opened == nullptr && g_ticks_in_step < 40) return false;
      ReleaseCtrl();
      Check(opened != nullptr && g_box_keys == 0, k.what);
      if (opened != nullptr) PostMessageW(opened, WM_COMMAND, IDCANCEL, 0);
      return true;
    });
    // The next key only once the command has ended.
    g_steps.push_back([] { return FindOtherWindow(g_sheet) == nullptr; });
  }
}

// Ticking the time box ticks the date box; clearing the date box clears the
// time box; clearing the time box leaves the date box.
void CheckInterlock() {
  HWND date = Item(1, IDC_INCLUDE_DATE), time = Item(1, IDC_INCLUDE_TIME);
  CheckDlgButton(Page(1), IDC_INCLUDE_DATE, BST_UNCHECKED);
  CheckDlgButton(Page(1), IDC_INCLUDE_TIME, BST_UNCHECKED);
  SendMessageW(time, BM_CLICK, 0, 0);
  const bool time_ticks_date = Checked(1, IDC_INCLUDE_DATE) && Checked(1, IDC_INCLUDE_TIME);
  SendMessageW(date, BM_CLICK, 0, 0);
  const bool date_clears_time = !Checked(1, IDC_INCLUDE_DATE) && !Checked(1, IDC_INCLUDE_TIME);
  SendMessageW(time, BM_CLICK, 0, 0);
  SendMessageW(time, BM_CLICK, 0, 0);
  const bool time_alone = Checked(1, IDC_INCLUDE_DATE) && !Checked(1, IDC_INCLUDE_TIME);
  Check(time_ticks_date && date_clears_time && time_alone, "date and time interlock");
}

// A command that opens a chooser, then the chooser's answer.
void AddChooserSteps(const std::function<void()>& start, const std::function<bool(HWND)>& answer) {
  auto started = std::make_shared<bool>(false);
  auto seen = std::make_shared<int>(0);
  g_steps.push_back([start, answer, started, seen] {
    if (!*started) {
      *started = true;
      start();
      return false;
    }
    HWND chooser = FindOtherWindow(g_sheet);
    if (chooser == nullptr) return g_ticks_in_step > 40;
    // Answered once it has settled.
    if (++*seen < 3) return false;
    return answer(chooser);
  });
  g_steps.push_back([] { return FindOtherWindow(g_sheet) == nullptr || g_ticks_in_step > 40; });
}

void AddFileDialogSteps(WPARAM key, const std::string& path) {
  AddChooserSteps([key] { PressInBox(key, false); },
                  [path](HWND dialog) { return ChooseInFileDialog(dialog, path); });
}

void AddButtonSteps(int item, const std::function<bool(HWND)>& answer) {
  AddChooserSteps(
      [item] {
        PostMessageW(Page(0), WM_COMMAND, MAKEWPARAM(item, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Item(0, item)));
      },
      answer);
}

// Selects `folder` in the shell's folder browser and confirms it. The
// program fills the browser's status line from each new selection: it first
// shows the start folder the program selects as the browser opens, then
// `folder` once the browser took it.
bool ChooseInFolderBrowser(HWND browser, const std::wstring& folder) {
  const int kStatusLine = 0x3743;
  const std::wstring status = ItemTextW(browser, kStatusLine);
  if (g_ticks_in_step < 60 && status != folder) {
    if (!status.empty()) {
      SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    }
    return false;
  }
  PostMessageW(browser, WM_COMMAND, IDOK, 0);
  return true;
}

VOID CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
  if (g_step >= g_steps.size()) {
    KillTimer(nullptr, timer);
    return;
  }
  ++g_ticks_in_step;
  if (g_ticks_in_step > 100) {
    Check(false, "step " + std::to_string(g_step) + " ended in time");
    g_step = g_steps.size();
    PostMessageW(g_sheet, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  const size_t step = g_step;
  if (g_steps[step]()) {
    g_step = step + 1;
    g_ticks_in_step = 0;
  }
}

void BuildSession() {
  g_steps.push_back([] {
    CheckTabsAndMenu();
    Check(Checked(2, IDC_FRAMED_SITE) && !Checked(2, IDC_ONE_PAGE_PER_FOLDER) &&
              !Checked(2, IDC_ALL_IN_ONE_FILE),
          "a stored framed site selects its radio");
    return true;
  });
  for (int page = 0; page < 5; ++page) {
    g_steps.push_back([page] {
      PropSheet_SetCurSel(g_sheet, nullptr, page);
      return true;
    });
    g_steps.push_back([page] {
      SaveShot(g_sheet, "page" + std::to_string(page));
      return true;
    });
  }
  g_steps.push_back([] {
    PropSheet_SetCurSel(g_sheet, nullptr, 0);
    return true;
  });
  AddKeySteps();
  g_steps.push_back([] {
    PostMessageW(g_sheet, WM_SYSCOMMAND, 16, 0);
    return true;
  });
  g_steps.push_back([] {
    HWND about = FindDialog(L"关于 vellora");
    if (about == nullptr && g_ticks_in_step < 40) return false;
    Check(about != nullptr, "the system menu's About item opens the About box");
    if (about != nullptr) PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
    return true;
  });
  g_steps.push_back([] { return FindOtherWindow(g_sheet) == nullptr; });
  g_steps.push_back([] {
    CheckInterlock();
    const std::wstring folder(g_folder.begin(), g_folder.end());
    SetDlgItemTextW(Page(0), IDC_PATH, folder.c_str());
    SetDlgItemTextW(Page(0), IDC_TITLE, L"ui title");
    return true;
  });
  // The output chooser starts in the folder box's folder; a file chosen
  // there shows as its bare name. Two skip folders chosen one after the
  // other stand in the box separated by one semicolon.
  AddButtonSteps(IDC_CHOOSE_OUTPUT,
                 [](HWND d) { return ChooseInFileDialog(d, g_folder + "ui_out.html"); });
  for (const char* sub : {"skip_a", "skip_b"}) {
    const std::string folder = g_folder + sub;
    AddButtonSteps(IDC_BROWSE_SKIP, [folder](HWND browser) {
      return ChooseInFolderBrowser(browser, std::wstring(folder.begin(), folder.end()));
    });
  }
  // The recursion page's third button opens the more-options dialog.
  auto more = std::make_shared<std::wstring>();
  AddChooserSteps(
      [] {
        PostMessageW(Page(2), WM_COMMAND, MAKEWPARAM(IDC_MORE_OPTIONS, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Item(2, IDC_MORE_OPTIONS)));
      },
      [more](HWND dialog) {
        *more = WindowTextW(dialog);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
      });
  g_steps.push_back([more] {
    Check(*more == L"更多选项", "the more-options button opens its dialog");
    return true;
  });
  g_steps.push_back([] {
    Check(ItemTextW(Page(0), IDC_OUTPUT_FILENAME) == L"ui_out.html",
          "a page chosen in the folder shows as its bare name");
    const std::string skip = g_folder + "skip_a;" + g_folder + "skip_b";
    const std::wstring shown = ItemTextW(Page(0), IDC_SKIP_FOLDERS);
    Check(shown == std::wstring(skip.begin(), skip.end()),
          "two skip folders chosen, one semicolon between them (shown: " +
              std::string(shown.begin(), shown.end()) + ")");
    return true;
  });
  AddFileDialogSteps(VK_F7, g_folder + "ui_build.bat");
  AddFileDialogSteps(VK_F9, g_folder + "ui_saved.ini");
  // A command goes on a little after its dialog has gone.
  g_steps.push_back([] { return WindowTextW(g_sheet) == L"vellora v4.6 - ui_saved.ini" || g_ticks_in_step > 20; });
  g_steps.push_back([] {
    const std::string batch = ReadWholeFile(g_folder + "ui_build.bat");
    const std::string config = ReadWholeFile(g_folder + "ui_buildbat.ini");
    Check(batch.rfind("vellora.exe " + g_folder + "ui_buildbat.ini", 0) == 0 &&
              config.find("title=ui title") != std::string::npos,
          "F7 wrote the batch file and its configuration");
    const std::string saved = ReadWholeFile(g_folder + "ui_saved.ini");
    Check(saved.find("title=ui title") != std::string::npos, "F9 wrote the configuration");
    Check(WindowTextW(g_sheet) == L"vellora v4.6 - ui_saved.ini", "the caption names it");
    return true;
  });
  // A configuration whose all-in-one-file flag clears the per-folder one.
  AddFileDialogSteps(VK_F8, g_folder + "ui_single.ini");
  g_steps.push_back([] { return ItemTextW(Page(0), IDC_TITLE) == L"single" || g_ticks_in_step > 20; });
  g_steps.push_back([] {
    Check(Checked(2, IDC_ALL_IN_ONE_FILE) && !Checked(2, IDC_FRAMED_SITE) &&
              !Checked(2, IDC_ONE_PAGE_PER_FOLDER) &&
              ItemTextW(Page(0), IDC_TITLE) == L"single",
          "F8 read the configuration: all links in one file selected");
    SetDlgItemTextW(Page(0), IDC_PATH, L"C:\\vellora_ui_test");
    PropSheet_SetCurSel(g_sheet, nullptr, 2);
    HWND focus = Item(2, IDC_RECURSIVE_BUILD);
    SetFocus(focus);
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    return true;
  });
  g_steps.push_back([] { return g_ticks_in_step > 30; });  // the sheet closes before this
  g_steps.push_back([] {
    Check(false, "Esc closes the sheet");
    PostMessageW(g_sheet, WM_COMMAND, IDCANCEL, 0);
    return true;
  });
}

void WriteText(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int main(int argc, char** argv) {
  SetShotPrefix(argc > 1 ? argv[1] : "");
  g_folder = ProgramFolder();
  for (const char* left : {"ui_build.bat", "ui_buildbat.ini", "ui_saved.ini"}) {
    DeleteFileA((g_folder + left).c_str());
  }
  WriteText(g_folder + "vellora.ini",
            "[VELLORA]\r\nrecursive_build=TRUE\r\nbuild_framed_site=TRUE\r\n");
  WriteText(g_folder + "ui_out.html", "<html></html>");
  CreateDirectoryA((g_folder + "skip_a").c_str(), nullptr);
  CreateDirectoryA((g_folder + "skip_b").c_str(), nullptr);
  WriteText(g_folder + "ui_single.ini",
            "[VELLORA]\r\ntitle=single\r\nrecursive_build_single_file=TRUE\r\n"
            "multi_recurse_link=TRUE\r\nbuild_framed_site=FALSE\r\n");
  BuildSession();
  const int shown = vellora::RunWin32Sheet(vellora::Env::Default(), [](HWND sheet) {
    g_sheet = sheet;
    SetTimer(nullptr, 0, 150, Tick);
  });
  Check(shown == 0 && g_sheet != nullptr, "the sheet opened on the display");
  const std::string ini = ReadWholeFile(g_folder + "vellora.ini");
  Check(ini.find("path=C:\\vellora_ui_test") != std::string::npos &&
            ini.find("active_page=2") != std::string::npos,
        "Esc saved the folder box and the page shown");

  // The next start opens on that page.
  int page_at_start = -1;
  vellora::RunWin32Sheet(vellora::Env::Default(), [&page_at_start](HWND sheet) {
    page_at_start = PropSheet_HwndToIndex(sheet, PropSheet_GetCurrentPageHwnd(sheet));
    PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
  });
  Check(page_at_start == 2, "the page shown last comes back at the next start");
  return Finish();
}
