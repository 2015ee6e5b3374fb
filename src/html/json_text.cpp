#include "html/json_text.h"

#include "html/text_helpers.h"

namespace vellora {

namespace {

const char kHex[] = "0123456789ABCDEF";
const char kLowerHex[] = "0123456789abcdef";

// What an ASCII byte becomes inside a JSON string; null: itself.
struct JsonEscapes {
  const char* text[128] = {};
  char storage[32][7] = {};
  JsonEscapes() {
    for (int c = 0; c < 0x20; ++c) {
      char* e = storage[c];
      e[0] = '\\';
      e[1] = 'u';
      e[2] = '0';
      e[3] = '0';
      e[4] = kLowerHex[c >> 4];
      e[5] = kLowerHex[c & 0xf];
      text[c] = e;
    }
    text['\b'] = "\\b";
    text['\f'] = "\\f";
    text['\n'] = "\\n";
    text['\r'] = "\\r";
    text['\t'] = "\\t";
    text['"'] = "\\\"";
    text['\\'] = "\\\\";
  }
};

const JsonEscapes& Escapes() {
  static const JsonEscapes table;
  return table;
}

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         c == '-' || c == '.' || c == '_' || c == '~';
}

}  // namespace

void AppendJsonString(std::string* out, const std::string& text) {
  const JsonEscapes& escapes = Escapes();
  out->push_back('"');
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (escapes.text[c] != nullptr) {
        out->append(escapes.text[c]);
      } else {
        out->push_back(static_cast<char>(c));
      }
      ++i;
      continue;
    }
    const size_t valid = Utf8SequenceLength(text, i);
    if (valid > 0) {
      out->append(text, i, valid);
      i += valid;
    } else {
      out->append("\\ufffd");
      i += Utf8InvalidLength(text, i);
    }
  }
  out->push_back('"');
}

std::string PercentEncodeLink(const std::string& bytes) {
  std::string link;
  link.reserve(bytes.size());
  for (char ch : bytes) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (Unreserved(c) || c == '/') {
      link.push_back(ch);
    } else {
      link.push_back('%');
      link.push_back(kHex[c >> 4]);
      link.push_back(kHex[c & 0xf]);
    }
  }
  return link;
}

}  // namespace vellora
