#include "ui/win32/text_conversion.h"

#include <windows.h>

namespace vellora {

namespace {

std::wstring Widen(unsigned code_page, const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), size, &wide[0], length);
  return wide;
}

}  // namespace

std::wstring WideFromText(const std::string& text) { return Widen(kTextCodePage, text); }

std::wstring WideFromAnsi(const std::string& text) { return Widen(CP_ACP, text); }

std::string AnsiFromWide(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), size, &narrow[0], length, nullptr, nullptr);
  return narrow;
}

namespace {

bool ExactlyInCodePage(const std::wstring& text, std::string* narrow) {
  const int size = static_cast<int>(text.size());
  BOOL lossy = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size,
                                         nullptr, 0, nullptr, &lossy);
  if (lossy) return false;
  narrow->assign(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, &(*narrow)[0], length,
                      nullptr, nullptr);
  return true;
}

}  // namespace

bool AnsiPathFromWide(const std::wstring& path, std::string* narrow) {
  if (ExactlyInCodePage(path, narrow)) return true;
  const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (length == 0) return false;
  std::wstring short_path(length, L'\0');
  const DWORD written = GetShortPathNameW(path.c_str(), &short_path[0], length);
  if (written == 0 || written >= length) return false;
  short_path.resize(written);
  return ExactlyInCodePage(short_path, narrow);
}

}  // namespace vellora
