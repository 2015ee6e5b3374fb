#include "ui/win32/win32_desktop.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>


namespace vellora {

namespace {

// The start folder of the open browser, for its callback.
std::string g_browse_start;

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM param, LPARAM) {
  if (message == BFFM_INITIALIZED) {
    char current[MAX_PATH] = {};
    const char* start = g_browse_start.c_str();
    if (g_browse_start.empty() && GetCurrentDirectoryA(MAX_PATH, current) > 0) start = current;
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(start));
  } else if (message == BFFM_SELCHANGED) {
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDListA(reinterpret_cast<LPITEMIDLIST>(param), path)) {
      SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
    }
  }
  return 0;
}

}  // namespace

std::string FileDialogFilter(const std::string& filter) {
  std::string out = filter;
  for (char& c : out) {
    if (c == '|') c = '\0';
  }
  if (out.empty() || out.back() != '\0') out.push_back('\0');
  out.push_back('\0');
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
  ::MessageBoxA(owner_, text.c_str(), caption.c_str(), style);
}

bool CWin32Desktop::FileDialog(const CFileDialogRequest& request, bool save,
                               std::string* chosen) {
  std::vector<char> file(4096, '\0');
  request.initial_name.copy(file.data(), file.size() - 1);
  const std::string filter = FileDialogFilter(request.filter);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = request.initial_folder.empty() ? nullptr : request.initial_folder.c_str();
  ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  ofn.lpstrDefExt =
      request.default_extension.empty() ? nullptr : request.default_extension.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (request.must_exist) ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (request.prompt_overwrite) ofn.Flags |= OFN_OVERWRITEPROMPT;
  const BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!ok) return false;
  *chosen = file.data();
  return true;
}

bool CWin32Desktop::OpenFileDialog(const CFileDialogRequest& request, std::string* chosen) {
  return FileDialog(request, false, chosen);
}

bool CWin32Desktop::SaveFileDialog(const CFileDialogRequest& request, std::string* chosen) {
  return FileDialog(request, true, chosen);
}

bool CWin32Desktop::BrowseForFolder(const CFolderBrowseRequest& request, std::string* chosen) {
  g_browse_start = request.start_folder;
  BROWSEINFOA info = {};
  info.hwndOwner = nullptr;  // the browser opens without an owner window
  info.lpszTitle = request.title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = BrowseCallback;
  LPITEMIDLIST list = SHBrowseForFolderA(&info);
  if (list == nullptr) return false;
  char path[MAX_PATH] = {};
  const bool has_path = SHGetPathFromIDListA(list, path) != FALSE;
  CoTaskMemFree(list);
  if (!has_path) return false;
  *chosen = path;
  return true;
}

bool CWin32Desktop::ShellOpen(const std::string& path) {
  const HINSTANCE result =
      ShellExecuteA(owner_, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void CWin32Desktop::Beep() { MessageBeep(MB_OK); }

// The build runs on the window's thread for now; the window does not paint
// until it ends.
void CWin32Desktop::RunBuild(const CBuildRun& run) {
  const HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  run.work();
  SetCursor(old);
}

void CWin32Desktop::ShowProgress(const CProgressLines&) {}

}  // namespace vellora
