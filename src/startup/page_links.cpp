#include "startup/page_links.h"

#include <cstdint>

namespace vellora {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Position of `lower_text` in `html` from `from`, letters compared without
// case; npos when absent.
size_t FindNoCase(const std::string& html, const std::string& lower_text, size_t from) {
  if (lower_text.size() > html.size()) return std::string::npos;
  for (size_t at = from; at + lower_text.size() <= html.size(); ++at) {
    size_t k = 0;
    while (k < lower_text.size() && Lower(html[at + k]) == lower_text[k]) ++k;
    if (k == lower_text.size()) return at;
  }
  return std::string::npos;
}

// Past the next '>' from `from`, or the end.
size_t PastClose(const std::string& html, size_t from) {
  const size_t close = html.find('>', from);
  return close == std::string::npos ? html.size() : close + 1;
}

void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes the numeric reference whose digits start at `at` (after "&#");
// the position after its ';' goes to `*end`. False when it is not one.
bool NumericReference(const std::string& v, size_t at, bool utf8, std::string* out,
                      size_t* end) {
  const bool hex = at < v.size() && (v[at] == 'x' || v[at] == 'X');
  size_t i = hex ? at + 1 : at;
  uint32_t cp = 0;
  size_t digits = 0;
  for (; i < v.size() && v[i] != ';'; ++i, ++digits) {
    const int d = hex ? HexValue(v[i]) : (IsDigit(v[i]) ? v[i] - '0' : -1);
    if (d < 0 || digits >= 8) return false;
    cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(d);
  }
  if (i >= v.size() || digits == 0 || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
    return false;
  }
  if (cp >= 0x80 && !utf8) return false;
  AppendUtf8(cp, out);
  *end = i + 1;
  return true;
}

bool StartsWithNoCase(const std::string& text, size_t at, const char* lower_prefix) {
  for (size_t k = 0; lower_prefix[k] != '\0'; ++k) {
    if (at + k >= text.size() || Lower(text[at + k]) != lower_prefix[k]) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> PageLinks(const std::string& html) {
  std::vector<std::string> links;
  const size_t n = html.size();
  size_t pos = 0;
  while (pos < n) {
    const size_t lt = html.find('<', pos);
    if (lt == std::string::npos || lt + 1 >= n) break;
    if (html.compare(lt, 4, "<!--") == 0) {
      const size_t end = html.find("-->", lt + 4);
      pos = end == std::string::npos ? n : end + 3;
      continue;
    }
    const char first = html[lt + 1];
    if (first == '!' || first == '?' || first == '/') {
      pos = PastClose(html, lt + 2);
      continue;
    }
    if (!IsAsciiLetter(first)) {
      pos = lt + 1;
      continue;
    }
    size_t i = lt + 1;
    std::string tag;
    while (i < n && !IsSpace(html[i]) && html[i] != '>' && html[i] != '/') tag += Lower(html[i++]);
    bool self_closed = false;
    // Attributes up to the end of the tag.
    while (i < n) {
      while (i < n && (IsSpace(html[i]) || html[i] == '/')) {
        self_closed = html[i] == '/';
        ++i;
      }
      if (i >= n) break;
      if (html[i] == '>') {
        ++i;
        break;
      }
      self_closed = false;
      std::string name;
      while (i < n && !IsSpace(html[i]) && html[i] != '>' && html[i] != '/' && html[i] != '=') {
        name += Lower(html[i++]);
      }
      if (name.empty() && i < n && html[i] == '=') ++i;  // a stray '=' names nothing
      while (i < n && IsSpace(html[i])) ++i;
      if (i >= n || html[i] != '=') continue;
      ++i;
      while (i < n && IsSpace(html[i])) ++i;
      std::string value;
      if (i < n && (html[i] == '"' || html[i] == '\'')) {
        const char quote = html[i++];
        const size_t close = html.find(quote, i);
        const size_t end = close == std::string::npos ? n : close;
        value = html.substr(i, end - i);
        i = close == std::string::npos ? n : close + 1;
      } else {
        const size_t start = i;
        while (i < n && !IsSpace(html[i]) && html[i] != '>') ++i;
        value = html.substr(start, i - start);
      }
      if (name == "href" || name == "src") links.push_back(value);
    }
    pos = i;
    // Script and style bodies are text, not markup.
    if (!self_closed && (tag == "script" || tag == "style")) {
      const size_t end = FindNoCase(html, "</" + tag, pos);
      pos = end == std::string::npos ? n : end;
    }
  }
  return links;
}

std::string DecodeReferences(const std::string& value, bool utf8) {
  static const struct {
    const char* name;
    char c;
  } kNamed[] = {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};
  std::string out;
  out.reserve(value.size());
  size_t i = 0;
  while (i < value.size()) {
    if (value[i] != '&') {
      out.push_back(value[i++]);
      continue;
    }
    size_t end = 0;
    if (i + 1 < value.size() && value[i + 1] == '#' &&
        NumericReference(value, i + 2, utf8, &out, &end)) {
      i = end;
      continue;
    }
    bool named = false;
    for (const auto& ref : kNamed) {
      const std::string name = ref.name;
      if (value.compare(i + 1, name.size(), name) == 0) {
        out.push_back(ref.c);
        i += 1 + name.size();
        named = true;
        break;
      }
    }
    if (!named) out.push_back(value[i++]);
  }
  return out;
}

std::string PercentDecode(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

LinkPath DecodeLink(const std::string& value, bool utf8, bool windows) {
  LinkPath link;
  std::string v = DecodeReferences(value, utf8);
  // Browsers drop outer white space and every tab and line break of a URL.
  std::string trimmed;
  for (char c : v) {
    if (c != '\t' && c != '\n' && c != '\r') trimmed.push_back(c);
  }
  size_t b = 0, e = trimmed.size();
  while (b < e && (trimmed[b] == ' ' || trimmed[b] == '\f')) ++b;
  while (e > b && (trimmed[e - 1] == ' ' || trimmed[e - 1] == '\f')) --e;
  v = trimmed.substr(b, e - b);
  if (v.empty() || v[0] == '#' || v[0] == '?') return link;
  const auto separator = [windows](char c) { return c == '/' || (windows && c == '\\'); };
  if (v.size() >= 2 && separator(v[0]) && separator(v[1]) && !StartsWithNoCase(v, 0, "file:")) {
    return link;  // another host
  }

  // A scheme: a letter, then letters, digits, '+', '-' or '.', then ':'.
  bool full = false;
  size_t colon = 0;
  if (IsAsciiLetter(v[0])) {
    colon = 1;
    while (colon < v.size() && (IsAsciiLetter(v[colon]) || IsDigit(v[colon]) ||
                                v[colon] == '+' || v[colon] == '-' || v[colon] == '.')) {
      ++colon;
    }
    if (colon >= v.size() || v[colon] != ':') colon = 0;
  }
  const bool drive = windows && colon == 1;
  if (colon != 0 && !drive) {
    if (!StartsWithNoCase(v, 0, "file:")) return link;
    // file:///srv/x, file://localhost/srv/x, File://C:/x (as written with
    // full path links), file:///C:/x.
    std::string rest = v.substr(5);
    if (rest.compare(0, 2, "//") == 0) {
      rest.erase(0, 2);
      if (StartsWithNoCase(rest, 0, "localhost/")) rest.erase(0, 9);
      const bool drive_next = rest.size() >= 2 && IsAsciiLetter(rest[0]) && rest[1] == ':';
      if (!rest.empty() && rest[0] != '/' && !(windows && drive_next)) return link;  // a host
    }
    if (windows && rest.size() >= 3 && rest[0] == '/' && IsAsciiLetter(rest[1]) && rest[2] == ':') {
      rest.erase(0, 1);
    }
    v = rest;
    full = true;
  } else if (drive || (!v.empty() && v[0] == '/') || (windows && v[0] == '\\')) {
    // A full path of this system (a browser would take "/x" from the root
    // of the page's drive; the pages never write such links).
    full = true;
  }
  const size_t cut = v.find_first_of("?#");
  if (cut != std::string::npos) v.erase(cut);
  if (v.empty()) return link;
  // A '\' may be the second byte of a double-byte character.
  link.folder = v.back() == '/' ||
                (windows && v.back() == '\\' &&
                 (v.size() < 2 || static_cast<unsigned char>(v[v.size() - 2]) < 0x81));
  std::string path = PercentDecode(v);
  if (windows) {
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
  }
  link.kind = full ? LinkPath::kFull : LinkPath::kRelative;
  link.path = path;
  return link;
}

}  // namespace vellora
