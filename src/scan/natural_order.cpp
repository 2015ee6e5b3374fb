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
// A digit byte at the start of a character is a character of its own;
// ASCII bytes are characters of their own in every encoding.
inline Run NextRun(const std::string& text, size_t at, Env* env) {
  const char* s = text.data();
  const size_t n = text.size();
  Run run{at, at, IsDigit(s[at]), 0};
  if (run.digits) {
    while (run.end < n && s[run.end] == '0') ++run.end;
    run.zeros = run.end - at;
    while (run.end < n && IsDigit(s[run.end])) ++run.end;
  } else {
    while (run.end < n && !IsDigit(s[run.end])) {
      const bool ascii = static_cast<unsigned char>(s[run.end]) < 0x80;
      run.end += ascii ? 1 : CharacterLength(text, run.end, env);
    }
  }
  return run;
}

size_t Significant(const Run& r) { return r.end - r.begin - r.zeros; }

int Sign(int v) { return (v > 0) - (v < 0); }

// A count in bytes whose order is the order of the counts, none of them
// zero: below 127 one byte 0x80 + n, else 0xFF and five bytes of seven
// bits each, high bit set. Names hold few digits, so the short form keeps
// the keys short and their first bytes telling.
inline void AppendCount(size_t n, std::string* key) {
  if (n < 0x7F) {
    key->push_back(static_cast<char>(0x80 + n));
    return;
  }
  char bytes[6];
  bytes[0] = '\xFF';
  const uint64_t v = n;
  for (int i = 0; i < 5; ++i) bytes[1 + i] = static_cast<char>(0x80 | ((v >> (28 - 7 * i)) & 0x7F));
  key->append(bytes, sizeof bytes);
}

// Tags of the key: a digit run sorts before a text run; the end of the
// runs (kEnd) before either.
constexpr char kEnd = '\0';
constexpr char kNumber = '\x01';
constexpr char kText = '\x02';

// A text byte of the keys of AppendFromBytes: bytes below 0x20 after the
// escape byte 0x1F, so that they sort above the run tags. False for a zero
// byte, which the system keys in no text.
bool PutTextByte(char byte, char** out) {
  constexpr unsigned char kEscape = 0x1F;
  const unsigned char c = static_cast<unsigned char>(byte);
  if (c <= kEscape) {
    if (c == 0) return false;
    *(*out)++ = static_cast<char>(kEscape);
  }
  *(*out)++ = byte;
  return true;
}

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
  CNaturalKeyMaker maker(env);
  return maker.Make(text, key);
}

CNaturalKeyMaker::CNaturalKeyMaker(Env* env)
    : env_(env != nullptr ? env : Env::Default()),
      bytes_(env_->CollatesByteByByte()),
      lead_bytes_(false) {
  for (int c = 0x80; c <= 0xFF && !lead_bytes_; ++c) {
    lead_bytes_ = env_->IsLeadByte(static_cast<unsigned char>(c));
  }
}

// The key of Append where texts collate as their bytes: a shorter key in
// one pass, ordered as the other keys of the same texts. Byte 0 ends the
// runs; a digit run is one byte 0x01 + n for n < 29 significant digits
// (0x1E and the count for more), then those digits; a text run is its own
// bytes, a byte below 0x20 after an escape byte 0x1F. So a digit run sorts
// before any text and the end before both, as in the other keys, and the
// first eight key bytes hold nearly as much of a name as the plain sort's.
bool CNaturalKeyMaker::AppendFromBytes(const std::string& text, std::string* keys) {
  constexpr size_t kShortDigits = 29;
  constexpr char kLongNumber = '\x1E';
  const size_t n = text.size();
  const size_t base = keys->size();
  // At most two key bytes per text byte, three per digit and one more for
  // its leading zeros, and the end.
  keys->resize(base + 4 * n + 1);
  const char* s = text.data();
  char* const start = &(*keys)[base];
  char* out = start;
  zeros_.clear();
  for (size_t at = 0; at < n;) {
    size_t end = at;
    if (IsDigit(s[at])) {
      while (end < n && s[end] == '0') ++end;
      const size_t first = end;
      while (end < n && IsDigit(s[end])) ++end;
      const size_t digits = end - first;
      if (digits < kShortDigits) {
        *out++ = static_cast<char>(1 + digits);
      } else {
        run_.assign(1, kLongNumber);
        AppendCount(digits, &run_);
        std::memcpy(out, run_.data(), run_.size());
        out += run_.size();
      }
      // Runs and counts are short: a loop beats a call to copy them.
      for (size_t i = first; i < end; ++i) *out++ = s[i];
      AppendCount(first - at, &zeros_);
      at = end;
      continue;
    }
    // Double-byte characters are read whole: a second byte is no digit.
    bool fine = true;
    if (!lead_bytes_) {
      for (; end < n && !IsDigit(s[end]); ++end) {
        if (!PutTextByte(s[end], &out)) {
          fine = false;
          break;
        }
      }
    } else {
      while (fine && end < n && !IsDigit(s[end])) {
        for (const size_t stop = end + CharacterLength(text, end, env_); fine && end < stop; ++end) {
          fine = PutTextByte(s[end], &out);
        }
      }
    }
    if (!fine) {
      keys->resize(base);
      return false;
    }
    at = end;
  }
  *out++ = kEnd;
  for (const char c : zeros_) *out++ = c;
  keys->resize(base + static_cast<size_t>(out - start));
  return true;
}

bool CNaturalKeyMaker::Make(const std::string& text, std::string* key) {
  key->clear();
  return Append(text, key);
}

bool CNaturalKeyMaker::Append(const std::string& text, std::string* keys) {
  if (bytes_) return AppendFromBytes(text, keys);
  const size_t base = keys->size();
  zeros_.clear();
  for (size_t at = 0; at < text.size();) {
    const Run r = NextRun(text, at, env_);
    if (r.digits) {
      keys->push_back(kNumber);
      AppendCount(Significant(r), keys);
      keys->append(text, r.begin + r.zeros, Significant(r));
      AppendCount(r.zeros, &zeros_);
    } else {
      // A name without digits is one run: it is keyed without a copy.
      const bool whole = r.begin == 0 && r.end == text.size();
      if (!whole) run_.assign(text, r.begin, r.end - r.begin);
      // The text's own key ends with a zero byte, below every byte a key
      // holds, so a key that begins another sorts first, as its text does.
      if (!env_->CollationKey(whole ? text : run_, &part_) ||
          part_.find('\0') != std::string::npos) {
        keys->resize(base);
        return false;
      }
      keys->push_back(kText);
      keys->append(part_);
      keys->push_back('\0');
    }
    at = r.end;
  }
  keys->push_back(kEnd);
  keys->append(zeros_);
  return true;
}

}  // namespace vellora
