#include "platform/path.h"

#include "platform/characters.h"
#include "platform/env.h"

namespace vellora {

bool IsFileSystemRoot(const std::string& path) {
#ifdef _WIN32
  const bool drive = path.size() >= 2 && path[1] == ':' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive && (path.size() == 2 || (path.size() == 3 && path[2] == '\\'));
#else
  return path == "/";
#endif
}

std::string WithTrailingSeparator(const std::string& path, Env* env) {
  if (path.empty() || EndsWithCharacter(path, kSeparator, env)) return path;
  return path + kSeparator;
}

std::string ProgramFolder(Env* env) {
  const std::string exe = env->ExecutablePath();
  const size_t slash = FindLastCharacter(exe, kSeparator, env);
  if (slash == std::string::npos) return std::string();
  return exe.substr(0, slash + 1);
}

bool ContainsSeparator(const std::string& text, Env* env) {
  return FindCharacter(text, kSeparator, 0, env) != std::string::npos;
}

std::string TextAfterLastSeparator(const std::string& text, Env* env) {
  const size_t slash = FindLastCharacter(text, kSeparator, env);
  return slash == std::string::npos ? text : text.substr(slash + 1);
}

bool IsFullPath(const std::string& path) {
#ifdef _WIN32
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return true;
  return path.size() >= 3 && path[1] == ':' && path[2] == '\\';
#else
  return !path.empty() && path[0] == '/';
#endif
}

}  // namespace vellora
