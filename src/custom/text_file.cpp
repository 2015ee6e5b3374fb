#include "custom/text_file.h"

#include <cstring>
#include <vector>

#include "platform/characters.h"
#include "platform/env.h"
#include "platform/path.h"

namespace vellora {

namespace {

const char kIncludeToken[] = "%%FILE";
const char kIncludeMarker[] = "%%FILZ";
constexpr size_t kTokenLength = 6;

// Replaces every include marker of `text` by `content`, or by nothing when
// the result would grow beyond `max_size`. False in the second case. The
// content joins the file-system spans when `content_is_file_text`.
bool ReplaceMarkers(std::string* text, const std::string& content, size_t max_size,
                    bool content_is_file_text, TextSpans* spans) {
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
  std::vector<TextEdit> edits;
  edits.reserve(markers);
  size_t from = 0;
  for (size_t at = text->find(kIncludeMarker); at != std::string::npos;
       at = text->find(kIncludeMarker, from)) {
    out.append(*text, from, at - from);
    out.append(with);
    edits.push_back(TextEdit{at, kTokenLength, with.size(), content_is_file_text});
    from = at + kTokenLength;
  }
  out.append(*text, from, std::string::npos);
  text->swap(out);
  *spans = EditSpans(*spans, edits);
  return fits;
}

// Removes every complete include token, in one pass. A token without a
// closing '%' and all that follows it stay as they are.
void RemoveIncludeTokens(std::string* text, TextSpans* spans) {
  std::string out;
  std::vector<TextEdit> edits;
  size_t from = 0;
  for (;;) {
    size_t at = text->find(kIncludeToken, from);
    if (at == std::string::npos) break;
    size_t close = text->find('%', at + kTokenLength);
    if (close == std::string::npos) break;
    out.append(*text, from, at - from);
    edits.push_back(TextEdit{at, close + 1 - at, 0, false});
    from = close + 1;
  }
  if (from == 0) return;
  out.append(*text, from, std::string::npos);
  text->swap(out);
  *spans = EditSpans(*spans, edits);
}

// The first complete include token: "%%FILE" at `*at`, its closing '%' at
// `*close`.
bool FindIncludeToken(const std::string& text, size_t* at, size_t* close) {
  *at = text.find(kIncludeToken);
  if (*at == std::string::npos) return false;
  *close = text.find('%', *at + kTokenLength);
  return *close != std::string::npos;
}

bool ReadText(Env* env, const std::string& path, std::string* data) {
  data->clear();
  if (path.empty() || !env->ReadWholeFile(path, kMaxTextFileBytes, data)) return false;
  size_t nul = data->find('\0');
  if (nul != std::string::npos) data->resize(nul);
  return true;
}

// True for a character that separates the steps of a path: '/' and, on
// Windows, '\' too (both are separators to the system there).
bool IsPathSeparator(char c) { return c == '/' || c == kSeparator; }

// A name from the file system that could lead out of the folder it is
// looked up in: a full path (on Windows also "\x", "C:x" and other names
// with a ':'), or one with a ".." step (on Windows also "..." and ". ."
// forms, which the system reads as "..").
bool LeavesItsFolder(const std::string& name, Env* env) {
  if (name.empty() || IsPathSeparator(name[0])) return true;
#ifdef _WIN32
  if (name.find(':') != std::string::npos) return true;
#endif
  size_t step = 0;
  for (size_t i = 0; i <= name.size(); i += i < name.size() ? CharacterLength(name, i, env) : 1) {
    if (i == name.size() || IsPathSeparator(name[i])) {
      const std::string part = name.substr(step, i - step);
#ifdef _WIN32
      const bool dots_only = part.find_first_not_of(". ") == std::string::npos;
      if (dots_only && part.find("..") != std::string::npos) return true;
#else
      if (part == "..") return true;
#endif
      step = i + 1;
    }
  }
  return false;
}

// The real location of the tree, found when first needed.
class TreeBounds {
 public:
  TreeBounds(const std::string& folder, Env* env) : folder_(folder), env_(env) {}

