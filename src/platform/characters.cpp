#include "platform/characters.h"

#include "platform/env.h"

namespace vellora {

namespace {

Env* EncodingOf(Env* env) { return env != nullptr ? env : Env::Default(); }

// CharacterLength with the env already resolved. Lead bytes are never
// ASCII, so only high bytes are asked about.
size_t LengthAt(const std::string& text, size_t at, Env* env) {
  const unsigned char c = static_cast<unsigned char>(text[at]);
  return c >= 0x80 && at + 1 < text.size() && env->IsLeadByte(c) ? 2 : 1;
}

}  // namespace

size_t CharacterLength(const std::string& text, size_t at, Env* env) {
  return LengthAt(text, at, EncodingOf(env));
}

size_t FindCharacter(const std::string& text, char c, size_t from, Env* env) {
  env = EncodingOf(env);
  for (size_t i = from; i < text.size(); i += LengthAt(text, i, env)) {
    if (text[i] == c) return i;
  }
  return std::string::npos;
}

size_t FindLastCharacter(const std::string& text, char c, Env* env) {
  env = EncodingOf(env);
  size_t last = std::string::npos;
  for (size_t i = 0; i < text.size(); i += LengthAt(text, i, env)) {
    if (text[i] == c) last = i;
  }
  return last;
}

bool EndsWithCharacter(const std::string& text, char c, Env* env) {
  return !text.empty() && FindLastCharacter(text, c, env) == text.size() - 1;
}

void ReplaceCharacter(std::string* text, char from, char to, Env* env) {
  env = EncodingOf(env);
  std::string& t = *text;
  for (size_t i = 0; i < t.size(); i += LengthAt(t, i, env)) {
    if (t[i] == from) t[i] = to;
  }
}

size_t FindText(const std::string& text, const std::string& what, size_t from, Env* env) {
  env = EncodingOf(env);
  size_t boundary = from;  // the start of a character
  for (size_t at = text.find(what, from); at != std::string::npos; at = text.find(what, boundary)) {
    while (boundary < at) boundary += LengthAt(text, boundary, env);
    if (boundary == at) return at;
  }
  return std::string::npos;
}

}  // namespace vellora
