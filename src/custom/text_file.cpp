#include "custom/text_file.h"

#include <cstring>

#include "platform/env.h"
#include "platform/path.h"

namespace vellora {

namespace {

const char kIncludeToken[] = "%%FILE";
const char kIncludeMarker[] = "%%FILZ";
constexpr size_t kTokenLength = 6;

// Replaces every include marker of `text` by `content`, or by nothing when
// the result would grow beyond `max_size`. False in the second case.
bool ReplaceMarkers(std::string* text, const std::string& content, size_t max_size) {
  size_t markers = 0;
  for (size_t at = text->find(kIncludeMarker); at != std::string::npos;
       at = text->find(kIncludeMarker, at + kTokenLength)) {
    ++markers;
  }
  bool fits = content.empty() || (markers <= max_size / content.size() &&
                                  text->size() <= max_size - markers * content.size());
  static const std::string kNothing;
  const std::string& with = fits ? content : kNothing;
  std::string out;
  out.reserve(text->size() - markers * kTokenLength + markers * with.size());
  size_t from = 0;
  for (size_t at = text->find(kIncludeMarker); at != std::string::npos;
       at = text->find(kIncludeMarker, from)) {
    out.append(*text, from, at - from);
    out.append(with);
    from = at + kTokenLength;
  }
  out.append(*text, from, std::string::npos);
  text->swap(out);
  return fits;
}

// Removes every complete include token, in one pass. A token without a
// closing '%' and all that follows it stay as they are.
void RemoveIncludeTokens(std::string* text) {
  std::string out;
  size_t from = 0;
  for (;;) {
    size_t at = text->find(kIncludeToken, from);
    if (at == std::string::npos) break;
    size_t close = text->find('%', at + kTokenLength);
    if (close == std::string::npos) break;
    out.append(*text, from, at - from);
    from = close + 1;
  }
  if (from == 0) return;
  out.append(*text, from, std::string::npos);
  text->swap(out);
}

}  // namespace

std::string ResolveProgramRelative(const std::string& name, Env* env) {
  if (ContainsSeparator(name, env)) return name;
  std::string folder = ProgramFolder(env);
  // Without a known program folder there is nothing to find: never fall
  // back to the current folder.
  if (folder.empty()) return std::string();
  return folder + name;
}

std::string LoadTextFile(const std::string& name, const std::string& folder, Env* env) {
  if (name.empty()) return std::string();
  std::string data;
  bool read = false;
  if (ContainsSeparator(name, env)) {
    read = env->ReadWholeFile(name, kMaxTextFileBytes, &data);
  } else {
    std::string path = WithTrailingSeparator(folder.empty() ? ProgramFolder(env) : folder, env);
    if (!path.empty()) read = env->ReadWholeFile(path + name, kMaxTextFileBytes, &data);
    if (!read) {
      std::string fallback = ResolveProgramRelative(name, env);
      data.clear();
      read = !fallback.empty() && env->ReadWholeFile(fallback, kMaxTextFileBytes, &data);
    }
  }
  if (!read) return std::string();
  size_t nul = data.find('\0');
  if (nul != std::string::npos) data.resize(nul);
  return data;
}

bool TakeIncludeName(std::string* text, std::string* name) {
  size_t at = text->find(kIncludeToken);
  if (at == std::string::npos) return false;
  size_t start = at + kTokenLength;
  size_t close = text->find('%', start);
  if (close == std::string::npos) return false;
  name->assign(*text, start, close - start);
  (*text)[start - 1] = 'Z';
  text->erase(start, close - start + 1);
  return true;
}

void ExpandIncludes(std::string* section_copy, const std::string& lookup_folder, Env* env,
                    size_t max_size) {
  std::string name;
  for (int expansions = 0; expansions < kMaxIncludeExpansions; ++expansions) {
    if (!TakeIncludeName(section_copy, &name)) return;
    if (!ReplaceMarkers(section_copy, LoadTextFile(name, lookup_folder, env), max_size)) break;
  }
  RemoveIncludeTokens(section_copy);
}

}  // namespace vellora
