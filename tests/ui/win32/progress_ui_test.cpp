// Drives the progress window of a build under a display. With a build that
// waits until it is cancelled: the Folder and File lines of the build's
// reports (paths and the program's texts, in either code page), the bar's
// colour bands at several positions read back from the screen against the
// band function, and Cancel. Then a build of a small tree through the real
// settings window, up to the file-created notice and the page on disk.
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
#include "scan/build_progress.h"
#include "sheet/progress_bands.h"
#include "sheet/sheet.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32_sheet.h"
#include "ui_test_support.h"

namespace {

using namespace vellora_ui_test;
using vellora::BarColour;

const wchar_t kCaption[] = L"创建 HTML 文件";

std::string Ansi(const std::wstring& wide) {
  char text[512] = {};
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
  return text;
}

uint32_t Rgb(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }
uint32_t Rgb(const BarColour& c) { return c.red << 16 | c.green << 8 | c.blue; }

// The bar as it must look at `position` between `low` and `high`: each band
// of the fill in its colour and the rest in the button face, checked on
// every pixel outside the text's columns. The text is smoothed, so its
// pixels are blends: over the rest they lie between the face and the dark
// button text; over the fill the light caption text (set by the test) shows.
void CheckBar(HWND bar, int low, int high, int position, const std::string& what) {
  const Pixels p = GrabClient(bar);
  const std::string percent = vellora::ProgressPercentText(low, high, position);
  HDC dc = GetDC(bar);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0)));
  SIZE text = {};
  GetTextExtentPoint32A(dc, percent.c_str(), static_cast<int>(percent.size()), &text);
  SelectObject(dc, old);
  vellora::BarDisplay display;
  display.few_colours = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) < 8;
  display.palette = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
  ReleaseDC(bar, dc);
  const int text_left = (p.width - text.cx) / 2 - 2, text_right = (p.width + text.cx) / 2 + 2;

  const int filled = vellora::ProgressFilledLength(low, high, position, p.width);
  const uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
  std::vector<uint32_t> expected(static_cast<size_t>(p.width), face);
  for (const auto& band : vellora::ProgressBands(vellora::ProgressBarStops(), filled, display)) {
    for (int x = band.start; x < band.end; ++x) expected[static_cast<size_t>(x)] = Rgb(band.colour);
  }
  const auto channels_above = [](uint32_t a, uint32_t limit, int margin) {
    int above = 0;
    for (int shift : {0, 8, 16}) {
      above += static_cast<int>((a >> shift) & 0xFF) > static_cast<int>((limit >> shift) & 0xFF) + margin;
    }
    return above;
  };
  int wrong = 0, text_pixels = 0, light = 0, misplaced = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const uint32_t at = p.At(x, y);
      if (x < text_left || x >= text_right) {
        wrong += at != expected[static_cast<size_t>(x)];
        continue;
      }
      text_pixels += at != expected[static_cast<size_t>(x)];
      // No band colour has all three channels high: a pixel that has is text.
      if (x < filled) light += channels_above(at, 0xC8C8C8, 0) == 3;
      if (x >= filled) misplaced += channels_above(at, face, 8) > 0;
    }
  }
  Check(p.width > 100 && wrong == 0,
        what + ": bands and rest (" + std::to_string(wrong) + " pixels differ)");
  Check(text_pixels > 0 && misplaced == 0 && (filled <= text_left) == (light == 0),
        what + ": \"" + percent + "\" dark over the rest, light over the fill");
}

// What the window shows for a report of the build.
struct LinesCase {
  int phase, done, total;
  std::wstring folder;  // the report's folder, a path
  std::wstring folder_line, file_line;
};

