// Work cut in parts that are made on worker threads and used in their
// order on the calling thread: a long page is made in blocks of rows on
// every core while its text is written in order, with only a few blocks
// held at once.
#ifndef VELLORA_PLATFORM_ORDERED_WORK_H_
#define VELLORA_PLATFORM_ORDERED_WORK_H_

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace vellora {

// Calls make(i, worker, &result) for every part i below `count` on up to
// `threads` worker threads (`worker` numbers the thread from 0; parts are
// begun in index order), and take(i, &result) on the calling thread for each part
// in turn, in index order, as soon as it is made. No part more than
// `window` after the one taken last is begun, so at most that many results
// are held. take returning false stops the work: no further part is begun
// and RunOrdered returns false once the parts begun are done. Without
// threads (none asked for, or none could be had) every part is made on the
// calling thread. An exception thrown by make is thrown again here once
// the workers have stopped.
template <typename Result, typename Make, typename Take>
bool RunOrdered(size_t count, int threads, size_t window, const Make& make, const Take& take) {
  if (window == 0) window = 1;
  std::vector<Result> results(count);
  std::vector<char> made(count, 0);
  std::mutex mutex;
  std::condition_variable part_made;
  std::condition_variable room;
  size_t next = 0;   // the next part to begin
  size_t taken = 0;  // parts taken so far
  bool stop = false;
  std::exception_ptr failure;

  const auto work = [&](int worker) {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
      room.wait(lock, [&] { return stop || next >= count || next < taken + window; });
      if (stop || next >= count) return;
      const size_t i = next++;
      lock.unlock();
      try {
        make(i, worker, &results[i]);
      } catch (...) {
        lock.lock();
        if (!failure) failure = std::current_exception();
        stop = true;
        made[i] = 1;
        part_made.notify_all();
        room.notify_all();
        return;
      }
      lock.lock();
      made[i] = 1;
      part_made.notify_all();
    }
  };

  std::vector<std::thread> workers;
  for (int t = 0; t < threads && static_cast<size_t>(t) < count; ++t) {
    try {
      workers.emplace_back(work, t);
    } catch (const std::system_error&) {
      break;
    }
  }
  bool finished = true;
  for (size_t i = 0; i < count; ++i) {
    if (workers.empty()) {
      make(i, 0, &results[i]);
    } else {
      std::unique_lock<std::mutex> lock(mutex);
      part_made.wait(lock, [&] { return made[i] != 0 || failure != nullptr; });
      if (failure) {
        finished = false;
        break;
      }
    }
    const bool go_on = take(i, &results[i]);
    results[i] = Result();
    std::lock_guard<std::mutex> lock(mutex);
    taken = i + 1;
    if (!go_on) {
      stop = true;
      finished = false;
    }
    room.notify_all();
    if (!go_on) break;
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    stop = true;
  }
  room.notify_all();
  for (std::thread& worker : workers) worker.join();
  if (failure) std::rethrow_exception(failure);
  return finished;
}

}  // namespace vellora

#endif  // VELLORA_PLATFORM_ORDERED_WORK_H_
