#include "platform/wildcard.h"

#include "platform/env.h"

namespace vellora {

namespace {

// How the bytes of a narrow string group into characters.
struct Encoding {
  bool utf8 = false;
  Env* lead_bytes = nullptr;  // double-byte code page, when not UTF-8
};

// Length in bytes of the character starting at s[i]. Bytes that do not form
// a valid sequence count as one character each.
size_t CharLength(const std::string& s, size_t i, const Encoding& enc) {
  const unsigned char b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) return 1;
  if (enc.utf8) {
    size_t len = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3
                 : b >= 0xF0 && b <= 0xF4 ? 4 : 1;
    if (i + len > s.size()) return 1;
    for (size_t k = 1; k < len; ++k) {
      const unsigned char c = static_cast<unsigned char>(s[i + k]);
      if (c < 0x80 || c > 0xBF) return 1;
    }
    return len;
  }
  if (enc.lead_bytes != nullptr && i + 1 < s.size() && enc.lead_bytes->IsLeadByte(b)) return 2;
  return 1;
}

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool Match(const std::string& name, const std::string& pattern, const Encoding& enc) {
  if (pattern.empty()) return false;
  if (pattern == "*.*") return true;
  const size_t n = name.size();
  const size_t m = pattern.size();
  size_t ni = 0;
  size_t pi = 0;
  // Where the pattern resumes after the last '*', and the name position that
  // star currently extends to; a mismatch lets that star take one more character.
  size_t star_pi = std::string::npos;
  size_t star_ni = 0;
  while (ni < n) {
    if (pi < m && pattern[pi] == '*') {
      star_pi = ++pi;
      star_ni = ni;
      continue;
    }
    if (pi < m) {
      const size_t nl = CharLength(name, ni, enc);
      if (pattern[pi] == '?') {
        ni += nl;
        ++pi;
        continue;
      }
      const size_t pl = CharLength(pattern, pi, enc);
      if (pl == nl) {
        bool same = pl == 1 ? FoldAscii(pattern[pi]) == FoldAscii(name[ni])
                            : pattern.compare(pi, pl, name, ni, nl) == 0;
        if (same) {
          ni += nl;
          pi += pl;
          continue;
        }
      }
    }
    if (star_pi == std::string::npos) return false;
    star_ni += CharLength(name, star_ni, enc);
    ni = star_ni;
    pi = star_pi;
  }
  while (pi < m && pattern[pi] == '*') ++pi;
  return pi == m;
}

}  // namespace

bool WildcardMatch(const std::string& name, const std::string& pattern) {
  Encoding enc;
#ifdef _WIN32
  static const bool utf8 = Env::Default()->CharsetName() == "utf-8";
  enc.utf8 = utf8;
  enc.lead_bytes = Env::Default();
#else
  enc.utf8 = true;
#endif
  return Match(name, pattern, enc);
}

bool WildcardMatch(const std::string& name, const std::string& pattern, Env* env) {
  Encoding enc;
  enc.utf8 = env->CharsetName() == "utf-8";
  enc.lead_bytes = env;
  return Match(name, pattern, enc);
}

}  // namespace vellora