const LinesCase kLines[] = {
    {0, 37, 100, L"C:\\Données\\vellora", L"C:\\Données\\vellora", L"链接已处理: 37 共 100"},
    {1, 0, 1234, L"C:\\x", L"文件，文件夹搜索结束", L"正排序 1,234 链接 ..."},
    {0, 0, 100, L"C:\\x", L"C:\\x", L"链接已处理: 0 共 100"},
    {0, 1, 100, L"C:\\x", L"C:\\x", L"链接已处理: 1 共 100"},
    {0, 50, 100, L"C:\\x", L"C:\\x", L"链接已处理: 50 共 100"},
    {0, 100, 100, L"C:\\x", L"C:\\x", L"链接已处理: 100 共 100"},
};
constexpr int kLineCases = sizeof kLines / sizeof kLines[0];

vellora::CWin32Desktop* g_desktop = nullptr;
HWND g_owner = nullptr;
HWND g_progress = nullptr;
int g_tick = 0;
int g_cancels = 0;
std::atomic<bool> g_cancelled{false};
std::atomic<bool> g_release{false};

void Report(const LinesCase& c) {
  vellora::CBuildProgress p;
  p.phase = c.phase;
  p.links_done = c.done;
  p.links_total = c.total;
  p.current_folder = Ansi(c.folder);
  g_desktop->ShowProgress(vellora::ProgressLinesFor(p));
}

// One step a tick: a report, then on the next tick what it shows.
VOID CALLBACK ProgressStep(HWND, UINT, UINT_PTR, DWORD) {
  const int tick = g_tick++;
  if (tick == 0) {
    g_progress = FindDialog(kCaption);
    Check(g_progress != nullptr, "the progress window opens");
    if (g_progress == nullptr) return;
    Check(!IsWindowEnabled(g_owner), "the owner takes no input during the build");
    Check(ItemTextW(g_progress, IDC_PROGRESS_FOLDER_LABEL) == L"文件夹:" &&
              ItemTextW(g_progress, IDC_PROGRESS_FILE_LABEL) == L"文件:" &&
              ItemTextW(g_progress, IDC_PROGRESS_BAR_LABEL) == L"百分比:" &&
              ItemTextW(g_progress, IDCANCEL) == L"取消",
          "labels and Cancel");
    Report(kLines[0]);
  } else if (g_progress != nullptr && tick <= kLineCases) {
    const LinesCase& c = kLines[tick - 1];
    const std::string what = "report " + std::to_string(c.done) + " of " + std::to_string(c.total);
    Check(ItemTextW(g_progress, IDC_PROGRESS_FOLDER) == c.folder_line &&
              ItemTextW(g_progress, IDC_PROGRESS_FILE) == c.file_line,
          what + ": Folder and File lines");
    if (c.phase != 1) CheckBar(GetDlgItem(g_progress, IDC_PROGRESS_BAR), 0, c.total, c.done, what);
    if (c.done == 37 || c.done == 50) SaveShot(g_progress, "progress" + std::to_string(c.done));
    if (tick < kLineCases) {
      Report(kLines[tick]);
    } else {
      // Bounds moved past the position: nothing is filled.
      HWND bar = GetDlgItem(g_progress, IDC_PROGRESS_BAR);
      SendMessageW(bar, PBM_SETPOS, 90, 0);
      SendMessageW(bar, PBM_SETRANGE32, 0, 60);
    }
  } else if (g_progress != nullptr && tick == kLineCases + 1) {
    CheckBar(GetDlgItem(g_progress, IDC_PROGRESS_BAR), 0, 60, 90, "position above the bounds");
    HWND cancel = GetDlgItem(g_progress, IDCANCEL);
    SendMessageW(cancel, BM_CLICK, 0, 0);
    PostMessageW(g_progress, WM_KEYDOWN, VK_ESCAPE, 0);
  } else if (g_progress != nullptr && tick == kLineCases + 2) {
    Check(ItemTextW(g_progress, IDCANCEL) == L"正在取消..." &&
              !IsWindowEnabled(GetDlgItem(g_progress, IDCANCEL)),
          "Cancel shows that the build is stopping");
    SaveShot(g_progress, "progress_cancelling");
    g_release = true;
  } else if (tick > 40) {
    g_release = true;
  }
}

