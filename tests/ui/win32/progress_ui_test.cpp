// The progress window under a display. A build that runs until cancelled:
// the lines of its reports in either code page, the bar read back from the
// screen against the band function, Cancel. Then a build of a small tree
// through the settings window, up to the file-created notice and the page.
// Usage: vellora_win32_progress_ui_test SHOT_PREFIX   (run from the program folder)
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <atomic>
#include <fstream>
#include <string>
#include <vector>

#include "ui/win32/win32_desktop.h"
#include "platform/env.h"
#include "sheet/progress_bands.h"
#include "sheet/sheet.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32_sheet.h"
#include "ui_test_support.h"

namespace {

using namespace vellora_ui_test;

const wchar_t kCaption[] = L"创建 HTML 文件";

uint32_t Rgb(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

// Every pixel outside the text's columns (the middle 48) shows its band or
// the button face. The smoothed text blends: over the rest it is never
// lighter than the face, and over the fill the light caption text shows
// (no band has all three channels high).
void CheckBar(HWND bar, int high, int position, const std::string& what) {
  const Pixels p = GrabClient(bar);
  const int filled = vellora::ProgressFilledLength(0, high, position, p.width);
  const uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
  std::vector<uint32_t> expected(static_cast<size_t>(p.width), face);
  // The runner's display has true colour.
  for (const auto& band : vellora::ProgressBands(vellora::ProgressBarStops(), filled, {})) {
    const auto& c = band.colour;
    for (int x = band.start; x < band.end; ++x) expected[x] = c.red << 16 | c.green << 8 | c.blue;
  }
  const auto above = [](uint32_t a, uint32_t limit, int margin) {
    int n = 0;
    for (int s : {0, 8, 16}) n += int(a >> s & 0xFF) > int(limit >> s & 0xFF) + margin;
    return n;
  };
  const int text_left = p.width / 2 - 24, text_right = p.width / 2 + 24;
  int wrong = 0, text = 0, light = 0, misplaced = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const uint32_t at = p.At(x, y);
      const bool differs = at != expected[static_cast<size_t>(x)];
      if (x < text_left || x >= text_right) {
        wrong += differs;
      } else {
        text += differs;
        if (x < filled) light += above(at, 0xC8C8C8, 0) == 3;
        if (x >= filled) misplaced += above(at, face, 8) > 0;
      }
    }
  }
  Check(p.width > 100 && wrong == 0, what + ": bands and rest, " + std::to_string(wrong) + " off");
  Check(text > 0 && misplaced == 0 && (filled <= text_left) == (light == 0),
        what + ": percentage dark over the rest, light over the fill");
}

// A report of the build (its folder is a path, in the system's code page)
// and the lines it shows.
struct LinesCase {
  int phase, done, total;
  std::wstring folder_line, file_line;
};
const LinesCase kLines[] = {
    {0, 37, 100, L"C:\\Données\\v", L"链接已处理: 37 共 100"},
    {1, 0, 1234, L"文件，文件夹搜索结束", L"正排序 1,234 链接 ..."},
    {0, 0, 100, L"C:\\x", L"链接已处理: 0 共 100"},
    {0, 1, 100, L"C:\\x", L"链接已处理: 1 共 100"},
    {0, 50, 100, L"C:\\x", L"链接已处理: 50 共 100"},
    {0, 100, 100, L"C:\\x", L"链接已处理: 100 共 100"},
};
constexpr int kCases = sizeof kLines / sizeof kLines[0];

vellora::CWin32Desktop* g_desktop = nullptr;
HWND g_progress = nullptr;
int g_tick = 0, g_cancels = 0;
std::atomic<bool> g_cancelled{false}, g_release{false};

void Report(const LinesCase& c) {
  vellora::CBuildProgress p;
  p.phase = c.phase;
  p.links_done = c.done;
  p.links_total = c.total;
  char folder[MAX_PATH] = {};
  WideCharToMultiByte(CP_ACP, 0, c.folder_line.c_str(), -1, folder, MAX_PATH, nullptr, nullptr);
  p.current_folder = folder;
  g_desktop->ShowProgress(vellora::ProgressLinesFor(p));
}

// A report each tick, checked on the next.
VOID CALLBACK ProgressStep(HWND, UINT, UINT_PTR, DWORD) {
  const int tick = g_tick++;
  if (tick == 0) {
    g_progress = FindDialog(kCaption);
    Check(g_progress != nullptr && ItemTextW(g_progress, IDC_PROGRESS_BAR_LABEL) == L"百分比:",
          "the progress window opens");
    if (g_progress != nullptr) Report(kLines[0]);
    return;
  }
  if (g_progress == nullptr || tick > kCases + 2) {
    g_release = true;
    return;
  }
  HWND bar = GetDlgItem(g_progress, IDC_PROGRESS_BAR);
  if (tick <= kCases) {
    const LinesCase& c = kLines[tick - 1];
    const std::string what = std::to_string(c.done) + " of " + std::to_string(c.total);
    Check(ItemTextW(g_progress, IDC_PROGRESS_FOLDER) == c.folder_line &&
              ItemTextW(g_progress, IDC_PROGRESS_FILE) == c.file_line,
          what + ": Folder and File lines");
    if (c.phase != 1) CheckBar(bar, c.total, c.done, what);
    if (c.done == 37 || c.done == 50) SaveShot(g_progress, "progress" + std::to_string(c.done));
    if (tick < kCases) Report(kLines[tick]);
    // Bounds moved under the position: it lies outside them.
    if (tick == kCases) SendMessageW(bar, PBM_SETPOS, 90, 0);
    if (tick == kCases) SendMessageW(bar, PBM_SETRANGE32, 0, 60);
  } else if (tick == kCases + 1) {
    CheckBar(bar, 60, 90, "position above the bounds");
    SendMessageW(GetDlgItem(g_progress, IDCANCEL), BM_CLICK, 0, 0);
    PostMessageW(g_progress, WM_KEYDOWN, VK_ESCAPE, 0);
  } else {
    Check(ItemTextW(g_progress, IDCANCEL) == L"正在取消...", "Cancel shows the build stopping");
    SaveShot(g_progress, "progress_cancelling");
    g_release = true;
  }
}

