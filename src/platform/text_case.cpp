#include "platform/text_case.h"

#include "platform/env.h"

namespace vellora {

void UpperCaseInPlace(std::string* s, Env* env) {
  std::string& t = *s;
  const size_t n = t.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    if (c >= 'a' && c <= 'z') {
      t[i] = static_cast<char>(c - 'a' + 'A');
    } else if (c >= 0x80 && i + 1 < n && env->IsLeadByte(c)) {
      ++i;  // the trail byte may look like an ASCII letter
    }
  }
}

std::string UpperCased(const std::string& s, Env* env) {
  std::string t = s;
  UpperCaseInPlace(&t, env);
  return t;
}

}  // namespace vellora
