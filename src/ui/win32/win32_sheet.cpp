#include "ui/win32/win32_sheet.h"
// Before any header of the sheet: it takes back the name MessageBox.
#include "ui/win32/win32_desktop.h"

#include <commctrl.h>
#include <objbase.h>
#include <prsht.h>

#include <memory>
#include <string>

#include "settings/controls.h"
#include "settings/main_sheet.h"
#include "sheet/page_texts.h"
#include "sheet/sheet.h"
#include "ui/win32/icon_button.h"
#include "ui/win32/page_tooltips.h"
#include "ui/win32/resource.h"
#include "ui/win32/text_conversion.h"
#include "ui/win32/tiled_background.h"
#include "ui/win32/transparent_group_box.h"

namespace vellora {

namespace {

// Where each value-holding control sits in the page templates.
struct ControlItem {
  ControlId id;
  int item;
};

const ControlItem kControlItems[] = {
    {ControlId::kPath, IDC_PATH},
    {ControlId::kFileSpec, IDC_FILE_SPEC},
    {ControlId::kOutputFilename, IDC_OUTPUT_FILENAME},
    {ControlId::kTitle, IDC_TITLE},
    {ControlId::kCustomHtmlFilename, IDC_CUSTOM_HTML},
    {ControlId::kSkipFiles, IDC_SKIP_FILES},
    {ControlId::kSkipFolders, IDC_SKIP_FOLDERS},
    {ControlId::kIncludeFilesize, IDC_INCLUDE_FILESIZE},
    {ControlId::kIncludeDate, IDC_INCLUDE_DATE},
    {ControlId::kIncludeTime, IDC_INCLUDE_TIME},
    {ControlId::kIncludeSummary, IDC_INCLUDE_SUMMARY},
    {ControlId::kIncludeSubfolders, IDC_INCLUDE_SUBFOLDERS},
    {ControlId::kSupressParentLink, IDC_SUPRESS_PARENT_LINK},
    {ControlId::kShowFolderNames, IDC_SHOW_FOLDER_NAMES},
    {ControlId::kSizesByK, IDC_SIZES_BY_K},
    {ControlId::kSupressHeaders, IDC_SUPRESS_HEADERS},
    {ControlId::kSuppressExtensions, IDC_SUPPRESS_EXTENSIONS},
    {ControlId::kSuppressVisibleLinks, IDC_SUPPRESS_VISIBLE_LINKS},
    {ControlId::kEuroDateStyle, IDC_EURO_DATE_STYLE},
    {ControlId::kUseHtmlTitlesForLinks, IDC_USE_HTML_TITLES},
    {ControlId::kFullPathnameLinks, IDC_FULL_PATHNAME_LINKS},
    {ControlId::kReplaceIsoChars, IDC_REPLACE_ISO_CHARS},
    {ControlId::kHref20, IDC_HREF20},
    {ControlId::kXmlCompliant, IDC_XML_COMPLIANT},
    {ControlId::kInsertCommas, IDC_INSERT_COMMAS},
    {ControlId::kNonFunctionalLinks, IDC_NON_FUNCTIONAL_LINKS},
    {ControlId::kRecursiveBuild, IDC_RECURSIVE_BUILD},
    {ControlId::kOnePagePerFolder, IDC_ONE_PAGE_PER_FOLDER},
    {ControlId::kAllInOneFile, IDC_ALL_IN_ONE_FILE},
    {ControlId::kFramedSite, IDC_FRAMED_SITE},
    {ControlId::kFolderAnchors, IDC_FOLDER_ANCHORS},
    {ControlId::kFileColumns, IDC_FILE_COLUMNS},
    {ControlId::kFolderColumns, IDC_FOLDER_COLUMNS},
};

// The chooser button beside each box that has one.
const ControlItem kChooserItems[] = {
    {ControlId::kPath, IDC_BROWSE_FOLDER},
    {ControlId::kOutputFilename, IDC_CHOOSE_OUTPUT},
    {ControlId::kCustomHtmlFilename, IDC_CHOOSE_CUSTOM},
    {ControlId::kSkipFolders, IDC_BROWSE_SKIP},
};

// The page buttons and the commands they share with the function keys.
struct ButtonCommand {
  int item;
  SheetCommand command;
};

const ButtonCommand kButtonCommands[] = {
    {IDC_SORT_OPTIONS, SheetCommand::kSortOptions},
    {IDC_DEFAULT_WORDS, SheetCommand::kDefaultWords},
    {IDC_MORE_OPTIONS, SheetCommand::kMoreOptions},
    {IDC_OPEN_OUTPUT, SheetCommand::kOpenOutputFile},
    {IDC_EDIT_CUSTOM, SheetCommand::kEditCustomHtml},
    {IDC_SAVE_BATCH, SheetCommand::kSaveBatchFile},
    {IDC_READ_CONFIG, SheetCommand::kReadConfiguration},
    {IDC_WRITE_CONFIG, SheetCommand::kWriteConfiguration},
    {IDC_CHANGE_BACKGROUND, SheetCommand::kChangeBackground},
    {IDC_HELP_CONTENTS, SheetCommand::kHelp},
    {IDC_ABOUT, SheetCommand::kAbout},
    {IDC_LICENSE, SheetCommand::kDistributionTerms},
};

// How each page button looks: flat or raised, its "in" icon (hovered or
// pressed) and its "out" icon (otherwise; 0: the "in" icon always).
struct ButtonLook {
  int item;
  bool flat;
  int in_icon;
  int out_icon;
};

const ButtonLook kButtonLooks[] = {
    {IDC_BROWSE_FOLDER, true, IDI_FOLDER_OPEN, IDI_FOLDER_CLOSED},
    {IDC_CHOOSE_OUTPUT, false, 0, 0},
    {IDC_CHOOSE_CUSTOM, false, 0, 0},
    {IDC_BROWSE_SKIP, false, 0, 0},
    {IDC_SORT_OPTIONS, false, IDI_SORT, 0},
    {IDC_DEFAULT_WORDS, false, IDI_WORDS, 0},
    {IDC_MORE_OPTIONS, false, IDI_OPTIONS, 0},
    {IDC_OPEN_OUTPUT, false, IDI_BROWSER, 0},
    {IDC_EDIT_CUSTOM, false, IDI_TABLET, 0},
    {IDC_SAVE_BATCH, false, IDI_BATCH, 0},
    {IDC_READ_CONFIG, false, IDI_CONFIG_READ, 0},
    {IDC_WRITE_CONFIG, false, IDI_CONFIG_WRITE, 0},
    {IDC_CHANGE_BACKGROUND, false, IDI_BRUSH, 0},
    {IDC_HELP_CONTENTS, false, IDI_HELP, 0},
    {IDC_ABOUT, false, IDI_VELLORA, 0},
    {IDC_LICENSE, false, IDI_ID_CARD, 0},
};

const int kPageTemplates[kPageCount] = {IDD_FOLDER_FILES, IDD_MISC, IDD_RECURSION,
                                        IDD_INPUT_OUTPUT, IDD_HELP_PAGE};
constexpr UINT kAboutCommand = 16;

// The one open sheet (the window is modal, so there is at most one).
struct SheetWindow {
  CSheetModel* model = nullptr;
  CWin32Desktop* desktop = nullptr;
  HWND sheet = nullptr;
  HWND pages[kPageCount] = {};
  WNDPROC sheet_proc = nullptr;
  HHOOK hook = nullptr;
  bool busy = false;  // a command runs: keys go to its dialogs
  bool shown = false;  // the sheet's window was created
  // The background each page loaded when it was created; the pages keep
  // it until the sheet closes, whatever the configuration says later.
  std::string background_file;
  std::unique_ptr<CTiledBackground> backgrounds[kPageCount];
  bool painted[kPageCount] = {};  // the page's tiles were drawn
  HICON big_icon = nullptr;
  SheetOpenedHook opened;
};
SheetWindow g_window;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

std::string ItemText(HWND page, int item) {
  HWND control = GetDlgItem(page, item);
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(control, &text[0], length + 1);
  text.resize(static_cast<size_t>(length));
  return text.c_str();
}

// Shows the model's controls on the pages that exist.
void PushControls() {
  const CControlValues& values = g_window.model->controls;
  for (const ControlItem& c : kControlItems) {
    HWND page = g_window.pages[ControlInfo(c.id).page];
    if (page == nullptr) continue;
    switch (ControlInfo(c.id).kind) {
      case ControlKind::kEditBox:
        SetDlgItemTextA(page, c.item, values.Text(c.id).c_str());
        break;
      case ControlKind::kCheckBox:
      case ControlKind::kRadio:
        CheckDlgButton(page, c.item, values.Checked(c.id) ? BST_CHECKED : BST_UNCHECKED);
        break;
      case ControlKind::kList:
        SendDlgItemMessageA(page, c.item, CB_SETCURSEL,
                            static_cast<WPARAM>(values.Selection(c.id)), 0);
        break;
    }
  }
}

// Reads the pages' controls into the model.
void ReadControls() {
  CControlValues& values = g_window.model->controls;
  for (const ControlItem& c : kControlItems) {
    HWND page = g_window.pages[ControlInfo(c.id).page];
    if (page == nullptr) continue;
    switch (ControlInfo(c.id).kind) {
      case ControlKind::kEditBox:
        values.SetText(c.id, ItemText(page, c.item));
        break;
      case ControlKind::kCheckBox:
        values.SetChecked(c.id, IsDlgButtonChecked(page, c.item) == BST_CHECKED);
        break;
      case ControlKind::kRadio:
        if (IsDlgButtonChecked(page, c.item) == BST_CHECKED) values.SetChecked(c.id, true);
        break;
      case ControlKind::kList: {
        const LRESULT entry = SendDlgItemMessageA(page, c.item, CB_GETCURSEL, 0, 0);
        if (entry >= 0) values.SetSelection(c.id, static_cast<int32_t>(entry));
        break;
      }
    }
  }
}

// Runs a model operation between a read-back and a refresh of the pages.
template <typename Operation>
void RunOnModel(Operation operation) {
  if (g_window.busy) return;
  g_window.busy = true;
  ReadControls();
  operation(*g_window.model);
  PushControls();
  SetWindowTextA(g_window.sheet, g_window.model->Title().c_str());
  g_window.busy = false;
}

int FunctionKeyNumber(WPARAM key) {
  if (key >= VK_F1 && key <= VK_F12) return static_cast<int>(key - VK_F1) + 1;
  return 0;
}

bool InSheet(HWND window) {
  return window != nullptr &&
         (window == g_window.sheet || IsChild(g_window.sheet, window) != FALSE);
}

// Function keys are taken before any control of the sheet sees them; so is
// Ctrl+A in an edit box, which selects the whole text.
LRESULT CALLBACK GetMessageHook(int code, WPARAM remove, LPARAM param) {
  MSG* message = reinterpret_cast<MSG*>(param);
  if (code == HC_ACTION && remove == PM_REMOVE && message->message == WM_KEYDOWN &&
      !g_window.busy && InSheet(message->hwnd)) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const int function_key = FunctionKeyNumber(message->wParam);
    if (function_key != 0) {
      bool handled = false;
      RunOnModel([&](CSheetModel& model) { handled = model.OnFunctionKey(function_key, ctrl); });
      if (handled) message->message = WM_NULL;
    } else if (ctrl && message->wParam == 'A') {
      char name[16] = {};
      GetClassNameA(message->hwnd, name, sizeof name);
      if (lstrcmpiA(name, "Edit") == 0) {
        SendMessageA(message->hwnd, EM_SETSEL, 0, -1);
        SendMessageA(message->hwnd, EM_SCROLLCARET, 0, 0);
        message->message = WM_NULL;
      }
    }
  }
  return CallNextHookEx(g_window.hook, code, remove, param);
}

void RunButton(int item) {
  for (const ButtonCommand& b : kButtonCommands) {
    if (b.item == item) {
      RunOnModel([&](CSheetModel& model) { model.Run(b.command); });
      return;
    }
  }
  switch (item) {
    case IDC_BROWSE_FOLDER: RunOnModel([](CSheetModel& m) { m.BrowseFolder(); }); break;
    case IDC_BROWSE_SKIP: RunOnModel([](CSheetModel& m) { m.BrowseSkipFolder(); }); break;
    case IDC_CHOOSE_OUTPUT: RunOnModel([](CSheetModel& m) { m.ChooseOutputFile(); }); break;
    case IDC_CHOOSE_CUSTOM: RunOnModel([](CSheetModel& m) { m.ChooseCustomFile(); }); break;
    case IDC_INCLUDE_DATE:
      RunOnModel([](CSheetModel& m) { m.SetIncludeDate(m.controls.include_date != 0); });
      break;
    case IDC_INCLUDE_TIME:
      RunOnModel([](CSheetModel& m) { m.SetIncludeTime(m.controls.include_time != 0); });
      break;
    default: break;
  }
}

int PageIndex(HWND page) {
  for (int i = 0; i < kPageCount; ++i) {
    if (g_window.pages[i] == page) return i;
  }
  return -1;
}

// The page's tooltips, for the whole of each control, shown after
// `kTooltipInitialDelay` and for the page's display time.
void AddTooltips(HWND page, int index) {
  HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page,
                              nullptr, Instance(), nullptr);
  if (tips == nullptr) return;
  // The tooltip control keeps a copy of each text.
  const auto add = [&](int on_page, int item, const char* text) {
    HWND control = GetDlgItem(page, item);
    if (on_page != index || control == nullptr || text == nullptr) return;
    std::wstring wide = WideFromText(text);
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = page;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = &wide[0];
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  };
  for (const ControlItem& c : kControlItems) {
    add(ControlInfo(c.id).page, c.item, kControlTexts[static_cast<int>(c.id)].tooltip);
  }
  for (const ControlItem& c : kChooserItems) {
    add(ControlInfo(c.id).page, c.item, kControlTexts[static_cast<int>(c.id)].button_tooltip);
  }
  for (const ButtonCommand& b : kButtonCommands) {
    for (size_t i = 0; i < kButtonCount; ++i) {
      const CButtonText& text = kButtonTexts[i];
      if (text.command == b.command) add(text.page, b.item, text.tooltip);
    }
  }
  // Long texts wrap instead of running off the screen.
  SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 400);
  SendMessageW(tips, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(kTooltipInitialDelay, 0));
  SendMessageW(tips, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(TooltipDisplayTime(index), 0));
  SendMessageW(tips, TTM_ACTIVATE, TRUE, 0);
}

