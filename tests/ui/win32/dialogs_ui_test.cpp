// Opens each modal dialog of the settings window through the Windows
// desktop with a model, drives it from a timer (found by caption; controls
// read, set and clicked) and checks what reaches the model. Saves a picture
// of each dialog.
// Usage: vellora_win32_dialogs_ui_test SHOT_PREFIX   (run from the program folder)
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <prsht.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/env.h"
#include "settings/build_settings.h"
#include "sheet/option_dialogs.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32_desktop.h"
#include "ui/win32/win32_sheet.h"
#include "ui_test_support.h"

namespace {

using namespace vellora;
using namespace vellora_ui_test;

// One step a tick on the open dialog, the first once it has painted.
using Step = std::function<void(HWND dialog)>;
struct Driver {
  std::wstring caption;
  std::vector<Step> steps;
  size_t next = 0;
  int idle = 0;     // ticks since the last step
  int missing = 0;  // ticks before the dialog opened
};
Driver g_driver;

VOID CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (g_driver.caption.empty()) return;
  HWND dialog = FindDialog(g_driver.caption);
  if (dialog == nullptr && g_driver.next == 0 && ++g_driver.missing == 50) {
    // Whatever should have opened it waits for ever: close that.
    Check(false, "the dialog opened");
    PostMessageW(FindOtherWindow(nullptr), WM_COMMAND, IDCANCEL, 0);
  }
  if (dialog == nullptr || ++g_driver.idle < 3) return;
  if (g_driver.next < g_driver.steps.size()) {
    g_driver.idle = 0;
    g_driver.steps[g_driver.next++](dialog);
  } else if (g_driver.idle > 30) {
    Check(false, "the dialog closed after its last step");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }
}

// Runs `open` (which returns when the dialog has ended) while the steps
// drive the dialog of that caption.
void Drive(const std::wstring& caption, const std::string& name, std::vector<Step> steps,
           const std::function<void()>& open) {
  g_driver = Driver{caption, std::move(steps)};
  open();
  Check(g_driver.next == g_driver.steps.size(), name + ": every step ran");
  g_driver = Driver();
}

// "1" for each checked item, "0" for each other.
std::string States(HWND dialog, std::initializer_list<int> items) {
  std::string states;
  for (int item : items) states += IsDlgButtonChecked(dialog, item) == BST_CHECKED ? '1' : '0';
  return states;
}
void Click(HWND dialog, int item) { SendMessageW(GetDlgItem(dialog, item), BM_CLICK, 0, 0); }
void PostClick(HWND dialog, int item) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(item, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, item)));
}
std::string TextA(HWND dialog, int item) {
  char text[1024] = {};
  GetDlgItemTextA(dialog, item, text, sizeof text);
  return text;
}
std::wstring Program(const char* text) {
  wchar_t wide[512] = {};
  MultiByteToWideChar(936, 0, text, -1, wide, 512);
  return wide;
}

void SortOptions(CWin32Desktop* desktop) {
  // Seeded with date descending, column-wise; OK after the clicks.
  struct Case {
    std::vector<int> clicks;
    int32_t key, order;
    const char* what;
  };
  const Case cases[] = {
      {{}, 3, 1, "sort options: OK unchanged keeps date descending (D-)"},
      {{IDC_SORT_BY_TYPE, IDC_SORT_UNSORTED}, 2, 2, "sort options: type and unsorted give E="},
  };
  for (const Case& c : cases) {
    CSortOptionsModel model(3, 1, 0, 1);
    DialogResult result = DialogResult::kCancel;
    Drive(L"选择排序选项", "sort options", {[&](HWND d) {
            Check(States(d, {IDC_SORT_BY_NAME, IDC_SORT_BY_SIZE, IDC_SORT_BY_DATE, IDC_SORT_BY_TYPE,
                             IDC_SORT_ASCENDING, IDC_SORT_DESCENDING, IDC_SORT_UNSORTED,
                             IDC_SORT_FOLDERS_FIRST, IDC_SORT_COLUMN_WISE}) == "001001001",
                  "sort options show date, descending and column-wise");
            SaveShot(d, "sort_options");
            for (int item : c.clicks) Click(d, item);
            Click(d, IDOK);
          }},
          [&] { result = desktop->ShowSortOptions(&model); });
    Check(result == DialogResult::kOk && model.SortKey() == c.key && model.SortOrder() == c.order,
          c.what);
  }
}

