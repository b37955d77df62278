// Work split over threads: copies, where every pixel of every block arrives wherever the parts'
// bounds fall, and parts that wait for each other.
#include "image/Parallel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <vector>

namespace dt::testing {
namespace {

TEST(Parallel, ACopyOverSeveralThreadsIsEveryBlockWhole) {
  // Blocks of odd sizes, empty ones among them, enough pixels together for three parts.
  const std::vector<std::size_t> sizes{(1u << 20) + 3, 0, 5, (1u << 21) + 77, 1, 0, 4099};
  std::vector<std::vector<int32_t>> from;
  int32_t next = 1;
  for (std::size_t size : sizes) {
    from.emplace_back(size);
    std::iota(from.back().begin(), from.back().end(), next);
    next += static_cast<int32_t>(size);
  }
  for (int threads : {1, 2, 3, 7, 0}) {
    std::vector<std::vector<int32_t>> to;
    std::vector<PixelCopy> copies;
    for (const std::vector<int32_t>& block : from) {
      to.emplace_back(block.size() + 1, -1);  // one past the end, which nothing may touch
      copies.push_back({block.data(), to.back().data(), block.size()});
    }
    CopyInParallel(copies, threads);
    for (std::size_t b = 0; b < from.size(); ++b) {
      EXPECT_TRUE(std::equal(from[b].begin(), from[b].end(), to[b].begin()))
          << "block " << b << ", " << threads << " threads";
      EXPECT_EQ(to[b].back(), -1) << "block " << b << ", " << threads << " threads";
    }
  }
}

// Every item goes to exactly one part, each part's range is what PartStart says, and every inner
// bound is a multiple of the grain (so that parts of packed rows never share a word).
TEST(Parallel, ASplitGivesEveryItemOnceOnBoundsOfTheGrain) {
  for (int count : {0, 1, 7, 64, 1000, 4099}) {
    for (int parts : {1, 2, 3, 5, 64}) {
      for (int grain : {1, 4, 64}) {
        std::vector<std::atomic<int>> seen(static_cast<std::size_t>(count));
        std::vector<std::atomic<int>> ran(static_cast<std::size_t>(parts));
        std::atomic<int> wrongs{0};
        InParallel(count, parts, grain, [&](int first, int last, int part) {
          ++ran[static_cast<std::size_t>(part)];
          if (first != PartStart(count, parts, grain, part) ||
              last != PartStart(count, parts, grain, part + 1) ||
              (part > 0 && first % grain != 0 && first != count))
            ++wrongs;
          for (int item = first; item < last; ++item) ++seen[static_cast<std::size_t>(item)];
        });
        const auto once = [](const std::atomic<int>& n) { return n == 1; };
        EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), once) &&
                    std::all_of(ran.begin(), ran.end(), once) && wrongs == 0)
            << count << " items, " << parts << " parts, grain " << grain;
        EXPECT_EQ(PartStart(count, parts, grain, 0), 0);
        EXPECT_EQ(PartStart(count, parts, grain, parts), count);
      }
    }
  }
}

// Parts in lockstep see what every other part wrote before the same wait, round after round;
// when part 0 throws, the others' waits fail and the exception reaches the caller.
TEST(Parallel, PartsInLockstepSeeEachOthersRoundsAndStopTogether) {
  constexpr int rounds = 200;
  for (int parts : {1, 2, 3, 7}) {
    std::vector<std::atomic<int>> written(static_cast<std::size_t>(parts));
    std::atomic<int> wrongs{0}, failedWaits{0};
    int ran = 0;
    InLockstep(parts, [&](int part, int running, Lockstep& lockstep) {
      if (part == 0) ran = running;
      for (int round = 1; round <= rounds; ++round) {
        written[static_cast<std::size_t>(part)].store(round, std::memory_order_relaxed);
        if (!lockstep.Wait()) ++failedWaits;
        for (int other = 0; other < running; ++other) {
          const int seen = written[static_cast<std::size_t>(other)].load(std::memory_order_relaxed);
          if (seen != round) ++wrongs;
        }
        if (!lockstep.Wait()) ++failedWaits;
      }
    });
    EXPECT_EQ(ran, parts);
    EXPECT_EQ(wrongs, 0) << parts << " parts";
    EXPECT_EQ(failedWaits, 0) << parts << " parts";
  }
  struct Stop {};
  std::atomic<int> returned{0};
  EXPECT_THROW(InLockstep(3,
                          [&](int part, int, Lockstep& lockstep) {
                            for (int round = 0; round < rounds; ++round) {
                              if (part == 0 && round == 5) throw Stop{};
                              if (!lockstep.Wait()) break;
                            }
                            ++returned;
                          }),
               Stop);
  EXPECT_EQ(returned, 2);
}

}  // namespace
}  // namespace dt::testing
