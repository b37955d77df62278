#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

#include "image/Parallel.h"

namespace dt::testing {
namespace {

// Every item is handed out exactly once, in consecutive ranges of the parts in order, with the
// inner bounds on the grain; every part runs, on a thread of its own except the first.
TEST(InParallel, CoversEveryItemOnceInGrainAlignedParts) {
  for (int count : {0, 1, 5, 16, 17, 100, 1000}) {
    for (int parts : {1, 2, 3, 7}) {
      for (int grain : {1, 16}) {
        std::vector<std::atomic<int>> seen(static_cast<std::size_t>(count));
        std::mutex lock;
        std::vector<std::tuple<int, int, int>> ranges;
        std::set<std::thread::id> threads;
        InParallel(count, parts, grain, [&](int first, int last, int part) {
          for (int i = first; i < last; ++i) ++seen[static_cast<std::size_t>(i)];
          const std::lock_guard<std::mutex> hold(lock);
          ranges.emplace_back(part, first, last);
          threads.insert(std::this_thread::get_id());
        });
        for (const auto& n : seen) ASSERT_EQ(n.load(), 1) << count << " " << parts;
        ASSERT_EQ(ranges.size(), static_cast<std::size_t>(parts));
        std::sort(ranges.begin(), ranges.end());
        int expectedFirst = 0;
        for (const auto& [part, first, last] : ranges) {
          EXPECT_EQ(first, expectedFirst) << "part " << part;
          EXPECT_LE(first, last);
          if (last != count) {
            EXPECT_EQ(last % grain, 0) << "part " << part;
          }
          expectedFirst = last;
        }
        EXPECT_EQ(expectedFirst, count);
        EXPECT_EQ(threads.size(), static_cast<std::size_t>(parts));
      }
    }
  }
}

TEST(InParallel, PartsFollowTheRequestTheCoresAndTheWork) {
  EXPECT_EQ(PartsFor(1, 4000, 64), 1);
  EXPECT_EQ(PartsFor(3, 4000, 64), 3);
  EXPECT_EQ(PartsFor(8, 200, 64), 3);  // no part below 64 items
  EXPECT_EQ(PartsFor(8, 10, 64), 1);
  EXPECT_EQ(PartsFor(-5, 4000, 64), PartsFor(0, 4000, 64));
  const int cores = static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u));
  EXPECT_EQ(PartsFor(0, 1 << 20, 1), std::min(cores, 64));
  EXPECT_EQ(PartsFor(1000, 1 << 20, 1), 64);
}

}  // namespace
}  // namespace dt::testing
