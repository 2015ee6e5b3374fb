#include "sheet/sheet_paths.h"

#include "platform/env.h"
#include "platform/path.h"

namespace vellora {

CSplitPath SplitPath(const std::string& path, Env* env) {
  CSplitPath split;
  std::string rest = path;
#ifdef _WIN32
  if (rest.size() >= 2 && rest[1] == ':') {
    split.drive = rest.substr(0, 2);
    rest = rest.substr(2);
  }
#endif
  split.name = TextAfterLastSeparator(rest, env);
  split.folder = rest.substr(0, rest.size() - split.name.size());
  return split;
}

std::string NameRelativeTo(const std::string& chosen, const std::string& folder, Env* env) {
  const CSplitPath split = SplitPath(chosen, env);
  return split.drive + split.folder == folder ? split.name : chosen;
}

bool IsFullOutputName(const std::string& text) {
#ifdef _WIN32
  return text.find(':') != std::string::npos;
#else
  return !text.empty() && text[0] == '/';
#endif
}

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace vellora
