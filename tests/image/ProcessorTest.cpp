// The switch that the second run of the computations' tests relies on: with DTMORPH_DISABLE_AVX2
// set, the engine's AVX2 code must not run, or that run would test the AVX2 code twice.
#include "image/Processor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace dt::testing {
namespace {

TEST(Processor, Avx2RunsOnlyWhereTheProcessorHasItAndNothingTurnsItOff) {
  const char* disable = std::getenv("DTMORPH_DISABLE_AVX2");
  const std::string value = disable != nullptr ? disable : "";
  const bool turnedOff = !value.empty() && value != "0";
#if defined(__x86_64__) && defined(__GNUC__)
  EXPECT_EQ(UseAvx2(), !turnedOff && __builtin_cpu_supports("avx2"));
#else
  EXPECT_FALSE(UseAvx2());
#endif
}

}  // namespace
}  // namespace dt::testing
