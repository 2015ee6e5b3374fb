// The readme of a folder, shown above its file table: the first file named
// by the readme_names option that the folder holds, as preformatted text
// (never as markup), cut at kMaxReadmeBytes.
#ifndef VELLORA_HTML_README_H_
#define VELLORA_HTML_README_H_

#include <cstddef>
#include <string>
#include <vector>

#include "platform/env.h"

namespace vellora {

// The most of a readme that a page shows.
constexpr size_t kMaxReadmeBytes = size_t{64} << 10;

// The names of the readme_names option in their order: split at ';', outer
// blanks and tabs removed. Empty pieces and names that are no plain file
// name (with a separator, '/', a ':' on Windows, or only dots) are left out,
// so that no name reaches beyond the listed folder.
std::vector<std::string> ReadmeNames(const std::string& option, Env* env);

// Removes a character cut off at the end of `text` (the first bytes of a
// longer file): an incomplete UTF-8 sequence where names are UTF-8, a lone
// lead byte of the code page elsewhere.
void CutToCharacter(std::string* text, Env* env);

// The readme's text as a page shows it: a pre element of class "readme"
// with '&', '<' and '>' as references, every line end as CR LF, control
// characters (tab kept) and, where names are UTF-8, bytes outside valid
// UTF-8 as "&#65533;" (U+FFFD, one for each run that a decoder shows as
// one); a UTF-8 byte order mark is dropped. When `cut`, a paragraph of
// class "readme-cut" that says so follows. Nothing for an empty text.
std::string ReadmeHtml(const std::string& text, bool cut);

}  // namespace vellora

#endif  // VELLORA_HTML_README_H_
