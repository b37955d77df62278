// Work split over the processor's cores, for the computations that run while nothing is drawn.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <optional>
#include <thread>
#include <vector>

namespace dt {

// How many parts a computation over `count` items may use when `requested` threads were asked
// for (0: one per processor core): at least 1, at most one per minItems items.
inline int PartsFor(int requested, int count, int minItems) {
  int parts = requested > 0 ? requested : static_cast<int>(std::thread::hardware_concurrency());
  parts = std::min({std::max(parts, 1), 64, std::max(count / std::max(minItems, 1), 1)});
  return parts;
}

// The first item of `part` when InParallel splits `count` items into `parts` (count when part is
// `parts`), for callers that make room for each part before the threads start.
inline int PartStart(int count, int parts, int grain, int part) {
  if (part >= parts) return count;
  const int64_t even = int64_t{count} * part / parts;
  return static_cast<int>(std::min<int64_t>(even - even % std::max(grain, 1), count));
}

// Splits [0, count) into `parts` consecutive ranges, every inner bound a multiple of `grain`,
// and runs body(first, last, part) for each: part 0 on the calling thread, the others on threads
// of their own. Returns when all are done. A part whose thread cannot be started runs on the
// calling thread.
template <class Body>
void InParallel(int count, int parts, int grain, Body&& body) {
  const auto bound = [&](int part) { return PartStart(count, parts, grain, part); };
  std::vector<std::thread> helpers;
  for (int part = 1; part < parts; ++part) {
    // Out of threads (std::system_error) or of memory for one (std::bad_alloc: its state, or
    // room in `helpers`), the only failures of starting one.
    try {
      helpers.emplace_back([&body, first = bound(part), last = bound(part + 1), part] {
        body(first, last, part);
      });
    } catch (const std::exception&) {
      body(bound(part), bound(part + 1), part);
    }
  }
  // A part that throws on the calling thread (a computation asked to stop, say) lets the others
  // finish first.
  try {
    body(bound(0), bound(1), 0);
  } catch (...) {
    for (std::thread& helper : helpers) helper.join();
    throw;
  }
  for (std::thread& helper : helpers) helper.join();
}

// A meeting point of the `parts` threads of InLockstep: each Wait() returns once all have come to
// it, with everything the others wrote before theirs in sight. Waiting spins a little, then
// yields the core. Once abandoned (the calling thread's part threw), every Wait() returns false at
// once.
class Lockstep {
 public:
  explicit Lockstep(int parts) : parts_(parts) {}
  bool Wait() {
    const int round = round_.load(std::memory_order_acquire);
    if (arrived_.fetch_add(1, std::memory_order_acq_rel) + 1 == parts_) {
      arrived_.store(0, std::memory_order_relaxed);
      round_.store(round + 1, std::memory_order_release);
      return !abandoned_.load(std::memory_order_acquire);
    }
    for (int spins = 0; round_.load(std::memory_order_acquire) == round; ++spins) {
      if (abandoned_.load(std::memory_order_acquire)) return false;
      if (spins >= 256) std::this_thread::yield();
    }
    return !abandoned_.load(std::memory_order_acquire);
  }
  void Abandon() { abandoned_.store(true, std::memory_order_release); }

 private:
  const int parts_;
  std::atomic<int> arrived_{0};
  std::atomic<int> round_{0};
  std::atomic<bool> abandoned_{false};
};

// Runs body(part, parts, lockstep) for part 0 .. parts - 1 all at the same time, part 0 on the
// calling thread, for work whose parts wait for each other at `lockstep`. Where a thread cannot be
// started, fewer parts run (`parts` says how many; at least the calling thread's). When part 0
// throws, the others' waits fail and the exception follows once they have returned.
template <class Body>
void InLockstep(int parts, Body&& body) {
  std::vector<std::thread> helpers;
  std::atomic<int> running{0};  // 0 until the helpers that could start are known
  std::optional<Lockstep> lockstep;
  for (int part = 1; part < parts; ++part) {
    // Out of threads or of memory for one, as in InParallel.
    try {
      helpers.emplace_back([&body, &running, &lockstep, part] {
        int count;
        while ((count = running.load(std::memory_order_acquire)) == 0) std::this_thread::yield();
        body(part, count, *lockstep);
      });
    } catch (const std::exception&) {
      break;
    }
  }
  const int count = static_cast<int>(helpers.size()) + 1;
  lockstep.emplace(count);
  running.store(count, std::memory_order_release);
  try {
    body(0, count, *lockstep);
  } catch (...) {
    lockstep->Abandon();
    for (std::thread& helper : helpers) helper.join();
    throw;
  }
  for (std::thread& helper : helpers) helper.join();
}

// One block of pixels to copy.
struct PixelCopy {
  const int32_t* from;
  int32_t* to;
  std::size_t count;
};

// Copies every block, the whole split over `requested` threads (0: one per processor core) in
// parts of 4 MB or more. Most of the time of a large copy into fresh memory goes to the first
// touch of its pages, which the system serves on every core at once.
inline void CopyInParallel(const std::vector<PixelCopy>& copies, int requested) {
  constexpr std::size_t piece = std::size_t{1} << 16;  // pixels
  std::size_t total = 0;
  for (const PixelCopy& copy : copies) total += copy.count;
  const int pieces = static_cast<int>((total + piece - 1) / piece);  // images' blocks: few
  InParallel(pieces, PartsFor(requested, pieces, 16), 1, [&](int first, int last, int) {
    // The part's pixels [begin, end) of all the blocks one after another (the last part's end
    // beyond them).
    std::size_t begin = std::size_t(first) * piece, end = std::size_t(last) * piece;
    for (const PixelCopy& copy : copies) {
      if (begin < copy.count) {
        const std::size_t stop = std::min(end, copy.count);
        std::memcpy(copy.to + begin, copy.from + begin, (stop - begin) * sizeof(int32_t));
        begin = stop;
      }
      begin -= std::min(begin, copy.count);
      end -= std::min(end, copy.count);
    }
  });
}

}  // namespace dt
