#include "ui/win32/win32_desktop.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "ui/win32/text_conversion.h"

namespace vellora {

namespace {

// The start folder of the open browser, for its callback.
std::wstring g_browse_start;

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM param, LPARAM) {
  if (message == BFFM_INITIALIZED) {
    wchar_t current[MAX_PATH] = {};
    const wchar_t* start = g_browse_start.c_str();
    if (g_browse_start.empty() && GetCurrentDirectoryW(MAX_PATH, current) > 0) start = current;
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start));
  } else if (message == BFFM_SELCHANGED) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(reinterpret_cast<LPITEMIDLIST>(param), path)) {
      SendMessageW(browser, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
    }
  }
  return 0;
}

// The chosen path in the code page. A file about to be saved need not exist
// yet and so has no short name: then its folder's short form and its name.
bool ChosenPath(const std::wstring& path, std::string* chosen) {
  if (AnsiPathFromWide(path, chosen)) return true;
  const size_t slash = path.find_last_of(L"\\/");
  std::string folder, name;
  if (slash == std::wstring::npos || !AnsiPathFromWide(path.substr(0, slash), &folder) ||
      !AnsiPathFromWide(path.substr(slash + 1), &name)) {
    return false;
  }
  *chosen = folder + "\\" + name;
  return true;
}

// A name the program could not hand on would otherwise look like a
// cancelled choice.
void UnwritableNameMessage(HWND owner) {
  MessageBoxW(owner, L"所选的名称含有当前代码页无法表示的字符，请选择其他文件或文件夹。",
              L"vellora", MB_OK | MB_ICONWARNING);
}

}  // namespace

std::wstring FileDialogFilter(const std::string& filter) {
  std::wstring out = WideFromText(filter);
  for (wchar_t& c : out) {
    if (c == L'|') c = L'\0';
  }
  if (out.empty() || out.back() != L'\0') out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

void CWin32Desktop::MessageBox(const std::string& text, const std::string& caption,
                               MessageIcon icon) {
  UINT style = MB_OK;
  switch (icon) {
    case MessageIcon::kNone: break;
    case MessageIcon::kInformation: style |= MB_ICONINFORMATION; break;
    case MessageIcon::kWarning: style |= MB_ICONWARNING; break;
    case MessageIcon::kError: style |= MB_ICONERROR; break;
  }
  ::MessageBoxW(owner_, WideFromText(text).c_str(), WideFromText(caption).c_str(), style);
}

bool CWin32Desktop::FileDialog(const CFileDialogRequest& request, bool save,
                               std::string* chosen) {
  std::vector<wchar_t> file(4096, L'\0');
  WideFromAnsi(request.initial_name).copy(file.data(), file.size() - 1);
  const std::wstring filter = FileDialogFilter(request.filter);
  const std::wstring folder = WideFromAnsi(request.initial_folder);
  const std::wstring title = WideFromText(request.title);
  const std::wstring extension = WideFromText(request.default_extension);
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (request.must_exist) ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (request.prompt_overwrite) ofn.Flags |= OFN_OVERWRITEPROMPT;
  const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return false;
  if (ChosenPath(file.data(), chosen)) return true;
  UnwritableNameMessage(owner_);
  return false;
}

bool CWin32Desktop::OpenFileDialog(const CFileDialogRequest& request, std::string* chosen) {
  return FileDialog(request, false, chosen);
}

bool CWin32Desktop::SaveFileDialog(const CFileDialogRequest& request, std::string* chosen) {
  return FileDialog(request, true, chosen);
}

bool CWin32Desktop::BrowseForFolder(const CFolderBrowseRequest& request, std::string* chosen) {
  g_browse_start = WideFromAnsi(request.start_folder);
  const std::wstring title = WideFromText(request.title);
  BROWSEINFOW info = {};
  info.hwndOwner = nullptr;  // the browser opens without an owner window
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = BrowseCallback;
  LPITEMIDLIST list = SHBrowseForFolderW(&info);
  if (list == nullptr) return false;
  wchar_t path[MAX_PATH] = {};
  const bool has_path = SHGetPathFromIDListW(list, path) != FALSE;
  CoTaskMemFree(list);
  if (!has_path) return false;
  if (AnsiPathFromWide(path, chosen)) return true;
  UnwritableNameMessage(owner_);
  return false;
}

bool CWin32Desktop::ShellOpen(const std::string& path) {
  const HINSTANCE result =
      ShellExecuteA(owner_, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void CWin32Desktop::Beep() { MessageBeep(MB_OK); }

}  // namespace vellora
