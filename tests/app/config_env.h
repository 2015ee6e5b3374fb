// An Env over an in-memory file table with folders and a current folder, for
// the tests of the configuration file.
#ifndef VELLORA_TESTS_APP_CONFIG_ENV_H_
#define VELLORA_TESTS_APP_CONFIG_ENV_H_

#include <map>
#include <set>
#include <string>

#include "platform/env.h"

namespace vellora {

// A full native path from a POSIX-style one ("/opt/x" or "C:\opt\x").
inline std::string NativePath(const std::string& posix) {
#ifdef _WIN32
  std::string s = "C:" + posix;
  for (char& c : s) {
    if (c == '/') c = '\\';
  }
  return s;
#else
  return posix;
#endif
}

class ConfigEnv : public Env {
 public:
  std::map<std::string, std::string> files;  // full path -> content
  std::set<std::string> folders;             // full paths, no trailing separator
  std::set<std::string> unreadable;          // files that exist but cannot be read
  std::string current = NativePath("/home/user");
  std::string executable = NativePath("/opt/vellora/vellora");
  bool fail_writes = false;
  int reads = 0;
  int writes = 0;

  ConfigEnv() {
    folders.insert(current);
    folders.insert(NativePath("/opt/vellora"));
  }

  std::string Full(const std::string& path) const {
#ifdef _WIN32
    const bool absolute = path.size() >= 2 && (path[1] == ':' || path[0] == '\\');
#else
    const bool absolute = !path.empty() && path[0] == '/';
#endif
    return absolute ? path : current + kSeparator + path;
  }
  static std::string Parent(const std::string& full) {
    size_t cut = full.rfind(kSeparator);
    return cut == std::string::npos ? std::string() : full.substr(0, cut);
  }
  std::string& File(const std::string& path) { return files[Full(path)]; }

  bool ListFolder(const std::string& folder, const std::string&,
                  const std::function<void(const FolderItem&)>& visit) override {
    if (!folders.count(folder)) return false;
    for (const auto& f : files) {
      if (Parent(f.first) == folder) {
        FolderItem item;
        item.name = f.first.substr(folder.size() + 1);
        visit(item);
      }
    }
    return true;
  }
  bool GetFolderIdentity(const std::string&, FolderIdentity*) override { return false; }
  bool GetCurrentFolder(std::string* folder) override {
    *folder = current;
    return true;
  }
  bool SetCurrentFolder(const std::string& folder) override {
    if (!folders.count(Full(folder))) return false;
    current = Full(folder);
    return true;
  }
  std::string ExecutablePath() override { return executable; }
  bool FileTimeToLocal(FileTime, LocalTime*) override { return false; }
  FileTime Now() override { return 0; }
  std::string FormatLocalTime(const char*, const LocalTime&) override { return std::string(); }
  int CompareText(const std::string& a, const std::string& b) override { return a.compare(b); }
  bool IsLeadByte(unsigned char) override { return false; }
  std::string CharsetName() override { return "utf-8"; }

  bool ReadWholeFile(const std::string& path, std::string* data) override {
    ++reads;
    const std::string full = Full(path);
    auto it = files.find(full);
    if (it == files.end() || unreadable.count(full)) return false;
    *data = it->second;
    return true;
  }
  bool WriteFileSafely(const std::string& path, const std::string& data) override {
    const std::string full = Full(path);
    const std::string parent = Parent(full);
    if (fail_writes || !folders.count(parent) || folders.count(full)) return false;
    ++writes;
    files[full] = data;
    return true;
  }
  bool IsFolder(const std::string& path) override { return folders.count(Full(path)) > 0; }
  bool OpenWithDefaultProgram(const std::string&) override { return false; }
};

}  // namespace vellora

#endif  // VELLORA_TESTS_APP_CONFIG_ENV_H_