// The page's background, buttons, group box and tooltips.
void DecoratePage(HWND page, int index) {
  g_window.backgrounds[index] = std::make_unique<CTiledBackground>();
  g_window.backgrounds[index]->Load(g_window.background_file);
  for (const ButtonLook& look : kButtonLooks) {
    CIconButton* button = CIconButton::Attach(page, look.item);
    if (button == nullptr) continue;
    button->SetFlat(look.flat, false);
    button->SetIcon(look.in_icon, look.out_icon);
  }
  CTransparentGroupBox::Attach(page, IDC_RECURSION_GROUP);
  AddTooltips(page, index);
}

// The buttons take the painted page as their face: switched on once the
// page's first paint has drawn its tiles (under the buttons too), so that
// every capture finds them; the buttons then draw again.
void OnFirstTiles(HWND page) {
  for (const ButtonLook& look : kButtonLooks) {
    CIconButton* button = CIconButton::FromWindow(GetDlgItem(page, look.item));
    if (button != nullptr) button->DrawTransparent(true);
  }
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto* sheet_page = reinterpret_cast<const PROPSHEETPAGEW*>(lparam);
      const int index = static_cast<int>(sheet_page->lParam);
      g_window.pages[index] = page;
      SetWindowLongPtrW(page, GWLP_USERDATA, index);
      DecoratePage(page, index);
      for (int list : {IDC_FILE_COLUMNS, IDC_FOLDER_COLUMNS}) {
        if (GetDlgItem(page, list) == nullptr) continue;
        for (int n = 1; n <= kColumnListEntries; ++n) {
          SendDlgItemMessageA(page, list, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(std::to_string(n).c_str()));
        }
      }
      for (int box : {IDC_PATH, IDC_SKIP_FOLDERS}) {
        SendDlgItemMessageA(page, box, EM_LIMITTEXT, 1000, 0);
      }
      return TRUE;
    }
    case WM_ERASEBKGND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      const int index = PageIndex(page);
      INT_PTR result = FALSE;
      if (index < 0 || g_window.backgrounds[index] == nullptr ||
          !g_window.backgrounds[index]->HandleMessage(page, message, wparam, lparam, &result)) {
        return FALSE;
      }
      if (message == WM_ERASEBKGND && !g_window.painted[index] &&
          WindowFromDC(reinterpret_cast<HDC>(wparam)) == page) {
        g_window.painted[index] = true;
        OnFirstTiles(page);
      }
      return result;
    }
    case WM_DRAWITEM:
      if (!CIconButton::RelayDrawItem(lparam)) return FALSE;
      SetWindowLongPtrW(page, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) RunButton(LOWORD(wparam));
      return TRUE;
    case WM_HELP:
      // F1 alone (Ctrl+F1 was taken as a key already): the help document.
      if (GetKeyState(VK_CONTROL) >= 0) RunOnModel([](CSheetModel& m) { m.Help(); });
      SetWindowLongPtrW(page, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lparam)->code == PSN_SETACTIVE) {
        g_window.model->controls.active_page =
            static_cast<int>(GetWindowLongPtrW(page, GWLP_USERDATA));
      }
      return FALSE;
    default:
      return FALSE;
  }
}

