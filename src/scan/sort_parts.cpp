#include "scan/sort_parts.h"

#include <exception>
#include <mutex>
#include <thread>

namespace vellora {

void RunInParts(int parts, const std::function<void(int part)>& work) {
  if (parts <= 1) {
    work(0);
    return;
  }
  std::mutex mutex;
  std::exception_ptr failure;
  // A part's exception must not end the thread (that would end the
  // process): it is kept and thrown again once every part has ended.
  auto run = [&](int part) {
    try {
      work(part);
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<std::thread> threads;
  std::vector<int> here;
  threads.reserve(static_cast<size_t>(parts));
  here.reserve(static_cast<size_t>(parts));
  for (int part = 1; part < parts; ++part) {
    try {
      threads.emplace_back(run, part);
    } catch (...) {
      here.push_back(part);  // no thread to be had: done below
    }
  }
  run(0);
  for (int part : here) run(part);
  for (std::thread& t : threads) t.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace vellora
