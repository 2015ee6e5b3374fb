// Text of the JSON files written beside the pages: strings escaped for any
// name, and link targets that keep a name's bytes exact.
#ifndef VELLORA_HTML_JSON_TEXT_H_
#define VELLORA_HTML_JSON_TEXT_H_

#include <string>

namespace vellora {

// Appends `text` (meant to be UTF-8) as a JSON string in double quotes: '"'
// and '\' get a backslash, control bytes become \n, \r, \t, \b, \f or
// \u00XX, and each longest start of an invalid UTF-8 sequence (as decoders
// count them) one \ufffd; everything else is copied. The result is valid
// JSON whatever the bytes.
void AppendJsonString(std::string* out, const std::string& text);

// A name or relative path as a link target that keeps every byte: the
// unreserved characters of a URL (letters, digits, '-', '.', '_', '~') and
// '/' stay, every other byte becomes %XX (upper-case hex). Decoding the
// %XX sequences gives the bytes back, and the text is plain ASCII.
std::string PercentEncodeLink(const std::string& bytes);

}  // namespace vellora

#endif  // VELLORA_HTML_JSON_TEXT_H_
