// Path pieces the sheet's commands and choosers work with, in the native
// form ('\' and drive letters on Windows, '/' on POSIX).
#ifndef VELLORA_SHEET_SHEET_PATHS_H_
#define VELLORA_SHEET_SHEET_PATHS_H_

#include <string>

namespace vellora {

class Env;

// A full path cut after its last separator: the folder keeps the separator.
struct CSplitPath {
  std::string drive;   // "C:" on Windows, empty otherwise
  std::string folder;  // after the drive, with its trailing separator
  std::string name;
};
CSplitPath SplitPath(const std::string& path, Env* env);

// The text a chooser puts into its box: the bare name when the chosen file
// lies in `folder` (with its trailing separator, compared exactly), else the
// chosen path.
std::string NameRelativeTo(const std::string& chosen, const std::string& folder, Env* env);

// True when an output file text names a file by itself rather than a file
// of the listed folder: it holds a colon (a drive) on Windows, it starts
// with the separator on POSIX.
bool IsFullOutputName(const std::string& text);

// `text` quoted for the POSIX shell: in single quotes, each quote inside
// written as '\''.
std::string ShellQuoted(const std::string& text);

}  // namespace vellora

#endif  // VELLORA_SHEET_SHEET_PATHS_H_
