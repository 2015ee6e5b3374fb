#include "scan/natural_order.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/characters.h"
#include "platform/env.h"

namespace vellora {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One run of a name: [begin, end), all digits or none. For a digit run,
// `zeros` leading zeros come before its significant digits.
struct Run {
  size_t begin;
  size_t end;
  bool digits;
  size_t zeros;
};

// The run that starts at `at` (the start of a character, below the size).
// A digit byte at the start of a character is a character of its own.
Run NextRun(const std::string& text, size_t at, Env* env) {
  Run run{at, at, IsDigit(text[at]), 0};
  if (run.digits) {
    while (run.end < text.size() && text[run.end] == '0') ++run.end;
    run.zeros = run.end - at;
    while (run.end < text.size() && IsDigit(text[run.end])) ++run.end;
  } else {
    while (run.end < text.size() && !IsDigit(text[run.end])) {
      run.end += CharacterLength(text, run.end, env);
    }
  }
  return run;
}

size_t Significant(const Run& r) { return r.end - r.begin - r.zeros; }

int Sign(int v) { return (v > 0) - (v < 0); }

// A count as five bytes of seven bits each, high bit set: byte order is
// number order, and no byte is zero.
void AppendCount(size_t n, std::string* key) {
  const uint64_t v = n;
  for (int shift = 28; shift >= 0; shift -= 7) {
    key->push_back(static_cast<char>(0x80 | ((v >> shift) & 0x7F)));
  }
}

// Tags of the key: a digit run sorts before a text run; the end of the
// runs (kEnd) before either.
constexpr char kEnd = '\0';
constexpr char kNumber = '\x01';
constexpr char kText = '\x02';

}  // namespace

int NaturalCompare(const std::string& a, const std::string& b, Env* env) {
  if (env == nullptr) env = Env::Default();
  int zeros = 0;  // the first difference in leading zeros
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const Run ra = NextRun(a, i, env);
    const Run rb = NextRun(b, j, env);
    if (ra.digits != rb.digits) return ra.digits ? -1 : 1;
    if (ra.digits) {
      const size_t na = Significant(ra);
      const size_t nb = Significant(rb);
      if (na != nb) return na < nb ? -1 : 1;
      const int c = std::memcmp(a.data() + ra.begin + ra.zeros, b.data() + rb.begin + rb.zeros, na);
      if (c != 0) return Sign(c);
      if (zeros == 0 && ra.zeros != rb.zeros) zeros = ra.zeros < rb.zeros ? -1 : 1;
    } else {
      const size_t la = ra.end - ra.begin;
      const size_t lb = rb.end - rb.begin;
      if (la != lb || a.compare(ra.begin, la, b, rb.begin, lb) != 0) {
        const int c = env->CompareText(a.substr(ra.begin, la), b.substr(rb.begin, lb));
        if (c != 0) return Sign(c);
      }
    }
    i = ra.end;
    j = rb.end;
  }
  if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
  return zeros;
}

bool NaturalKey(const std::string& text, Env* env, std::string* key) {
  if (env == nullptr) env = Env::Default();
  key->clear();
  std::string zeros;
  std::string part;
  for (size_t at = 0; at < text.size();) {
    const Run r = NextRun(text, at, env);
    if (r.digits) {
      key->push_back(kNumber);
      AppendCount(Significant(r), key);
      key->append(text, r.begin + r.zeros, Significant(r));
      AppendCount(r.zeros, &zeros);
    } else {
      // The text's own key ends with a zero byte, below every byte a key
      // holds, so a key that begins another sorts first, as its text does.
      if (!env->CollationKey(text.substr(r.begin, r.end - r.begin), &part) ||
          part.find('\0') != std::string::npos) {
        return false;
      }
      key->push_back(kText);
      key->append(part);
      key->push_back('\0');
    }
    at = r.end;
  }
  key->push_back(kEnd);
  key->append(zeros);
  return true;
}

}  // namespace vellora
