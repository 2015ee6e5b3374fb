// The file-name wildcard match used for file filters and skip lists.
#ifndef VELLORA_PLATFORM_WILDCARD_H_
#define VELLORA_PLATFORM_WILDCARD_H_

#include <string>

namespace vellora {

class Env;

// True when `name` matches `pattern`: '*' stands for any run of characters
// (also none), '?' for exactly one character, ASCII letters match either
// case, and every other character stands for itself. The whole pattern "*.*"
// matches every name, with or without a dot; the empty pattern matches
// nothing. Characters are those of the system's narrow encoding (UTF-8 on
// POSIX, the active code page on Windows), so '?' takes a whole multibyte
// character and '*' never stops inside one. Runs in linear memory and
// O(name x pattern) time at worst.
bool WildcardMatch(const std::string& name, const std::string& pattern);

// The same in the narrow encoding of `env` (its lead bytes, or UTF-8 when its
// charset is "utf-8").
bool WildcardMatch(const std::string& name, const std::string& pattern, Env* env);

}  // namespace vellora

#endif  // VELLORA_PLATFORM_WILDCARD_H_