void CheckCancelledBuild() {
  // Light caption text, as in the system's default colours: the percentage
  // is drawn twice.
  const int element = COLOR_CAPTIONTEXT;
  const COLORREF caption_text = GetSysColor(element), white = RGB(255, 255, 255);
  SetSysColors(1, &element, &white);
  vellora::CWin32Desktop desktop;
  g_desktop = &desktop;
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                               240, 120, nullptr, nullptr, nullptr, nullptr);
  desktop.SetOwner(owner);
  bool owner_disabled = false, ended = false;
  vellora::CBuildRun run;
  run.work = [&] {
    owner_disabled = !IsWindowEnabled(owner);
    for (int waited = 0; !(g_cancelled && g_release) && waited < 30000; waited += 10) Sleep(10);
    ended = g_cancelled;
  };
  run.cancel = [] { g_cancelled = ++g_cancels > 0; };
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, ProgressStep);
  desktop.RunBuild(run);
  KillTimer(nullptr, timer);
  Check(ended && g_cancels == 1, "Cancel and Esc stop the build with one cancel");
  Check(owner_disabled && IsWindowEnabled(owner) && FindDialog(kCaption) == nullptr,
        "the owner is disabled during the build, enabled and alone after it");
  DestroyWindow(owner);
  SetSysColors(1, &element, &caption_text);
}

HWND g_sheet = nullptr;
std::string g_tree;
int g_sheet_tick = 0;
std::wstring g_notice;  // the file-created notice's texts, one a line

BOOL CALLBACK CollectText(HWND child, LPARAM) {
  g_notice += WindowTextW(child) + L"\n";
  return TRUE;
}

// Build through the sheet, then read and close the notice.
VOID CALLBACK SheetStep(HWND, UINT, UINT_PTR timer, DWORD) {
  if (g_sheet_tick++ == 0) {
    SetWindowTextA(GetDlgItem(PropSheet_IndexToHwnd(g_sheet, 0), IDC_PATH), g_tree.c_str());
    PostMessageW(g_sheet, WM_COMMAND, IDOK, 0);
    return;
  }
  // A dialog of its own, or a message box captioned "vellora".
  HWND notice = FindDialog(L"HTML 文件创建成功");
  if (notice == nullptr) notice = FindDialog(L"vellora");
  if (!g_notice.empty() || g_sheet_tick > 40) {
    // The sheet ignores Exit while a command runs: it goes after the notice.
    Check(!g_notice.empty(), "the build ends with the file-created notice");
    KillTimer(nullptr, timer);
    return (void)PostMessageW(g_sheet, WM_COMMAND, IDCANCEL, 0);
  }
  if (notice == nullptr) return;
  Check(FindDialog(kCaption) == nullptr, "the progress window is gone before the notice");
  EnumChildWindows(notice, CollectText, 0);
  SaveShot(notice, "file_created");
  wchar_t path[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, (g_tree + "\\index.html\n").c_str(), -1, path, MAX_PATH);
  // The ANSI message box shows the program's texts right in code page 936 only.
  const std::wstring count = GetACP() == 936 ? L"1 文件 已创建\n" : L"1 ";
  Check(g_notice.find(count) != std::wstring::npos && g_notice.find(path) != std::wstring::npos,
        "the notice names one page and its path");
  PostMessageW(notice, WM_COMMAND, IDOK, 0);
}

void CheckBuildThroughSheet() {
  g_tree = ProgramFolder() + "tree";
  CreateDirectoryA(g_tree.c_str(), nullptr);
  for (const char* name : {"alpha.txt", "beta.txt"}) std::ofstream(g_tree + "\\" + name) << name;
  vellora::RunWin32Sheet(vellora::Env::Default(), [](HWND sheet) {
    g_sheet = sheet;
    SetTimer(nullptr, 0, 300, SheetStep);
  });
  const std::string page = ReadWholeFile(g_tree + "\\index.html");
  Check(page.find("alpha.txt") != std::string::npos && page.find("beta.txt") != std::string::npos,
        "the page lists the tree's files");
}

}  // namespace

int main(int argc, char** argv) {
  // A build changes the current folder: pictures go to the program's.
  SetShotPrefix(ProgramFolder() + (argc > 1 ? argv[1] : ""));
  DeleteFileA("vellora.ini");
  CheckCancelledBuild();
  CheckBuildThroughSheet();
  return Finish();
}
