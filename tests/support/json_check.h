// A strict check that a text is one JSON value (RFC 8259), for tests of the
// files written for other programs.
#ifndef VELLORA_TESTS_SUPPORT_JSON_CHECK_H_
#define VELLORA_TESTS_SUPPORT_JSON_CHECK_H_

#include <cstring>
#include <string>

namespace vellora {

class JsonCheck {
 public:
  static bool Valid(const std::string& text) {
    JsonCheck c(text);
    return c.Value() && (c.Blank(), c.at_ == text.size());
  }

 private:
  explicit JsonCheck(const std::string& text) : t_(text) {}

  void Blank() {
    while (at_ < t_.size() && std::strchr(" \t\r\n", t_[at_]) != nullptr && t_[at_] != '\0') ++at_;
  }
  bool Eat(char c) {
    Blank();
    if (at_ >= t_.size() || t_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool Word(const char* w) {
    const size_t n = std::strlen(w);
    if (t_.compare(at_, n, w) != 0) return false;
    at_ += n;
    return true;
  }
  bool String() {
    if (!Eat('"')) return false;
    while (at_ < t_.size()) {
      const unsigned char c = static_cast<unsigned char>(t_[at_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c != '\\') continue;
      if (at_ >= t_.size()) return false;
      const char e = t_[at_++];
      if (e == 'u') {
        for (int i = 0; i < 4; ++i, ++at_) {
          if (at_ >= t_.size() || std::strchr("0123456789abcdefABCDEF", t_[at_]) == nullptr ||
              t_[at_] == '\0') {
            return false;
          }
        }
      } else if (std::strchr("\"\\/bfnrt", e) == nullptr || e == '\0') {
        return false;
      }
    }
    return false;
  }
  bool Number() {
    const size_t start = at_;
    if (at_ < t_.size() && t_[at_] == '-') ++at_;
    while (at_ < t_.size() && t_[at_] >= '0' && t_[at_] <= '9') ++at_;
    return at_ > start && t_[at_ - 1] != '-';
  }
  bool Value() {
    Blank();
    if (at_ >= t_.size()) return false;
    const char c = t_[at_];
    if (c == '"') return String();
    if (c == '{') {
      ++at_;
      if (Eat('}')) return true;
      do {
        if (!String() || !Eat(':') || !Value()) return false;
      } while (Eat(','));
      return Eat('}');
    }
    if (c == '[') {
      ++at_;
      if (Eat(']')) return true;
      do {
        if (!Value()) return false;
      } while (Eat(','));
      return Eat(']');
    }
    return Word("true") || Word("false") || Word("null") || Number();
  }

  const std::string& t_;
  size_t at_ = 0;
};

}  // namespace vellora

#endif  // VELLORA_TESTS_SUPPORT_JSON_CHECK_H_
