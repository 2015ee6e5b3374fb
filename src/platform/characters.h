// Searching and changing narrow text character by character. On a
// double-byte code page (936 and the like) the second byte of a character
// may equal an ASCII byte such as '\', '|', '[' or a letter, so a name or
// path is never searched or changed byte by byte. UTF-8 continuation bytes
// are never ASCII: there every ASCII byte is a character of its own.
//
// The lead bytes are those of `env` (env->IsLeadByte); a null env stands for
// the system's own encoding (Env::Default()). The characters searched for or
// written are ASCII.
#ifndef VELLORA_PLATFORM_CHARACTERS_H_
#define VELLORA_PLATFORM_CHARACTERS_H_

#include <cstddef>
#include <string>

namespace vellora {

class Env;

// Length in bytes of the character that starts at `at` (below text.size()):
// 2 for a lead byte with a byte after it, else 1.
size_t CharacterLength(const std::string& text, size_t at, Env* env);

// Position of the first character `c` at or after `from`, which must be the
// start of a character; npos when there is none.
size_t FindCharacter(const std::string& text, char c, size_t from, Env* env);

// Position of the last character `c`; npos when there is none.
size_t FindLastCharacter(const std::string& text, char c, Env* env);

// True when the last character of `text` is `c`.
bool EndsWithCharacter(const std::string& text, char c, Env* env);

// Turns every character `from` of `text` into `to`.
void ReplaceCharacter(std::string* text, char from, char to, Env* env);

// Position of the first `what` at or after `from` (the start of a character)
// that begins at the start of a character; npos when there is none.
size_t FindText(const std::string& text, const std::string& what, size_t from, Env* env);

}  // namespace vellora

#endif  // VELLORA_PLATFORM_CHARACTERS_H_