void DefaultWords(CWin32Desktop* desktop) {
  CDefaultWordsModel model{CDefaultWords()};
  for (size_t i = 0; i < model.boxes.size(); ++i) model.boxes[i] = "word" + std::to_string(i);
  const auto seeded = model.boxes;
  const int parent = IDC_WORD_FIRST + 4, second = IDC_WORD_FIRST + 1;
  DialogResult result = DialogResult::kOk;
  Drive(L"改变生成文件的默认字词", "default words, cancelled", {[&](HWND d) {
          bool shown = true;
          for (int i = 0; i < 10; ++i) shown = shown && TextA(d, IDC_WORD_FIRST + i) == seeded[i];
          Check(shown, "the words dialog shows each word");
          SaveShot(d, "default_words");
          Click(d, IDC_WORDS_RESTORE);
          Check(TextA(d, parent) == "..", "restore defaults puts .. in the parent box");
          Click(d, IDCANCEL);
        }},
        [&] { result = desktop->ShowDefaultWords(&model); });
  Check(result == DialogResult::kCancel && model.boxes == seeded,
        "restore defaults then Cancel leaves the words");

  // Ctrl+A (Ctrl held in the thread's key state) in a box; restore, OK.
  BYTE keys[256] = {}, held[256] = {};
  Drive(L"改变生成文件的默认字词", "default words, OK",
        {[&](HWND d) {
           SetFocus(GetDlgItem(d, second));
           SendDlgItemMessageW(d, second, EM_SETSEL, 0, 0);
           GetKeyboardState(keys);
           CopyMemory(held, keys, sizeof held);
           held[VK_CONTROL] = held[VK_LCONTROL] = 0x80;
           SetKeyboardState(held);
           PostMessageW(GetDlgItem(d, second), WM_KEYDOWN, 'A', 1);
         },
         [&](HWND d) {
           SetKeyboardState(keys);
           DWORD start = 1, end = 0;
           SendDlgItemMessageW(d, second, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                               reinterpret_cast<LPARAM>(&end));
           Check(start == 0 && end == seeded[1].size() && TextA(d, second) == seeded[1],
                 "Ctrl+A in a words box selects its whole text");
           Click(d, IDC_WORDS_RESTORE);
           Click(d, IDOK);
         }},
        [&] { result = desktop->ShowDefaultWords(&model); });
  Check(result == DialogResult::kOk && model.boxes[4] == ".." && model.boxes[0] == "<b>文件夹</b>",
        "restore defaults then OK gives the parent word ..");
}

void MoreOptions(CWin32Desktop* desktop) {
  using M = CMoreOptionsModel;
  CBuildSettings settings;
  settings.readme_names = "README.txt";
  const int manifest = IDC_MORE_FLAG_FIRST + M::kManifest;
  const int checksums = IDC_MORE_FLAG_FIRST + M::kManifestChecksums;
  for (bool ok : {false, true}) {
    M model(settings);
    DialogResult result = DialogResult::kCancel;
    Drive(L"更多选项", ok ? "more options, OK" : "more options, cancelled", {[&](HWND d) {
            Check(ItemTextW(d, IDC_MORE_FLAG_FIRST + M::kNaturalSort) ==
                          Program(M::kFlagLabels[M::kNaturalSort]) &&
                      TextA(d, IDC_MORE_BOX_FIRST + M::kReadmeNames) == "README.txt",
                  "more options show the core's labels and the readme names");
            Check(!IsWindowEnabled(GetDlgItem(d, checksums)), "checksums wait for the manifest");
            Click(d, manifest);
            Check(IsWindowEnabled(GetDlgItem(d, checksums)), "the manifest box enables checksums");
            Click(d, checksums);
            SetDlgItemTextA(d, IDC_MORE_BOX_FIRST + M::kHtmlLang, "zh-CN");
            if (ok) SaveShot(d, "more_options");
            Click(d, ok ? IDOK : IDCANCEL);
          }},
          [&] { result = desktop->ShowMoreOptions(&model); });
    CBuildSettings after;
    if (result == DialogResult::kOk) model.Apply(&after, nullptr);
    Check(result == (ok ? DialogResult::kOk : DialogResult::kCancel) &&
              after.manifest == (ok ? "json" : "") && after.manifest_checksums == (ok ? 1 : 0) &&
              after.html_lang == (ok ? "zh-CN" : ""),
          ok ? "more options store on OK" : "more options change nothing on Cancel");
  }
}

