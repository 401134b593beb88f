#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

namespace rendlow::audio {

// Calls `work(i)` once for each i below `count`, on up to `threads` threads (this one among
// them) that each take the next i still to do. What each call writes must be its own: then the
// results cannot depend on the threads.
inline void onThreads(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work) {
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    for (std::size_t i = next++; i < count; i = next++) work(i);
  };
  std::vector<std::thread> others;
  for (std::size_t t = 1; t < std::min<std::size_t>(threads, count); ++t) others.emplace_back(worker);
  worker();
  for (std::thread& other : others) other.join();
}

}  // namespace rendlow::audio
