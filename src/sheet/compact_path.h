// Shortening a path with an ellipsis in its middle so that it fits a line of
// a dialog, as measured by the window that shows it.
#ifndef VELLORA_SHEET_COMPACT_PATH_H_
#define VELLORA_SHEET_COMPACT_PATH_H_

#include <functional>
#include <string>

namespace vellora {

class Env;

// `path` when measure(path) <= width. Otherwise the folder components after
// the longest leading run that still fits are replaced by one "...", the
// last component kept whole ("C:\a\...\name.html", "/home/.../name.html",
// ".../name.html" when no leading component fits). When even ".../" and the
// last component are too wide, that component is cut and "..." follows it
// (".../a_very_lo..."); a path without a folder part is cut the same way
// without the leading "...". When not even one character of the name fits,
// the result is as much of "..." as fits, possibly nothing.
//
// Separators are the native one (on Windows '/' too); the text is walked
// and cut by whole characters of the narrow encoding of `env` (a null env
// stands for the system's own): double-byte characters of the code page,
// whole UTF-8 sequences. `measure` gives a text's width in the same units
// as `width`; wider text must not measure narrower than a prefix of it.
std::string CompactPathToFit(const std::string& path, int width,
                             const std::function<int(const std::string&)>& measure,
                             Env* env = nullptr);

}  // namespace vellora

#endif  // VELLORA_SHEET_COMPACT_PATH_H_
