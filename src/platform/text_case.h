// Upper-casing for sort keys and extension tests.
#ifndef VELLORA_PLATFORM_TEXT_CASE_H_
#define VELLORA_PLATFORM_TEXT_CASE_H_

#include <string>

namespace vellora {

class Env;

// Turns the ASCII letters a-z of `s` into A-Z. Multibyte characters of the
// narrow encoding are left alone: on a double-byte code page the byte after
// a lead byte (env->IsLeadByte) is never changed. The length never changes.
void UpperCaseInPlace(std::string* s, Env* env);

// A copy of `s` upper-cased as by UpperCaseInPlace.
std::string UpperCased(const std::string& s, Env* env);

}  // namespace vellora

#endif  // VELLORA_PLATFORM_TEXT_CASE_H_
