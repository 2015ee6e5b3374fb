#include "html/page_saver.h"

#include <system_error>
#include <utility>

namespace vellora {

namespace {
constexpr size_t kWaitingPerThread = 4;
}  // namespace

CPageSaver::CPageSaver(Env* env, int threads,
                       std::function<void(const std::string&)> on_handed)
    : env_(env),
      on_handed_(std::move(on_handed)),
      max_waiting_(kWaitingPerThread * static_cast<size_t>(threads < 1 ? 1 : threads)) {
  for (int t = 0; t < threads; ++t) {
    try {
      workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      break;
    }
  }
}

CPageSaver::~CPageSaver() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

CPageSaver::Saved CPageSaver::Write(Env* env, const Page& page) {
  Saved saved;
  saved.path = page.path;
  saved.manifest_path = page.manifest_path;
  // A failure (out of memory included) is a page not written: a worker
  // thread has no caller to throw to.
  try {
    saved.written = env->WriteFileSafely(page.path, page.text);
    if (saved.written && !page.manifest_path.empty()) {
      saved.manifest_written = env->WriteFileSafely(page.manifest_path, page.manifest_text);
    }
  } catch (...) {
  }
  return saved;
}

size_t CPageSaver::Save(Page page) {
  if (on_handed_) on_handed_(page.path);
  std::unique_lock<std::mutex> lock(mutex_);
  const size_t index = given_++;
  if (saved_.size() < given_) saved_.resize(given_);
  if (workers_.empty()) {
    lock.unlock();
    Saved saved = Write(env_, page);
    lock.lock();
    saved_[index] = std::move(saved);
    ++done_;
    return index;
  }
  room_or_done_.wait(lock, [this] { return waiting_.size() < max_waiting_; });
  waiting_.emplace_back(index, std::move(page));
  // Idle savers are woken once half the room is taken, and then save all
  // that waits: waking one for every page costs two switches a page, more
  // than saving a small page takes.
  if (waiting_.size() >= (max_waiting_ + 1) / 2) work_ready_.notify_all();
  return index;
}

std::vector<CPageSaver::Saved> CPageSaver::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  work_ready_.notify_all();  // for the pages that did not fill half the room
  room_or_done_.wait(lock, [this] { return done_ == given_; });
  std::vector<Saved> saved;
  saved.swap(saved_);
  given_ = done_ = 0;
  return saved;
}

void CPageSaver::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_ready_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
    if (waiting_.empty()) return;  // stopped, nothing left
    std::pair<size_t, Page> next = std::move(waiting_.front());
    waiting_.pop_front();
    room_or_done_.notify_all();
    lock.unlock();
    Saved saved = Write(env_, next.second);
    lock.lock();
    saved_[next.first] = std::move(saved);
    ++done_;
    room_or_done_.notify_all();
  }
}

}  // namespace vellora
