// An Env over an in-memory file table with folders and a current folder, for
// the tests of the configuration file.
#ifndef VELLORA_TESTS_APP_CONFIG_ENV_H_
#define VELLORA_TESTS_APP_CONFIG_ENV_H_

#include <map>
#include <set>
#include <string>

#include "platform/env.h"
#include "platform/pieces.h"

namespace vellora {

// A full native path from a POSIX-style one ("/opt/x" or "C:\opt\x").
inline std::string NativePath(std::string path) {
#ifdef _WIN32
  path = "C:" + path;
  for (char& c : path) c = c == '/' ? '\\' : c;
#endif
  return path;
}

class ConfigEnv : public Env {
 public:
  std::map<std::string, std::string> files;  // full path -> content
  std::set<std::string> folders{NativePath("/home/user"), NativePath("/opt/vellora")};
  std::set<std::string> unreadable;  // files that exist but cannot be read
  std::string current = NativePath("/home/user");
  bool fail_writes = false;

  std::string Full(const std::string& path) const {
    const bool absolute = path.rfind(NativePath("/"), 0) == 0;
    return absolute ? path : current + kSeparator + path;
  }
  static std::string Parent(const std::string& full) {
    return full.substr(0, full.rfind(kSeparator));
  }
  std::string& File(const std::string& path) { return files[Full(path)]; }

  bool ListFolder(const std::string& folder, const std::string&,
                  const std::function<void(const FolderItem&)>& visit) override {
    for (const auto& f : files) {
      FolderItem item;
      item.name = f.first.substr(f.first.rfind(kSeparator) + 1);
      if (Parent(f.first) == folder) visit(item);
    }
    return folders.count(folder) > 0;
  }
  bool GetCurrentFolder(std::string* folder) override { return *folder = current, true; }
  std::string ExecutablePath() override { return NativePath("/opt/vellora/vellora"); }
  ReadResult ReadFile(const std::string& path, size_t max_bytes, std::string* data) override {
    auto it = files.find(Full(path));
    if (it == files.end() || unreadable.count(it->first)) return ReadResult::kFailed;
    return ReadCapped(it->second, max_bytes, data);
  }
  bool WritePiecesSafely(const std::string& path,
                         const std::vector<std::string_view>& pieces) override {
    const std::string full = Full(path);
    if (fail_writes || !folders.count(Parent(full)) || folders.count(full)) return false;
    return files[full] = JoinPieces(pieces), true;
  }
  bool IsFolder(const std::string& path) override { return folders.count(Full(path)) > 0; }

  bool GetFolderIdentity(const std::string&, FolderIdentity*) override { return false; }
  bool SetCurrentFolder(const std::string&) override { return false; }
  bool FileTimeToLocal(FileTime, LocalTime*) override { return false; }
  FileTime Now() override { return 0; }
  std::string FormatLocalTime(const char*, const LocalTime&) override { return {}; }
  int CompareText(const std::string& a, const std::string& b) override { return a.compare(b); }
  bool IsLeadByte(unsigned char) override { return false; }
  std::string CharsetName() override { return "utf-8"; }
  bool OpenWithDefaultProgram(const std::string&) override { return false; }
};

}  // namespace vellora

#endif  // VELLORA_TESTS_APP_CONFIG_ENV_H_
