// dtmorph transform through the real binary.
#include <gtest/gtest.h>

#include <random>

#include "support/CommandRunner.h"
#include "distance/DistanceReference.h"

namespace dt::testing {
namespace {

class TransformCommand : public EngineTest {
 protected:
  CommandResult Run(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"transform"};
    all.insert(all.end(), args.begin(), args.end());
    return RunDtmorph(all, scratch);
  }
  TempFolder folder, scratch;
};

TEST_F(TransformCommand, WritesTheMapOfEveryAlgorithmAndMetric) {
  std::mt19937 rng(8);
  const Grid image = RandomGrid(rng, 9, 7, 0.15);
  const std::string input = WriteGridXpm(folder, "in.xpm", image);
  struct Case {
    std::vector<std::string> options;
    Measure measure;
    int feature;
  };
  const Case cases[] = {
      {{}, {distance_function::euclid}, 1},
      {{"--algorithm", "exhaustive", "--metric", "cityblock"}, {distance_function::cityBlock}, 1},
      {{"--metric", "chessboard", "--feature", "0"}, {distance_function::chessboard}, 0},
      {{"--algorithm", "simple", "--metric", "chessboard"}, {distance_function::euclid}, 1},
      {{"--metric", "triangle"}, {distance_function::triangle, 0, 150}, 1},
      {{"--metric", "triangle", "--apex", "-37,11"}, {distance_function::triangle, -37, 11}, 1},
      {{"--metric", "triangle", "--apex", "90,0", "--algorithm", "exhaustive"},
       {distance_function::triangle, 90, 0},
       1}};
  for (const Case& c : cases) {
    std::vector<std::string> args = {input, "-"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CommandResult r = Run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(GridFromText(r.out), ReferenceTransform(image, c.feature, c.measure))
        << c.options.size();
  }
}

TEST_F(TransformCommand, NoFeaturePixelGivesTheLargestValueAndTheDarkestGrey) {
  const std::string input = WriteGridXpm(folder, "black.xpm", Grid(3, 2));
  const CommandResult text = Run({input, folder.File("map.txt")});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(ReadText(folder.File("map.txt")),
            "3 2\n2147483647 2147483647 2147483647\n2147483647 2147483647 2147483647\n");
  const CommandResult image = Run({input, folder.File("map.xpm"), "--algorithm", "simple"});
  ASSERT_EQ(image.status, 0) << image.err;
  const std::string xpm = ReadText(folder.File("map.xpm"));
  EXPECT_NE(xpm.find("\" 3 2  16  1\","), std::string::npos) << xpm;
  EXPECT_NE(xpm.find("\"nnn\","), std::string::npos) << xpm;
}

TEST_F(TransformCommand, TimeGoesToStandardErrorOnly) {
  const std::string input = std::string(DT_SAMPLES_DIR) + "/sample1-160.xpm";
  const CommandResult r = Run({input, folder.File("m.txt"), "--time", "--repeat", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.err.rfind("time_ms: ", 0), 0u) << r.err;
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
  EXPECT_EQ(r.out, "");
}

TEST_F(TransformCommand, ThreadsGiveTheSameMap) {
  std::mt19937 rng(21);
  const Grid image = RandomGrid(rng, 300, 280, 0.01);
  const std::string input = WriteGridXpm(folder, "in.xpm", image);
  const Grid want = ReferenceTransform(image, 1, Measure{distance_function::euclid});
  for (const char* threads : {"1", "2", "4", "0"}) {
    const CommandResult r = Run({input, "-", "--threads", threads});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(GridFromText(r.out), want) << "threads " << threads;
  }
}

TEST_F(TransformCommand, WrongOptionsAreUsageErrors) {
  const std::string input = WriteGridXpm(folder, "in.xpm", Grid(2, 2, 1));
  const std::vector<std::vector<std::string>> wrong = {
      {input, "-", "--metric", "manhattan"}, {input, "-", "--algorithm", "fast"},
      {input, "-", "--apex", "151,10"},      {input, "-", "--apex", "0,-1"},
      {input, "-", "--apex", "3"},           {input, "-", "--apex", "1,2,3"},
      {input, "-", "--feature", "2"},        {input, "-", "--threads", "-1"},
      {input, "-", "--threads", "65"},       {input}};
  for (const auto& args : wrong) {
    const CommandResult r = Run(args);
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_NE(r.err.find("Usage:"), std::string::npos) << r.err;
  }
  const CommandResult missing = Run({folder.File("missing.xpm"), "-"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "エラー: ファイルが開けません。\n");
}

}  // namespace
}  // namespace dt::testing
