// Running out of memory while reading leaves the loaded images as they were. The process's address
// space is limited in a child process so that only the new image no longer fits.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "support/EngineFixture.h"
#include "xpm/XpmTestSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#define DT_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DT_UNDER_ASAN 1
#endif
#endif

namespace dt::testing {
namespace {

#ifndef DT_UNDER_ASAN
long AddressSpaceInUse() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmSize:") {
      long kb = 0;
      status >> kb;
      return kb * 1024;
    }
  }
  return -1;
}
#endif

using XpmMemory = EngineTest;

TEST_F(XpmMemory, AnImageTooLargeForMemoryIsRefusedAndChangesNothing) {
#ifdef DT_UNDER_ASAN
  GTEST_SKIP() << "the address sanitizer reserves more address space than any limit allows";
#else
  // A process that has run threads keeps address space reserved for their heaps, which malloc
  // may use without asking for more, so that the limit below would not bite. The test runs in a
  // fresh process of its own.
  if (std::getenv("DT_FRESH_PROCESS") == nullptr) {
    const pid_t fresh = fork();
    ASSERT_GE(fresh, 0);
    if (fresh == 0) {
      setenv("DT_FRESH_PROCESS", "1", 1);
      char filter[] = "--gtest_filter=XpmMemory.AnImageTooLargeForMemoryIsRefusedAndChangesNothing";
      char self[] = "/proc/self/exe";
      char* arguments[] = {self, filter, nullptr};
      execv(self, arguments);
      _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(fresh, &status, 0), fresh);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the test failed in its own process (output above)";
    return;
  }
  TempFolder folder;
  const std::string small = folder.File("small.xpm");
  WriteText(small, BinaryXpm({"#.#", "..#"}));
  // 4000 x 4000 pixels: a 16 MB file whose image takes 64 MB, and as much again for each of
  // the two work images.
  const int side = 4000;
  const std::string large = folder.File("large.xpm");
  {
    std::ofstream out(large, std::ios::binary);
    out << "\"" << side << " " << side << " 2 1\",\n\". c #000000\",\n\"# c #ffffff\",\n";
    const std::string row = "\"" + std::string(side, '#') + "\",\n";
    for (int r = 0; r < side; ++r) out << row;
    out << "};\n";
  }
  ASSERT_TRUE(engine.LoadInputImage(small));
  ASSERT_TRUE(engine.LoadFilterImage(small));
  const StateSnapshot before = TakeSnapshot(engine);

  // With 48 MB to spare the image itself does not fit; with 160 MB it does, but the two work
  // images of an input do not.
  struct Attempt {
    bool asFilter;
    long spareMb;
  };
  for (const Attempt attempt : {Attempt{false, 48}, Attempt{true, 48}, Attempt{false, 160}}) {
    const bool asFilter = attempt.asFilter;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const rlim_t limit = AddressSpaceInUse() + attempt.spareMb * 1024 * 1024;
      const rlimit rl{limit, limit};
      if (setrlimit(RLIMIT_AS, &rl) != 0) _exit(10);
      services.messages.clear();
      const bool ok = asFilter ? engine.LoadFilterImage(large) : engine.LoadInputImage(large);
      if (ok) _exit(11);
      if (!(TakeSnapshot(engine) == before)) _exit(12);
      if (services.messages.size() != 1) _exit(13);
      if (services.messages[0].text != "メモリ確保に失敗しました。") _exit(14);
      if (services.messages[0].caption != "エラー") _exit(15);
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child did not end normally";
    EXPECT_EQ(WEXITSTATUS(status), 0) << (asFilter ? "filter " : "input ") << attempt.spareMb;
  }
  // Without the limit the same file reads.
  ASSERT_TRUE(engine.LoadInputImage(large));
  EXPECT_EQ(InputImage.whiteCount, side * side);
#endif
}

}  // namespace
}  // namespace dt::testing
