#include "html/manifest.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <utility>
#include <thread>

#include "html/json_text.h"
#include "html/text_helpers.h"
#include "platform/local_time.h"
#include "platform/sha256.h"

namespace vellora {

const char kManifestSuffix[] = ".json";

bool ManifestWanted(const std::string& manifest_option) { return manifest_option == "json"; }

namespace {

bool Stopped(const std::atomic<int32_t>* cancel) {
  return cancel != nullptr && cancel->load(std::memory_order_relaxed) != 0;
}

// Reads one file through and records its digest or why there is none.
void HashOne(Env* env, ManifestEntry* e, const std::atomic<int32_t>* cancel) {
  Sha256 hash;
  const bool read = env->ReadInBlocks(e->path, kHashBlockBytes, [&](std::string_view block) {
    if (Stopped(cancel)) return false;
    hash.Update(block);
    return true;
  });
  if (Stopped(cancel)) return;
  if (read) {
    e->sha256 = hash.HexDigest();
    e->hash = ManifestEntry::Hash::kDone;
  } else {
    e->hash = ManifestEntry::Hash::kUnreadable;
  }
}

// Hands out the entries to hash, one at a time, to any number of threads.
class HashQueue {
 public:
  HashQueue(Env* env, std::vector<ManifestEntry*> work, const std::atomic<int32_t>* cancel)
      : env_(env), work_(std::move(work)), cancel_(cancel) {}

  void Run() {
    try {
      for (size_t i = next_.fetch_add(1); i < work_.size() && !Stopped(cancel_);
           i = next_.fetch_add(1)) {
        HashOne(env_, work_[i], cancel_);
      }
    } catch (...) {
      // Out of memory and the like: the others stop, the caller rethrows.
      std::lock_guard<std::mutex> lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
      next_.store(work_.size());
    }
  }

  size_t size() const { return work_.size(); }
  std::exception_ptr failure() const { return failure_; }

 private:
  Env* env_;
  std::vector<ManifestEntry*> work_;
  const std::atomic<int32_t>* cancel_;
  std::atomic<size_t> next_{0};
  std::mutex mutex_;
  std::exception_ptr failure_;
};

// Joins every thread started, whatever happens after.
struct Joiner {
  std::vector<std::thread> threads;
  ~Joiner() {
    for (std::thread& t : threads) {
      if (t.joinable()) t.join();
    }
  }
};

void AppendKey(std::string* out, const char* key) {
  out->push_back('"');
  out->append(key);
  out->append("\":");
}

}  // namespace

bool HashFiles(Env* env, std::vector<ManifestEntry>* entries, ManifestFileCheck* check,
               const std::atomic<int32_t>* cancel, unsigned threads) {
  std::vector<ManifestEntry*> work;
  for (ManifestEntry& e : *entries) {
    if (e.is_folder) continue;
    // Only this thread may ask where a link leads.
    if (e.is_link && check != nullptr && check->LeadsOutOfTree(e.path)) {
      e.hash = ManifestEntry::Hash::kOutside;
      continue;
    }
    work.push_back(&e);
  }
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  threads = std::min({threads, kMaxHashThreads, static_cast<unsigned>(work.size())});
  HashQueue queue(env, std::move(work), cancel);
  {
    Joiner joiner;
    // This thread works too; a thread that cannot be started is done without.
    for (unsigned i = 1; i < threads; ++i) {
      try {
        joiner.threads.emplace_back(&HashQueue::Run, &queue);
      } catch (const std::system_error&) {
        break;
      }
    }
    queue.Run();
  }
  if (queue.failure()) std::rethrow_exception(queue.failure());
  return !Stopped(cancel);
}

std::string ManifestJson(const ManifestPage& page, const std::vector<ManifestEntry>& entries,
                         Env* env) {
  std::string out = "{\"format\":\"vellora-manifest\",\"version\":1,\n";
  AppendKey(&out, "title");
  AppendJsonString(&out, env->NameAsUtf8(page.title));
  out.append(",\n");
  AppendKey(&out, "folder");
  AppendJsonString(&out, env->NameAsUtf8(page.folder));
  out.append(",\n");
  AppendKey(&out, "charset");
  AppendJsonString(&out, env->CharsetName());
  out.append(",\n");
  AppendKey(&out, "checksums");
  out.append(page.checksums ? "true" : "false");
  out.append(",\n\"entries\":[");
  bool first = true;
  for (const ManifestEntry& e : entries) {
    out.append(first ? "\n{" : ",\n{");
    first = false;
    AppendKey(&out, "name");
    AppendJsonString(&out, env->NameAsUtf8(e.name));
    if (page.branch) {
      out.push_back(',');
      AppendKey(&out, "folder");
      AppendJsonString(&out, env->NameAsUtf8(e.folder));
    }
    out.push_back(',');
    AppendKey(&out, "link");
    if (e.has_link) {
      AppendJsonString(&out, PercentEncodeLink(e.link));
    } else {
      out.append("null");
    }
    out.push_back(',');
    AppendKey(&out, "is_folder");
    out.append(e.is_folder ? "true" : "false");
    if (e.has_size) {
      out.push_back(',');
      AppendKey(&out, "size");
      out.append(int64_to_text(e.size));
    }
    out.push_back(',');
    AppendKey(&out, "modified");
    const std::string modified = e.has_time ? IsoTimeWithOffset(env, e.time) : std::string();
    if (modified.empty()) {
      out.append("null");
    } else {
      AppendJsonString(&out, modified);
    }
    switch (e.hash) {
      case ManifestEntry::Hash::kDone:
        out.push_back(',');
        AppendKey(&out, "sha256");
        AppendJsonString(&out, e.sha256);
        break;
      case ManifestEntry::Hash::kUnreadable:
        out.push_back(',');
        AppendKey(&out, "unreadable");
        out.append("true");
        break;
      case ManifestEntry::Hash::kOutside:
        out.push_back(',');
        AppendKey(&out, "outside");
        out.append("true");
        break;
      case ManifestEntry::Hash::kNone:
        break;
    }
    out.push_back('}');
  }
  out.append(first ? "]}\n" : "\n]}\n");
  return out;
}

}  // namespace vellora