void RecursiveOptions(CWin32Desktop* desktop) {
  CBuildSettings settings;  // links folders to the output name
  settings.multi_recurse_skip_root = 1;
  settings.multi_recurse_title = 0;
  CRecursiveOptionsModel model(settings);
  DialogResult result = DialogResult::kCancel;
  Drive(L"递归文件生成选项", "recursive options", {[&](HWND d) {
          Check(States(d, {IDC_REC_SKIP_ROOT, IDC_REC_LINK_FOLDERS, IDC_REC_FOLDER_NAME_TITLE,
                           IDC_REC_FULL_PATH_TITLE, IDC_REC_DEFAULT_TITLE}) == "11010",
                "recursive options show their two boxes and the full-path title");
          SaveShot(d, "recursive_options");
          Click(d, IDC_REC_SKIP_ROOT);
          Click(d, IDC_REC_DEFAULT_TITLE);
          Click(d, IDOK);
        }},
        [&] { result = desktop->ShowRecursiveOptions(&model); });
  Check(result == DialogResult::kOk && !model.skip_root && model.TitleMode() == 1,
        "recursive options take the clicked box and radio on OK");
}

// The real file dialog of a frame's name button: the path typed there is chosen.
Step Pick(const std::string& path) {
  return [path](HWND d) {
    HWND chooser = FindOtherWindow(d);
    Check(chooser != nullptr, "a frame's name button opens the file dialog");
    if (chooser == nullptr) return;
    SaveShot(chooser, "frame_files_chooser");
    for (int name_box : {0x480, 0x47c}) SetDlgItemTextA(chooser, name_box, path.c_str());
    PostClick(chooser, IDOK);
  };
}

void FrameFiles(CWin32Desktop* desktop) {
  const std::string folder = ProgramFolder();
  const std::string here = folder + "frames_here.txt", there = folder + "away\\frames_there.txt";
  CreateDirectoryA((folder + "away").c_str(), nullptr);
  for (const std::string& file : {here, there}) std::ofstream(file) << "x";
  CFrameFilesModel model(folder, "frameset.txt", "left.txt", "right.txt", desktop);
  DialogResult result = DialogResult::kOk;
  Drive(Program(kFrameFilesCaption), "frame files",
        {[&](HWND d) {
           SaveShot(d, "frame_files");
           PostClick(d, IDC_FRAMESET_CHOOSE);
         },
         Pick(here),
         [&](HWND d) {
           Check(TextA(d, IDC_FRAMESET_FILE) == "frames_here.txt",
                 "a frame file of the program's folder shows as a bare name");
           PostClick(d, IDC_LEFT_CHOOSE);
         },
         Pick(there),
         [&](HWND d) {
           Check(TextA(d, IDC_LEFT_FILE) == there, "a frame file from elsewhere shows its path");
           SetDlgItemTextA(d, IDC_RIGHT_FILE, "edited.txt");
           Click(d, IDCANCEL);
         }},
        [&] { result = desktop->ShowFrameFiles(&model); });
  Check(result == DialogResult::kCancel && model.boxes[CFrameFilesModel::kRight] == "edited.txt" &&
            model.boxes[CFrameFilesModel::kFrameset] == "frames_here.txt",
        "Cancel still hands the edited names back");
}

// The text's width in the control's device context as it comes (its
// font not selected).
int Width(HWND control, const std::wstring& text) {
  HDC dc = GetDC(control);
  SIZE size = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ReleaseDC(control, dc);
  return size.cx;
}

