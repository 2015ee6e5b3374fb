#include "platform/path.h"

#include "platform/env.h"

namespace vellora {

namespace {

// Index of the last separator that is a character of its own, or npos. On a
// double-byte code page a trail byte may equal '\', so the text is walked
// character by character there.
size_t LastSeparator(const std::string& text) {
#ifdef _WIN32
  Env* env = Env::Default();
  size_t last = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == static_cast<unsigned char>(kSeparator)) {
      last = i;
    } else if (c >= 0x80 && i + 1 < text.size() && env->IsLeadByte(c)) {
      ++i;
    }
  }
  return last;
#else
  return text.rfind(kSeparator);
#endif
}

}  // namespace

bool IsFileSystemRoot(const std::string& path) {
#ifdef _WIN32
  const bool drive = path.size() >= 2 && path[1] == ':' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive && (path.size() == 2 || (path.size() == 3 && path[2] == '\\'));
#else
  return path == "/";
#endif
}

std::string WithTrailingSeparator(const std::string& path) {
  if (path.empty()) return path;
  const size_t last = LastSeparator(path);
  if (last != std::string::npos && last + 1 == path.size()) return path;
  return path + kSeparator;
}

std::string ProgramFolder(Env* env) {
  const std::string exe = env->ExecutablePath();
  const size_t slash = LastSeparator(exe);
  if (slash == std::string::npos) return std::string();
  return exe.substr(0, slash + 1);
}

bool ContainsSeparator(const std::string& text) {
  return LastSeparator(text) != std::string::npos;
}

std::string TextAfterLastSeparator(const std::string& text) {
  const size_t slash = LastSeparator(text);
  return slash == std::string::npos ? text : text.substr(slash + 1);
}

}  // namespace vellora