  // True when the real location of `path` lies inside the tree.
  bool Holds(const std::string& path) {
    if (!resolved_) {
      resolved_ = true;
      known_ = !folder_.empty() && env_->RealPath(folder_, &root_);
      if (known_ && !root_.empty() && !EndsWithCharacter(root_, kSeparator, env_)) {
        root_ += kSeparator;
      }
    }
    std::string real;
    if (!known_ || !env_->RealPath(path, &real)) return false;
    // The tree's own folder is no file of it; anything below is.
    return real.size() > root_.size() && real.compare(0, root_.size(), root_) == 0;
  }

 private:
  std::string folder_;
  Env* env_;
  bool resolved_ = false;
  bool known_ = false;
  std::string root_;  // with a final separator
};

// The content of a file named by text from the file system: only a file of
// the tree, named relative to the lookup folder.
bool ReadTreeFile(const std::string& name, const IncludeScope& scope, TreeBounds* tree,
                  Env* env, std::string* data) {
  data->clear();
  if (LeavesItsFolder(name, env) || scope.lookup_folder.empty()) return false;
  const std::string path = WithTrailingSeparator(scope.lookup_folder, env) + name;
  return tree->Holds(path) && ReadText(env, path, data);
}

// The content of a file named by the user, looked up as LoadTextFile does
// except that a file of the lookup folder that leads out of the tree counts
// as missing there. `*from_tree` tells whether the file lies in the tree.
bool ReadUserFile(const std::string& name, const IncludeScope& scope, TreeBounds* tree, Env* env,
                  std::string* data, bool* from_tree) {
  data->clear();
  *from_tree = false;
  if (name.empty()) return false;
  std::string path;
  if (ContainsSeparator(name, env)) {
    path = name;
  } else {
    if (!scope.lookup_folder.empty()) {
      const std::string listed = WithTrailingSeparator(scope.lookup_folder, env) + name;
      if (tree->Holds(listed) && ReadText(env, listed, data)) {
        *from_tree = true;
        return true;
      }
    }
    path = ResolveProgramRelative(name, env);
  }
  if (!ReadText(env, path, data)) return false;
  *from_tree = !data->empty() && tree->Holds(path);
  return true;
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
  if (ContainsSeparator(name, env)) {
    ReadText(env, name, &data);
  } else {
    std::string path = WithTrailingSeparator(folder.empty() ? ProgramFolder(env) : folder, env);
    if (path.empty() || !ReadText(env, path + name, &data)) {
      ReadText(env, ResolveProgramRelative(name, env), &data);
    }
  }
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

void ExpandIncludes(std::string* section_copy, const IncludeScope& scope, Env* env,
                    TextSpans* file_text, size_t max_size) {
  TextSpans own;
  TextSpans& spans = file_text != nullptr ? *file_text : own;
  TreeBounds tree(scope.tree_folder.empty() ? scope.lookup_folder : scope.tree_folder, env);
  std::string name;
  std::string content;
  for (int expansions = 0; expansions < kMaxIncludeExpansions; ++expansions) {
    size_t at = 0;
    size_t close = 0;
    if (!FindIncludeToken(*section_copy, &at, &close)) return;
    const bool named_by_file = spans.Touches(at, close + 1);
    TakeIncludeName(section_copy, &name);
    spans = EditSpans(spans, {TextEdit{at + kTokenLength, close + 1 - at - kTokenLength, 0, false}});
    bool from_tree = true;
    if (named_by_file) {
      ReadTreeFile(name, scope, &tree, env, &content);
    } else {
      ReadUserFile(name, scope, &tree, env, &content, &from_tree);
    }
    if (!ReplaceMarkers(section_copy, content, max_size, from_tree, &spans)) break;
  }
  RemoveIncludeTokens(section_copy, &spans);
}

}  // namespace vellora
