#include "support/temp_folder.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define VELLORA_GETPID _getpid
#else
#include <unistd.h>
#define VELLORA_GETPID getpid
#endif

namespace fs = std::filesystem;

namespace vellora {

namespace {

#ifdef _WIN32
constexpr char kNative = '\\';
#else
constexpr char kNative = '/';
#endif

// Gives the owner full rights on `p` and everything below it, so that the
// whole tree can be removed (a read-only file on Windows, a read-only folder
// on POSIX). Links are not followed.
void MakeWritable(const fs::path& p) {
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(p, ec);
  if (ec || fs::is_symlink(st)) return;
  fs::permissions(p, fs::perms::owner_all, fs::perm_options::add, ec);
  if (!fs::is_directory(st)) return;
  for (fs::directory_iterator it(p, ec), end; !ec && it != end; it.increment(ec)) {
    MakeWritable(it->path());
  }
}

std::string Native(std::string s) {
  for (char& c : s) {
    if (c == '/') c = kNative;
  }
  return s;
}

}  // namespace

TempFolder::TempFolder() {
  static unsigned counter = 0;
  std::error_code ec;
  fs::path base = fs::temp_directory_path(ec);
  if (ec) base = fs::current_path();
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    std::ostringstream name;
    name << "vellora-test-" << VELLORA_GETPID() << "-" << ++counter << "-" << (ticks % 1000000);
    const fs::path p = base / name.str();
    if (fs::create_directory(p, ec)) {
      path_ = p.string();
      break;
    }
  }
  while (path_.size() > 1 && (path_.back() == '/' || path_.back() == kNative)) path_.pop_back();
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  MakeWritable(path_);
  fs::remove_all(path_, ec);
}

std::string TempFolder::Path(const std::string& relative) const {
  return path_ + kNative + Native(relative);
}

std::string TempFolder::WriteFile(const std::string& relative, const std::string& content) const {
  const std::string full = Path(relative);
  std::error_code ec;
  fs::create_directories(fs::path(full).parent_path(), ec);
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return full;
}

std::string TempFolder::MakeFolder(const std::string& relative) const {
  const std::string full = Path(relative);
  std::error_code ec;
  fs::create_directories(full, ec);
  return full;
}

std::string ReadFileForTest(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace vellora