BOOL CALLBACK TellSystemColorChange(HWND child, LPARAM) {
  SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

// The sheet's own window: Build instead of closing on OK, saving on every
// way out, and the About item of the system menu.
LRESULT CALLBACK SheetProc(HWND sheet, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && LOWORD(wparam) == IDOK && HIWORD(wparam) == BN_CLICKED) {
    RunOnModel([](CSheetModel& m) { m.Build(); });
    return 0;
  }
  if ((message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) || message == WM_CLOSE) {
    if (g_window.busy) return 0;
    ReadControls();
    g_window.model->Exit();
  }
  if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == kAboutCommand) {
    RunOnModel([](CSheetModel& m) { m.About(); });
    return 0;
  }
  // Minimised, the sheet shows its large icon, also when dragged.
  if (message == WM_QUERYDRAGICON) return reinterpret_cast<LRESULT>(g_window.big_icon);
  if (message == WM_PAINT && IsIconic(sheet)) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(sheet, &paint);
    SendMessageW(sheet, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(sheet, &client);
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    DrawIcon(dc, (client.right - cx + 1) / 2, (client.bottom - cy + 1) / 2, g_window.big_icon);
    EndPaint(sheet, &paint);
    return 0;
  }
  // Only top-level windows hear of new system colours; the buttons keep a
  // picture of the page that must be taken again.
  if (message == WM_SYSCOLORCHANGE) {
    EnumChildWindows(sheet, TellSystemColorChange, 0);
  }
  return CallWindowProcW(g_window.sheet_proc, sheet, message, wparam, lparam);
}

