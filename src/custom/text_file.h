// Loading of the text files that custom HTML sections and frame templates
// name, and the "%%FILE" include token of custom sections.
#ifndef VELLORA_CUSTOM_TEXT_FILE_H_
#define VELLORA_CUSTOM_TEXT_FILE_H_

#include <cstddef>
#include <string>

namespace vellora {

class Env;

// A name without the native separator: the program's folder followed by the
// name. Any other name is returned unchanged (relative to the current folder).
std::string ResolveProgramRelative(const std::string& name, Env* env);

// The longest file that LoadTextFile reads (includes, the frameset
// template); a longer one is treated as missing.
constexpr size_t kMaxTextFileBytes = size_t{16} << 20;

// The whole content of a file as raw bytes, up to its first NUL byte; line
// ends are kept as they are. A name without the native separator is looked
// for in `folder` (the program's folder when `folder` is empty) and, when it
// cannot be read there, in the program's folder; a name with a separator is
// used as it is. A file that cannot be read or is longer than
// kMaxTextFileBytes, and an empty name, give "".
std::string LoadTextFile(const std::string& name, const std::string& folder, Env* env);

// Takes the first include token "%%FILE<name>%" of `text`: the name and its
// closing '%' are removed and the token becomes the marker "%%FILZ". Returns
// false and leaves `text` unchanged when there is no "%%FILE", or when the
// first one has no closing '%'.
bool TakeIncludeName(std::string* text, std::string* name);

// At most this many include tokens are expanded in one section copy.
constexpr int kMaxIncludeExpansions = 100;
// No include may make a section copy larger than this many bytes.
constexpr size_t kMaxExpandedSectionSize = size_t{128} << 20;

// Replaces every "%%FILE<name>%" of a section copy by the content of that
// file (LoadTextFile with `lookup_folder`), first token first: the token
// becomes the marker "%%FILZ" and every "%%FILZ" of the copy is replaced by
// the content. The search restarts from the front after each include, so
// included text may include further files. After kMaxIncludeExpansions
// includes, or when an include would make the copy larger than `max_size`
// bytes (that include then contributes nothing), the remaining complete
// tokens are removed without reading their files; a file that includes
// itself therefore ends. A token without a closing '%' stays as written and
// ends the expansion of the copy.
void ExpandIncludes(std::string* section_copy, const std::string& lookup_folder, Env* env,
                    size_t max_size = kMaxExpandedSectionSize);

}  // namespace vellora

#endif  // VELLORA_CUSTOM_TEXT_FILE_H_
