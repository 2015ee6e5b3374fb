#include "html/readme.h"

#include "html/page_parts.h"
#include "html/text_helpers.h"
#include "platform/characters.h"
#include "platform/path.h"

namespace vellora {

namespace {

const char kReplacement[] = "&#65533;";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsPlainFileName(const std::string& name, Env* env) {
  if (name.find('/') != std::string::npos || ContainsSeparator(name, env)) return false;
#ifdef _WIN32
  // Drive-relative names and streams; "..." and ". ." read as "..".
  if (name.find(':') != std::string::npos) return false;
  return name.find_first_not_of(". ") != std::string::npos;
#else
  return name.find_first_not_of('.') != std::string::npos;
#endif
}

}  // namespace

std::vector<std::string> ReadmeNames(const std::string& option, Env* env) {
  std::vector<std::string> names;
  size_t from = 0;
  while (from <= option.size()) {
    size_t end = option.find(';', from);
    if (end == std::string::npos) end = option.size();
    size_t begin = from;
    size_t stop = end;
    while (begin < stop && IsBlank(option[begin])) ++begin;
    while (stop > begin && IsBlank(option[stop - 1])) --stop;
    const std::string name = option.substr(begin, stop - begin);
    if (!name.empty() && IsPlainFileName(name, env)) names.push_back(name);
    from = end + 1;
  }
  return names;
}

void CutToCharacter(std::string* text, Env* env) {
  const size_t size = text->size();
  if (NamesAreUtf8()) {
    size_t start = size;
    // Back over the continuation bytes to the byte that leads them.
    while (start > 0 && size - start < 3 &&
           (static_cast<unsigned char>((*text)[start - 1]) & 0xC0) == 0x80) {
      --start;
    }
    if (start == 0) return;
    --start;
    const unsigned char lead = static_cast<unsigned char>((*text)[start]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length > size - start) text->resize(start);
    return;
  }
  for (size_t at = 0; at < size; at += CharacterLength(*text, at, env)) {
    if (at + 1 == size && env->IsLeadByte(static_cast<unsigned char>((*text)[at]))) {
      text->resize(at);
    }
  }
}

std::string ReadmeHtml(const std::string& text, bool cut) {
  size_t i = 0;
  if (NamesAreUtf8() && text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
  if (i == text.size()) return std::string();
  std::string html = "<pre class=\"readme\">";
  // A browser drops a line break right after the tag: the text's own first
  // line break needs one in front of it.
  if (text[i] == '\r' || text[i] == '\n') html += kCrLf;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    const unsigned char u = static_cast<unsigned char>(c);
    switch (c) {
      case '\r':
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        html += kCrLf;
        continue;
      case '\n': html += kCrLf; continue;
      case '\t': html += c; continue;
      case '&': html += "&amp;"; continue;
      case '<': html += "&lt;"; continue;
      case '>': html += "&gt;"; continue;
      default: break;
    }
    if (u < 0x20 || u == 0x7F) {
      html += kReplacement;
    } else if (u >= 0x80 && NamesAreUtf8()) {
      const size_t length = Utf8SequenceLength(text, i);
      if (length == 0) {
        // One for each run that a browser's decoder would show as one.
        html += kReplacement;
        i += Utf8InvalidLength(text, i) - 1;
      } else {
        html.append(text, i, length);
        i += length - 1;
      }
    } else {
      html += c;
    }
  }
  html += "</pre>";
  html += kCrLf;
  if (cut) {
    // "已截断：只显示前 64 KiB" (cut: only the first 64 KiB are shown).
    html += "<p class=\"readme-cut\">";
    html += "&#24050;&#25130;&#26029;&#65306;&#21482;&#26174;&#31034;&#21069; ";
    html += std::to_string(kMaxReadmeBytes >> 10);
    html += " KiB</p>";
    html += kCrLf;
  }
  return html;
}

void WriteReadme(PageContext* page) {
  const CBuildSettings& s = *page->settings;
  if (s.readme_names.empty()) return;
  Env* env = page->env;
  const std::string base = WithTrailingSeparator(page->folder, env);
  for (const std::string& name : ReadmeNames(s.readme_names, env)) {
    const std::string path = base + name;
    // A planted link must not show another file's content on the page.
    if (env->IsLink(path) && page->builder->FileLeadsOutOfTree(path)) continue;
    std::string text;
    const ReadResult read = env->ReadFile(path, kMaxReadmeBytes, &text);
    if (read == ReadResult::kFailed) continue;
    const bool cut = read == ReadResult::kTooLong;
    if (cut) CutToCharacter(&text, env);
    page->out->Add(ReadmeHtml(text, cut));
    return;
  }
}

}  // namespace vellora