void SetUpSheetWindow(HWND sheet) {
  g_window.sheet = sheet;
  g_window.shown = true;
  g_window.desktop->SetOwner(sheet);
  HICON big = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_VELLORA),
                                            IMAGE_ICON, 32, 32, 0));
  HICON small = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_VELLORA),
                                              IMAGE_ICON, 16, 16, 0));
  g_window.big_icon = big;
  SendMessageW(sheet, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(sheet, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  SetWindowLongPtrW(sheet, GWL_STYLE, GetWindowLongPtrW(sheet, GWL_STYLE) | WS_MINIMIZEBOX);
  HMENU menu = GetSystemMenu(sheet, FALSE);
  if (menu != nullptr) {
    for (UINT position : {0u, 2u, 4u}) EnableMenuItem(menu, position, MF_BYPOSITION | MF_GRAYED);
    AppendMenuW(menu, MF_STRING, kAboutCommand, L"关于 vellora");
  }
  ShowWindow(GetDlgItem(sheet, IDHELP), SW_HIDE);
  SetDlgItemTextW(sheet, IDOK, L"创建(&B) F3");
  SetDlgItemTextW(sheet, IDCANCEL, L"退出(&X)");
  g_window.sheet_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetProc)));

  // Every page is created now, so that the model's values reach all of
  // them and every control can be read back; then the last page shown.
  g_window.model->Open();
  const int active = g_window.model->controls.active_page;
  for (int page = 0; page < kPageCount; ++page) PropSheet_SetCurSel(sheet, nullptr, page);
  PushControls();
  PropSheet_SetCurSel(sheet, nullptr, active);
  g_window.model->controls.active_page = active;
  SetWindowTextA(sheet, g_window.model->Title().c_str());
}

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED) {
    SetUpSheetWindow(sheet);
    if (g_window.opened) g_window.opened(sheet);
  }
  return 0;
}

}  // namespace

