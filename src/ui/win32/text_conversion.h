// The window's edge between the program's strings and the system's UTF-16:
// the program's own texts are compiled in code page 936 (narrow literals
// included), names and paths are in the active ANSI code page.
#ifndef VELLORA_UI_WIN32_TEXT_CONVERSION_H_
#define VELLORA_UI_WIN32_TEXT_CONVERSION_H_

#include <string>

namespace vellora {

constexpr unsigned kTextCodePage = 936;

// One of the program's own texts (or a core text with names recoded in it).
std::wstring WideFromText(const std::string& text);
std::wstring WideFromAnsi(const std::string& text);
// Characters the code page lacks become its default character.
std::string AnsiFromWide(const std::wstring& text);
// A chosen path in the code page: its short (8.3) form when the long one
// has characters the code page lacks; false when neither can be written.
bool AnsiPathFromWide(const std::wstring& path, std::string* narrow);

}  // namespace vellora

#endif  // VELLORA_UI_WIN32_TEXT_CONVERSION_H_
