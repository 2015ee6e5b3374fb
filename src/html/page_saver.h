// Pages saved on worker threads while the walk of a per-folder build goes
// on: making a small page takes less time than creating and renaming its
// file, so the walk hands the finished text over and goes to the next
// folder. What came of each save is told in the order the pages were given.
#ifndef VELLORA_HTML_PAGE_SAVER_H_
#define VELLORA_HTML_PAGE_SAVER_H_

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/env.h"

namespace vellora {

class CPageSaver {
 public:
  // One page handed over: its file and text, and its manifest when
  // `manifest_path` is not empty (written only once the page is).
  struct Page {
    std::string path;
    std::string text;
    std::string manifest_path;
    std::string manifest_text;
  };
  // What came of a save.
  struct Saved {
    std::string path;
    bool written = false;
    std::string manifest_path;   // empty: none was asked for
    bool manifest_written = false;
  };

  // Saves with env->WriteFileSafely on `threads` threads (at least one; an
  // Env that allows writes from several threads at once: the system's).
  // At most a few pages per thread wait, so the walk never runs far ahead.
  // `on_handed` is called with the page's path on the calling thread of
  // Save, when the page is handed over.
  CPageSaver(Env* env, int threads,
             std::function<void(const std::string&)> on_handed = nullptr);
  // Waits for the pages handed over.
  ~CPageSaver();
  CPageSaver(const CPageSaver&) = delete;
  CPageSaver& operator=(const CPageSaver&) = delete;

  // Hands `page` over and returns its place among the pages handed over
  // since the last Finish; waits while too many pages wait. Saved at once,
  // on the calling thread, when no thread could be had.
  size_t Save(Page page);

  // Waits for every page handed over and returns what came of each, in
  // the order they were given, since the last call.
  std::vector<Saved> Finish();

 private:
  void Work();
  static Saved Write(Env* env, const Page& page);

  Env* env_;
  std::function<void(const std::string&)> on_handed_;
  size_t max_waiting_;
  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable room_or_done_;
  std::deque<std::pair<size_t, Page>> waiting_;
  std::vector<Saved> saved_;
  size_t given_ = 0;
  size_t done_ = 0;
  bool stop_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace vellora

#endif  // VELLORA_HTML_PAGE_SAVER_H_
