#include "platform/env.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "platform/folder_watch.h"
#include "platform/safe_write.h"

#include "platform/characters.h"

namespace vellora {

Env::~Env() = default;

std::unique_ptr<CFolderWatch> Env::NewFolderWatch() { return nullptr; }

std::unique_ptr<CSafeFileWrite> Env::StartSafeWrite(const std::string& path) {
  return std::make_unique<CHeldSafeWrite>(this, path);
}

int ThreadsForListing() {
  // VELLORA_THREADS sets the number (0: no reading ahead), so that a build
  // can be compared with and without threads.
  if (const char* set = std::getenv("VELLORA_THREADS")) {
    char* end = nullptr;
    const long n = std::strtol(set, &end, 10);
    if (end != set && *end == '\0' && n >= 0) {
      return static_cast<int>(std::min<long>(n, kMaxListingThreads));
    }
  }
  const unsigned cores = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(cores, 1u, static_cast<unsigned>(kMaxListingThreads)));
}

bool Env::ListSubfolders(const std::string& folder,
                         const std::function<void(const FolderItem&)>& visit) {
  return ListFolder(folder, "*.*", [&visit](const FolderItem& item) {
    if (item.is_folder) visit(item);
  });
}

bool Env::CollationKey(const std::string&, std::string*) { return false; }

bool Env::CollatesByteByByte() { return false; }

bool Env::IsLink(const std::string&) { return false; }

bool Env::CanEnterFolder(const std::string& folder) { return IsFolder(folder); }

bool Env::MakeExecutable(const std::string&) { return false; }

bool Env::ReadWholeFile(const std::string& path, size_t max_bytes, std::string* data) {
  std::string content;
  if (ReadFile(path, max_bytes, &content) != ReadResult::kRead) return false;
  data->swap(content);
  return true;
}

bool Env::ReadInBlocks(const std::string& path, size_t block_size,
                       const std::function<bool(std::string_view)>& consume) {
  std::string content;
  if (ReadFile(path, static_cast<size_t>(-1), &content) != ReadResult::kRead) return false;
  if (block_size == 0) block_size = 1;
  const std::string_view all(content);
  for (size_t at = 0; at < all.size(); at += block_size) {
    if (!consume(all.substr(at, block_size))) return false;
  }
  return true;
}

ReadResult ReadCapped(const std::string& content, size_t max_bytes, std::string* data) {
  if (content.size() > max_bytes) {
    data->assign(content, 0, max_bytes);
    return ReadResult::kTooLong;
  }
  *data = content;
  return ReadResult::kRead;
}

bool Env::RealPath(const std::string& path, std::string* real) {
  // Only a full path has a place of its own: "/..." or "X:\...".
#ifdef _WIN32
  const size_t start = 3;
  if (path.size() < 3 || path[1] != ':' || path[2] != kSeparator) return false;
#else
  const size_t start = 1;
  if (path.empty() || path[0] != kSeparator) return false;
#endif
  std::vector<std::string> parts;
  size_t pos = start;
  while (pos <= path.size()) {
    size_t end = FindCharacter(path, kSeparator, pos, this);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(pos, end - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = end + 1;
  }
  std::string out = path.substr(0, start);
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += kSeparator;
    out += parts[i];
  }
  real->swap(out);
  return true;
}

}  // namespace vellora
