// What every computation needs before it starts, and the memory its pictures get.
#include <cstdint>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <sys/mman.h>

#include "distance/TransformOperations.h"
#include "filtermorph/FilterOperations.h"
#include "morphology/MorphologyOperations.h"
#include "support/EngineTest.h"

namespace dt::testing {
namespace {

using Store = EngineTest;

// Every computation says what it misses, in the same words, and changes nothing.
TEST_F(Store, EveryComputationRefusesWithoutItsImages) {
  std::vector<std::function<void()>> needInput, needFilter;
  for (const TransformAlgorithmInfo& a : transformAlgorithms)
    needInput.push_back([&] { RunDistanceTransform(engine, {}, {a.value, Measure{}}); });
  for (const OperationInfo& o : operations) {
    needInput.push_back([&] { RunDistanceMorphology(engine, {}, {o.value, Ball{}}); });
    for (const FilterMethodInfo& m : filterMethods)
      needFilter.push_back([&] { RunFilterMorphology(engine, {}, m.value, o.value); });
  }
  for (const auto* computations : {&needInput, &needFilter})
    for (const auto& computation : *computations) {
      services.messages.clear();
      computation();
      EXPECT_EQ(services.texts(), std::vector<std::string>{"入力画像が取り込まれていません。"});
      EXPECT_EQ(services.messages[0].caption, "エラー");
    }
  const Grid image = GridFromRows({"010", "111"});
  SetInput(engine, image);
  for (const auto& computation : needFilter) {
    services.messages.clear();
    computation();
    EXPECT_EQ(services.texts(), std::vector<std::string>{"フィルタ画像が取り込まれていません。"});
    EXPECT_EQ(GridOf(InputImage), image);
    EXPECT_EQ(GridOf(WorkImage), image);
  }
}

// The flags that /proc/self/smaps gives the mapping holding `at`, or "" where there is none.
std::string MappingFlags(const void* at) {
  std::ifstream smaps("/proc/self/smaps");
  const auto address = reinterpret_cast<std::uintptr_t>(at);
  bool inside = false;
  for (std::string line; std::getline(smaps, line);) {
    std::uintptr_t from = 0, to = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> from >> dash >> to && dash == '-')
      inside = from <= address && address < to;
    else if (inside && line.rfind("VmFlags:", 0) == 0)
      return line;
  }
  return "";
}

// A large picture's pixels and nearest pixels ask for 2 MB pages, every whole one of them, so
// that their first touch is a fault every 2 MB.
TEST(Memory, LargePicturesAskForLargePages) {
  constexpr std::uintptr_t large = std::uintptr_t{2} << 20;
  // The whole 2 MB pages of the block of `bytes` at `block`.
  const auto wholePages = [&](const void* block, std::size_t bytes) {
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    std::vector<const void*> pages;
    for (std::uintptr_t page = (start + large - 1) / large * large; page + large <= start + bytes;
         page += large)
      pages.push_back(reinterpret_cast<const void*>(page));
    return pages;
  };
  {
    // Whether this system keeps the advice at all (an emulator may take it and drop it).
    std::vector<char> room(2 * large);
    const void* page = wholePages(room.data(), room.size()).front();
    if (madvise(const_cast<void*>(page), large, MADV_HUGEPAGE) != 0 ||
        MappingFlags(page).find(" hg") == std::string::npos)
      GTEST_SKIP() << "this system keeps no advice for large pages";
  }
  PixelRows rows;
  rows.Allocate(2000, 1000);  // 8,000,000 bytes: two whole pages at least, wherever it starts
  FeatureMap pairs;
  pairs.Allocate(1000, 1000, false);
  for (const auto& [block, bytes] : {std::pair{static_cast<const void*>(rows.data()),
                                               std::size_t{8000000}},
                                     std::pair{static_cast<const void*>(pairs.pairs.get()),
                                               std::size_t{8000000}}}) {
    const std::vector<const void*> pages = wholePages(block, bytes);
    ASSERT_GE(pages.size(), 2u);
    for (const void* page : pages) EXPECT_NE(MappingFlags(page).find(" hg"), std::string::npos);
  }
}

}  // namespace
}  // namespace dt::testing