void FileCreated(CWin32Desktop* desktop) {
  std::string deep = "C:\\site";
  for (int i = 0; i < 30; ++i) deep += "\\folder" + std::to_string(i);
  const std::wstring deep_shown = L"根文件:  C:\\site\\folder0\\";  // then "...\index.html"
  struct Case {
    int32_t files;
    bool per_folder;
    std::string path;
    std::wstring count, start;  // the count line and how the path line starts
  };
  const Case cases[] = {
      {1, false, "C:\\site\\index.html", L"1 文件 已创建", L"C:\\site\\index.html"},
      {3, true, deep + "\\index.html", L"3 文件s 已创建", deep_shown},
  };
  for (const Case& c : cases) {
    CFileCreatedModel model(c.path, c.files, c.per_folder, desktop);
    const std::string name = "file created, " + std::to_string(c.files) + ": ";
    Drive(Program(kFileCreatedCaption), name + "dialog", {[&](HWND d) {
            HWND line = GetDlgItem(d, IDC_CREATED_PATH);
            const std::wstring shown = WindowTextW(line);
            const bool cut = shown.find(L"\\...\\index.html") == shown.size() - 15;
            Check(ItemTextW(d, IDC_CREATED_COUNT) == c.count, name + "the count line");
            Check(shown.rfind(c.start, 0) == 0 && cut == c.per_folder &&
                      Width(line, shown) <= CFileCreatedModel::kPathWidth,
                  name + "the path line, shortened in its middle to fit 582 pixels");
            SaveShot(d, "file_created_" + std::to_string(c.files));
            Click(d, IDOK);
          }},
          [&] { desktop->ShowFileCreated(&model); });
  }
}

// Pixels of the link colour in a link's control.
int BluePixels(HWND link) {
  int blue = 0;
  for (uint32_t p : GrabClient(link).rgb) blue += p == 0x0000FF ? 1 : 0;
  return blue;
}

// The control's font draws every character of its text (no boxes).
bool HasEveryGlyph(HWND control) {
  const std::wstring text = WindowTextW(control);
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  std::vector<WORD> glyphs(text.size());
  GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                   GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return !text.empty() && std::find(glyphs.begin(), glyphs.end(), 0xFFFF) == glyphs.end();
}

void AboutAndTerms(CWin32Desktop* desktop) {
  Drive(Program(kAboutCaption), "about", {[&](HWND d) {
          Check(ItemTextW(d, IDC_ABOUT_BUILD) == L"编译时间: 2005-01-26",
                "About shows the build line");
          Check(BluePixels(GetDlgItem(d, IDC_ABOUT_WEB)) > 20 &&
                    BluePixels(GetDlgItem(d, IDC_ABOUT_MAIL)) > 20,
                "About's links are drawn blue");
          SaveShot(d, "about");
          Click(d, IDOK);
        }},
        [&] { desktop->ShowAbout(); });
  Drive(Program(kDistributionTermsCaption), "distribution terms", {[&](HWND d) {
          bool same = ItemTextW(d, IDC_TERMS_HEADING) == Program(kTermsHeading) &&
                      ItemTextW(d, IDC_TERMS_DISCLAIMER) == Program(kTermsDisclaimer);
          for (int i = 0; i < 3; ++i) {
            same =
                same && ItemTextW(d, IDC_TERMS_PARAGRAPH_FIRST + i) == Program(kTermsParagraphs[i]);
          }
          Check(same, "the terms dialog shows the terms every window shows");
          Check(HasEveryGlyph(GetDlgItem(d, IDC_TERMS_HEADING)),
                "the terms heading's font has its glyphs");
          SaveShot(d, "distribution_terms");
          Click(d, IDOK);
        }},
        [&] { desktop->ShowDistributionTerms("no_such_background.bmp"); });
}

// The help page's terms button opens the terms over the sheet.
void TermsFromTheSheet() {
  HWND sheet = nullptr;
  Drive(Program(kDistributionTermsCaption), "terms from the help page", {[&](HWND d) {
          Click(d, IDOK);
          PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
        }},
        [&] {
          RunWin32Sheet(Env::Default(), [&](HWND opened) {
            sheet = opened;
            PropSheet_SetCurSel(opened, nullptr, 4);
            PostClick(PropSheet_IndexToHwnd(opened, 4), IDC_LICENSE);
          });
        });
}

}  // namespace

int main(int argc, char** argv) {
  SetShotPrefix(argc > 1 ? argv[1] : "");
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&init);
  CoInitialize(nullptr);
  CWin32Desktop desktop;
  SetTimer(nullptr, 0, 200, Tick);
  SortOptions(&desktop);
  DefaultWords(&desktop);
  MoreOptions(&desktop);
  RecursiveOptions(&desktop);
  FrameFiles(&desktop);
  FileCreated(&desktop);
  AboutAndTerms(&desktop);
  CoUninitialize();
  TermsFromTheSheet();
  return Finish();
}
