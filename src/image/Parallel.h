// Work split over the processor's cores, for the computations that run while nothing is drawn.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <system_error>
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
  helpers.reserve(static_cast<std::size_t>(std::max(parts - 1, 0)));
  for (int part = 1; part < parts; ++part) {
    try {
      helpers.emplace_back([&body, first = bound(part), last = bound(part + 1), part] {
        body(first, last, part);
      });
    } catch (const std::system_error&) {
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

}  // namespace dt