int RunWin32Sheet(Env* env, const SheetOpenedHook& opened) {
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&init);
  CoInitialize(nullptr);

  CMainSheet stored(env);
  CWin32Desktop desktop;
  CSheetModel model(&stored, &desktop);
  g_window = SheetWindow();
  g_window.model = &model;
  g_window.desktop = &desktop;
  g_window.opened = opened;
  g_window.background_file = stored.background_bitmap;

  PROPSHEETPAGEW pages[kPageCount] = {};
  for (int i = 0; i < kPageCount; ++i) {
    pages[i].dwSize = sizeof(PROPSHEETPAGEW);
    pages[i].hInstance = Instance();
    pages[i].pszTemplate = MAKEINTRESOURCEW(kPageTemplates[i]);
    pages[i].pfnDlgProc = PageProc;
    pages[i].lParam = i;
  }
  PROPSHEETHEADERW header = {};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK | PSH_USEICONID;
  header.hInstance = Instance();
  header.pszIcon = MAKEINTRESOURCEW(IDI_VELLORA);
  header.pszCaption = L"vellora v4.6";
  header.nPages = kPageCount;
  header.ppsp = pages;
  header.pfnCallback = SheetCallback;

  g_window.hook = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
  // Without a display the sheet ends at once, before its window exists.
  const bool failed = PropertySheetW(&header) < 0 || !g_window.shown;
  if (g_window.hook != nullptr) UnhookWindowsHookEx(g_window.hook);
  g_window = SheetWindow();
  CoUninitialize();
  return failed ? -1 : 0;
}

}  // namespace vellora