void CheckCancelledBuild() {
  // Light caption text, as in the system's default colours, so that the
  // percentage is drawn twice.
  const int element = COLOR_CAPTIONTEXT;
  const COLORREF caption_text = GetSysColor(element), white = RGB(255, 255, 255);
  SetSysColors(1, &element, &white);
  vellora::CWin32Desktop desktop;
  g_desktop = &desktop;
  g_owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 240,
                            120, nullptr, nullptr, nullptr, nullptr);
  desktop.SetOwner(g_owner);
  vellora::CBuildRun run;
  bool ended = false;
  run.work = [&ended] {
    // Runs until cancelled and released; gives up after half a minute.
    for (int waited = 0; !(g_cancelled && g_release) && waited < 30000; waited += 10) Sleep(10);
    ended = g_cancelled;
  };
  run.cancel = [] {
    ++g_cancels;
    g_cancelled = true;
  };
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, ProgressStep);
  desktop.RunBuild(run);
  KillTimer(nullptr, timer);
  Check(ended && g_cancels == 1, "Cancel and Esc stop the build with one cancel");
  Check(IsWindowEnabled(g_owner) && !IsWindow(g_progress) && FindDialog(kCaption) == nullptr,
        "after the build the owner is enabled and the window gone");
  DestroyWindow(g_owner);
  SetSysColors(1, &element, &caption_text);
}

// The build through the settings window.
HWND g_sheet = nullptr;
std::string g_tree;
int g_sheet_tick = 0;
std::wstring g_notice;  // the file-created notice's texts, one a line

BOOL CALLBACK CollectText(HWND child, LPARAM) {
  g_notice += WindowTextW(child) + L"\n";
  return TRUE;
}

std::wstring Wide(const std::string& ansi) {
  wchar_t text[512] = {};
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, text, 512);
  return text;
}

VOID CALLBACK SheetStep(HWND, UINT, UINT_PTR timer, DWORD) {
  const int tick = g_sheet_tick++;
  if (tick == 0) {
    SetWindowTextA(GetDlgItem(PropSheet_IndexToHwnd(g_sheet, 0), IDC_PATH), g_tree.c_str());
    PostMessageW(g_sheet, WM_COMMAND, IDOK, 0);
    return;
  }
  if (!g_notice.empty()) {
    Check(IsWindowEnabled(g_sheet) && FindDialog(kCaption) == nullptr,
          "after the build the sheet is enabled and the progress window gone");
  } else {
    // The notice: a dialog of its own, or a message box captioned "vellora".
    HWND notice = FindDialog(L"HTML 文件创建成功");
    if (notice == nullptr) notice = FindDialog(L"vellora");
    if (notice == nullptr && tick < 40) return;
    Check(notice != nullptr, "the build ends with the file-created notice");
    if (notice != nullptr) {
      EnumChildWindows(notice, CollectText, 0);
      SaveShot(notice, "file_created");
      PostMessageW(notice, WM_COMMAND, IDOK, 0);
      const std::wstring path = Wide(g_tree) + L"\\index.html";
      // Through the ANSI message box the program's texts read right in
      // code page 936 only; the count and the path read right in both.
      const std::wstring count = GetACP() == 936 ? L"1 文件 已创建\n" : L"1 ";
      Check(g_notice.find(count) != std::wstring::npos &&
                g_notice.find(path + L"\n") != std::wstring::npos,
            "the notice names one page and its path");
      return;
    }
  }
  KillTimer(nullptr, timer);
  PostMessageW(g_sheet, WM_COMMAND, IDCANCEL, 0);
}

void CheckBuildThroughSheet() {
  g_tree = ProgramFolder() + "tree";
  CreateDirectoryA(g_tree.c_str(), nullptr);
  for (const char* name : {"alpha.txt", "beta.txt"}) {
    std::ofstream(g_tree + "\\" + name) << name;
  }
  const int shown = vellora::RunWin32Sheet(vellora::Env::Default(), [](HWND sheet) {
    g_sheet = sheet;
    SetTimer(nullptr, 0, 300, SheetStep);
  });
  Check(shown == 0, "the sheet opened");
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
