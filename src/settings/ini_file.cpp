#include "settings/ini_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/characters.h"
#include "platform/env.h"
#include "platform/text_case.h"

namespace vellora {

namespace {

const char kUtf8Bom[] = "\xEF\xBB\xBF";
const char kLineBreak[] = "\r\n";

// Blanks as the profile functions trim them; Ctrl-Z is an old end-of-file mark.
bool IsBlank(char c) { return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == ' '; }

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Names and values end at a NUL, as C strings do.
std::string CutAtNul(std::string s) {
  size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  return s;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string Lower(std::string s) {
  for (char& c : s) c = LowerAscii(c);
  return s;
}

// The name a caller asks for, in the form the index keeps.
std::string LookupName(const std::string& name) { return Lower(Trim(CutAtNul(name))); }

// A default loses its trailing spaces, all but the first character at most.
std::string TrimDefault(const std::string& def) {
  size_t e = def.size();
  while (e > 1 && def[e - 1] == ' ') --e;
  return def.substr(0, e);
}

}  // namespace

CharacterCut CharacterCutFor(Env* env) {
  if (env->CharsetName() == "utf-8") {
    return [](const std::string& text, size_t max_bytes) {
      if (max_bytes >= text.size()) return text.size();
      auto continuation = [&](size_t i) {
        return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
      };
      // Back to the first byte of the sequence the cut falls in, if any.
      size_t start = max_bytes;
      while (start > 0 && max_bytes - start < 3 && continuation(start)) --start;
      const unsigned char lead = static_cast<unsigned char>(text[start]);
      const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      return start < max_bytes && start + length > max_bytes ? start : max_bytes;
    };
  }
  return [env](const std::string& text, size_t max_bytes) {
    if (max_bytes >= text.size()) return text.size();
    size_t i = 0;
    while (i < max_bytes) {
      const size_t step =
          env->IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
      if (i + step > max_bytes) break;
      i += step;
    }
    return i;
  };
}

struct IniDocument::Line {
  size_t begin = 0;    // first byte
  size_t raw_end = 0;  // first CR or LF, or the end of the text
  size_t next = 0;     // after the run of CR and LF
  size_t cb = 0;       // the line without its surrounding blanks
  size_t ce = 0;
};

// Drops one pair of matching quotes and keeps at most max_chars bytes, the
// way the profile functions copy a value into a buffer of max_chars + 1.
std::string IniDocument::CopyEntry(const std::string& value, size_t max_chars) const {
  auto head = [this](const std::string& s, size_t n) {
    n = std::min(s.size(), n);
    return s.substr(0, cut_ ? std::min(n, cut_(s, n)) : n);
  };
  if (value.size() >= 2 && (value[0] == '\'' || value[0] == '"') && value.back() == value[0]) {
    std::string rest = value.substr(1);  // still ends in the closing quote
    std::string out = head(rest, max_chars);
    // The closing quote goes only when the copy could hold all of `rest`
    // less one; a copy of exactly that size loses its last character instead.
    if (max_chars + 1 >= rest.size() && !out.empty()) out.pop_back();
    return out;
  }
  return head(value, max_chars);
}

void IniDocument::Parse(std::string bytes) {
  sections_.clear();
  bom_ = bytes.compare(0, 3, kUtf8Bom) == 0;
  if (bom_) bytes.erase(0, 3);
  utf16_ =
      !bom_ && bytes.size() >= 2 &&
      ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
  text_ = std::move(bytes);
}

std::string IniDocument::Serialize() const { return bom_ ? std::string(kUtf8Bom) + text_ : text_; }

IniDocument::Line IniDocument::ReadLine(size_t pos) const {
  const char* t = text_.data();
  const size_t n = text_.size();
  Line l;
  l.begin = pos;
  size_t e = pos;
  while (e < n && !IsBreak(t[e])) ++e;
  l.raw_end = e;
  while (e < n && IsBreak(t[e])) ++e;
  l.next = e;
  l.cb = pos;
  l.ce = l.raw_end;
  while (l.cb < l.ce && IsBlank(t[l.cb])) ++l.cb;
  while (l.ce > l.cb && IsBlank(t[l.ce - 1])) --l.ce;
  return l;
}

const IniDocument::SectionIndex& IniDocument::Find(const std::string& section) const {
  const std::string want = LookupName(section);
  auto cached = sections_.find(want);
  if (cached != sections_.end()) return cached->second;

  const char* t = text_.data();
  const size_t n = text_.size();
  // The first line break after a line, or the end of the text.
  auto after_break = [&](const Line& l) {
    if (l.raw_end == n) return n;
    return (t[l.raw_end] == '\r' && l.raw_end + 1 < n && t[l.raw_end + 1] == '\n') ? l.raw_end + 2
                                                                                   : l.raw_end + 1;
  };

  SectionIndex idx;
  // Lines before the first header form a section without a name.
  bool inside = want.empty() && !utf16_;
  idx.found = inside;
  idx.body_end = n;
  size_t pos = 0;
  while (pos < n) {
    Line l = ReadLine(pos);
    pos = l.next;
    if (l.cb == l.ce) continue;
    if (t[l.cb] == '[') {
      size_t close = l.ce;
      while (close > l.cb && t[close - 1] != ']') --close;
      if (close > l.cb + 1) {  // a header: '[' up to the last ']'
        if (inside) {
          idx.body_end = l.begin;
          break;
        }
        size_t nb = l.cb + 1, ne = close - 1;
        while (nb < ne && IsBlank(t[nb])) ++nb;
        while (ne > nb && IsBlank(t[ne - 1])) --ne;
        if (!utf16_ && Lower(CutAtNul(text_.substr(nb, ne - nb))) == want) {
          inside = true;
          idx.found = true;
          idx.body_begin = idx.append_at = after_break(l);
        }
        continue;
      }
    }
    if (!inside) continue;
    const char* eq = static_cast<const char*>(std::memchr(t + l.cb, '=', l.ce - l.cb));
    size_t name_end = eq ? static_cast<size_t>(eq - t) : l.ce;
    while (name_end > l.cb && IsBlank(t[name_end - 1])) --name_end;
    idx.keys.emplace(Lower(CutAtNul(text_.substr(l.cb, name_end - l.cb))), l.begin);
    idx.append_at = after_break(l);
  }
  return sections_.emplace(want, std::move(idx)).first->second;
}

size_t IniDocument::FindKey(const std::string& section, const std::string& key) const {
  const SectionIndex& idx = Find(section);
  if (!idx.found) return std::string::npos;
  auto it = idx.keys.find(LookupName(key));
  return it == idx.keys.end() ? std::string::npos : it->second;
}

bool IniDocument::Has(const std::string& section, const std::string& key) const {
  size_t line = FindKey(section, key);
  if (line == std::string::npos) return false;
  Line l = ReadLine(line);
  return std::memchr(text_.data() + l.cb, '=', l.ce - l.cb) != nullptr;
}

std::string IniDocument::Get(const std::string& section, const std::string& key,
                             const std::string& default_value, size_t max_chars) const {
  size_t line = FindKey(section, key);
  if (line != std::string::npos) {
    Line l = ReadLine(line);
    const char* t = text_.data();
    const char* eq = static_cast<const char*>(std::memchr(t + l.cb, '=', l.ce - l.cb));
    if (eq) {
      size_t vb = static_cast<size_t>(eq - t) + 1;
      while (vb < l.ce && IsBlank(t[vb])) ++vb;
      return CopyEntry(CutAtNul(text_.substr(vb, l.ce - vb)), max_chars);
    }
  }
  return CopyEntry(TrimDefault(CutAtNul(default_value)), max_chars);
}

void IniDocument::Shift(size_t from, ptrdiff_t delta, const SectionIndex* keep_body_begin) {
  auto move = [&](size_t& offset) {
    if (offset >= from) offset = static_cast<size_t>(static_cast<ptrdiff_t>(offset) + delta);
  };
  for (auto& entry : sections_) {
    SectionIndex& s = entry.second;
    if (!s.found) continue;
    if (&s != keep_body_begin) move(s.body_begin);
    move(s.body_end);
    move(s.append_at);
    for (auto& key : s.keys) move(key.second);
  }
}

bool IniDocument::Set(const std::string& section, const std::string& key,
                      const std::string& value) {
  if (utf16_) return false;
  const std::string sec = Trim(section);
  const std::string name = Trim(key);
  // Line breaks and NULs cannot be written inside a line; '=' and a leading
  // '[' would make a key read back as something else.
  const std::string breaks("\r\n\0", 3);
  if (sec.find_first_of(breaks) != std::string::npos) return false;
  if (name.empty() || name[0] == '[' || name.find('=') != std::string::npos ||
      name.find_first_of(breaks) != std::string::npos) {
    return false;
  }
  size_t lead = 0;
  while (lead < value.size() && IsBlank(value[lead])) ++lead;
  std::string v = value.substr(lead);
  size_t stop = v.find_first_of(breaks);
  if (stop != std::string::npos) v.resize(stop);

  SectionIndex& idx = const_cast<SectionIndex&>(Find(sec));
  if (!idx.found) {
    std::string add;
    if (!text_.empty() && !IsBreak(text_.back())) add += kLineBreak;
    add += "[" + sec + "]" + kLineBreak + name + "=" + v + kLineBreak;
    text_ += add;
    sections_.clear();
    return true;
  }

  auto it = idx.keys.find(Lower(name));
  if (it != idx.keys.end()) {
    Line l = ReadLine(it->second);
    const char* t = text_.data();
    const char* eq = static_cast<const char*>(std::memchr(t + l.cb, '=', l.ce - l.cb));
    size_t from, to;
    std::string put;
    if (eq) {
      from = static_cast<size_t>(eq - t) + 1;
      while (from < l.ce && IsBlank(t[from])) ++from;
      to = l.ce;
      put = v;
    } else {
      from = to = l.ce;
      put = "=" + v;
    }
    text_.replace(from, to - from, put);
    Shift(to, static_cast<ptrdiff_t>(put.size()) - static_cast<ptrdiff_t>(to - from), nullptr);
    return true;
  }

  const size_t pos = idx.append_at;
  std::string add;
  if (pos > 0 && !IsBreak(text_[pos - 1])) add += kLineBreak;
  const size_t line_start = pos + add.size();
  add += name + "=" + v + kLineBreak;
  text_.insert(pos, add);
  Shift(pos, static_cast<ptrdiff_t>(add.size()), &idx);
  idx.keys.emplace(Lower(name), line_start);
  idx.append_at = pos + add.size();
  return true;
}

namespace {

bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

bool SameFileName(const std::string& a, const std::string& b, Env* env) {
#ifdef _WIN32
  return a.size() == b.size() && UpperCased(a, env) == UpperCased(b, env);
#else
  (void)env;
  return a == b;
#endif
}

// Whether `path` names an item of its folder, for files that exist but
// cannot be read.
bool ListedInFolder(Env* env, const std::string& path) {
  size_t cut = 0;  // after the last separator
  for (size_t i = 0; i < path.size(); i += CharacterLength(path, i, env)) {
    if (IsPathSeparator(path[i])) cut = i + 1;
  }
  const std::string name = path.substr(cut);
  if (name.empty()) return false;
  std::string folder;
  if (cut == 0) {
    if (!env->GetCurrentFolder(&folder)) folder = ".";
  } else {
    folder = path.substr(0, cut - 1);
    // Keep the separator of a root ("/", "C:\").
    if (folder.empty() || folder.back() == ':') folder = path.substr(0, cut);
  }
  bool found = false;
  env->ListFolder(folder, "*", [&](const FolderItem& item) {
    if (SameFileName(item.name, name, env)) found = true;
  });
  return found;
}

}  // namespace

bool LoadIniFile(Env* env, const std::string& path, IniDocument* doc) {
  std::string bytes;
  doc->set_character_cut(CharacterCutFor(env));
  if (!env->ReadWholeFile(path, kMaxIniFileBytes, &bytes)) {
    doc->Parse(std::string());
    return false;
  }
  doc->Parse(std::move(bytes));
  return true;
}

bool SaveIniFile(Env* env, const std::string& path, const IniDocument& doc) {
  return env->WriteFileSafely(path, doc.Serialize());
}

bool OpenIniForUpdate(Env* env, const std::string& path, IniDocument* doc) {
  if (LoadIniFile(env, path, doc)) return !doc->is_utf16();
  return !path.empty() && !env->IsFolder(path) && !ListedInFolder(env, path);
}

std::string ReadIniString(Env* env, const std::string& path, const std::string& section,
                          const std::string& key, const std::string& default_value,
                          size_t max_chars) {
  IniDocument doc;
  LoadIniFile(env, path, &doc);
  return doc.Get(section, key, default_value, max_chars);
}

bool WriteIniString(Env* env, const std::string& path, const std::string& section,
                    const std::string& key, const std::string& value) {
  IniDocument doc;
  return OpenIniForUpdate(env, path, &doc) && doc.Set(section, key, value) &&
         SaveIniFile(env, path, doc);
}

}  // namespace vellora
