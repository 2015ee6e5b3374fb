// Natural order of names: runs of ASCII digits compare by their value
// (IMG_2 before IMG_10), the text between them by the platform's collation
// (Env::CompareText), run by run.
//
// A name is read character by character (double-byte characters are never
// split, so a trail byte is never taken for a digit) as alternating runs of
// digits and of other characters. Two names compare run by run: two digit
// runs by value, however long (fewer digits after the leading zeros is
// smaller, then the digits byte by byte); two text runs by the collation; a
// digit run before a text run; a name whose runs end first before the
// other. Names equal so far are ordered by their leading zeros: at the
// first digit run where the counts differ, fewer zeros first ("a1" before
// "a01" before "a001"). The result is a strict weak ordering; names it
// calls equal are left to the caller's plain comparison.
#ifndef VELLORA_SCAN_NATURAL_ORDER_H_
#define VELLORA_SCAN_NATURAL_ORDER_H_

#include <string>

namespace vellora {

class Env;

// Negative, 0 or positive as `a` sorts before, with or after `b`.
int NaturalCompare(const std::string& a, const std::string& b, Env* env);

// A key for `text`: two keys compared byte by byte (as std::string
// compares them) are ordered as NaturalCompare orders their texts. It may
// hold zero bytes. False when the system gives no collation keys.
bool NaturalKey(const std::string& text, Env* env, std::string* key);

// Makes the keys of NaturalKey for many texts, keeping its buffers from
// one key to the next, so that keying a long list allocates nothing per
// name. Where the collation is byte order (Env::CollatesByteByByte) it
// writes the keys itself, in one pass and a shorter form that orders as the
// system's would: keys compare only with keys made for the same Env and
// locale.
class CNaturalKeyMaker {
 public:
  explicit CNaturalKeyMaker(Env* env);

  // As NaturalKey(text, env, key).
  bool Make(const std::string& text, std::string* key);

  // Appends the key of `text` to `keys`; false, with `keys` as it was, when
  // the system gives no key.
  bool Append(const std::string& text, std::string* keys);

 private:
  bool AppendFromBytes(const std::string& text, std::string* keys);

  Env* env_;
  bool bytes_;       // texts collate as their bytes
  bool lead_bytes_;  // the encoding has double-byte characters
  std::string run_;
  std::string part_;
  std::string zeros_;
};

}  // namespace vellora

#endif  // VELLORA_SCAN_NATURAL_ORDER_H_
