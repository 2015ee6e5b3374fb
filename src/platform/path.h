// Small helpers for native paths ('/' on POSIX, '\' on Windows). Paths are
// walked character by character in the narrow encoding of `env` (see
// platform/characters.h); a null env stands for the system's own.
#ifndef VELLORA_PLATFORM_PATH_H_
#define VELLORA_PLATFORM_PATH_H_

#include <string>

namespace vellora {

class Env;

// True for a file-system root: "/" on POSIX; "X:\" or "X:" on Windows.
bool IsFileSystemRoot(const std::string& path);

// `path` with the native separator appended unless it already ends with one.
// An empty path stays empty.
std::string WithTrailingSeparator(const std::string& path, Env* env = nullptr);

// The folder of the running executable with a trailing separator; empty when
// the system does not say where the executable is.
std::string ProgramFolder(Env* env);

// True for a path that does not depend on the current folder (on Windows
// also not on the current drive): "/..." on POSIX, "X:\..." or "\\..." on
// Windows.
bool IsFullPath(const std::string& path);

// True when `text` holds the native separator.
bool ContainsSeparator(const std::string& text, Env* env = nullptr);

// The text after the last native separator; all of `text` when it has none.
std::string TextAfterLastSeparator(const std::string& text, Env* env = nullptr);

}  // namespace vellora

#endif  // VELLORA_PLATFORM_PATH_H_
