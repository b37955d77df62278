// dtmorph morph through the real binary.
#include <gtest/gtest.h>

#include <random>

#include "support/CommandRunner.h"

namespace dt::testing {
namespace {

class MorphCommand : public EngineTest {
 protected:
  CommandResult Run(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"morph"};
    all.insert(all.end(), args.begin(), args.end());
    return RunDtmorph(all, scratch);
  }
  // The operation as the desktop command runs it, in this process.
  Grid Direct(const Grid& image, int32_t processKind, int32_t shape, int size, ApexPoint apex) {
    SetInput(engine, image);
    engine.processKind = processKind;
    engine.distanceFunction = shape;
    engine.t1Direction = shape == distance_function::triangle ? 2 : 1;
    engine.measureTime = 0;
    triangleApex = apex;
    RecordingSurface surface(64, 64);
    const DrawingTargets targets{&surface, &surface};
    switch (processKind) {
      case process_kind::dilation: engine.DilateByDistance(targets, 1, size); break;
      case process_kind::erosion: engine.ErodeByDistance(targets, 0, size); break;
      case process_kind::opening: engine.OpenByDistance(targets, 0, size); break;
      default: engine.CloseByDistance(targets, 1, size); break;
    }
    return GridOf(WorkImage);
  }
  TempFolder folder, scratch;
};

TEST_F(MorphCommand, EveryOperationAndShapeAsTheDesktopCommandComputesIt) {
  std::mt19937 rng(21);
  const Grid image = RandomGrid(rng, 12, 10, 0.45);
  const std::string input = WriteGridXpm(folder, "in.xpm", image);
  struct Op {
    const char* name;
    int32_t kind;
  };
  const Op ops[] = {{"dilate", process_kind::dilation},
                    {"erode", process_kind::erosion},
                    {"open", process_kind::opening},
                    {"close", process_kind::closing}};
  struct Shape {
    const char* name;
    int32_t code;
  };
  const Shape shapes[] = {{"circle", distance_function::euclid},
                          {"diamond", distance_function::cityBlock},
                          {"square", distance_function::chessboard},
                          {"triangle", distance_function::triangle}};
  for (const Op& op : ops)
    for (const Shape& shape : shapes) {
      const CommandResult r =
          Run({op.name, input, "-", "--shape", shape.name, "--size", "2", "--apex", "60,90"});
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.err, "") << op.name;  // the operation's own seconds are not shown
      EXPECT_EQ(GridFromText(r.out), Direct(image, op.kind, shape.code, 2, {60, 90}))
          << op.name << " " << shape.name;
    }
}

TEST_F(MorphCommand, KnownSmallResults) {
  Grid dot(5, 5);
  dot.at(2, 2) = 1;
  const std::string input = WriteGridXpm(folder, "dot.xpm", dot);
  const CommandResult r = Run({"dilate", input, folder.File("out.xpm"), "--shape", "circle",
                               "--size", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(engine.LoadInputImage(folder.File("out.xpm")));
  EXPECT_EQ(GridOf(InputImage), GridFromRows({"00000", "01110", "01110", "01110", "00000"}));
  const CommandResult same = Run({"erode", input, "-", "--shape", "square", "--size", "0"});
  EXPECT_EQ(GridFromText(same.out), dot);
  const CommandResult largest =
      Run({"erode", WriteGridXpm(folder, "full.xpm", Grid(3, 3, 1)), "-", "--shape", "diamond",
           "--size", "2147483647"});
  EXPECT_EQ(GridFromText(largest.out), Grid(3, 3, 1));
}

TEST_F(MorphCommand, RepeatedRunsStartFromTheSamePicture) {
  Grid dot(9, 9);
  dot.at(4, 4) = 1;
  const std::string input = WriteGridXpm(folder, "dot.xpm", dot);
  const CommandResult r = Run({"dilate", input, "-", "--shape", "square", "--size", "1",
                               "--time", "--repeat", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.err.rfind("time_ms: ", 0), 0u) << r.err;
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
  const Grid out = GridFromText(r.out);
  EXPECT_EQ(std::count(out.values.begin(), out.values.end(), 1), 9);  // one 3 x 3 block
}

TEST_F(MorphCommand, WrongOptionsAreUsageErrors) {
  const std::string input = WriteGridXpm(folder, "in.xpm", Grid(2, 2, 1));
  const std::vector<std::vector<std::string>> wrong = {
      {"thin", input, "-", "--shape", "circle", "--size", "1"},
      {"dilate", input, "-", "--size", "1"},
      {"dilate", input, "-", "--shape", "hexagon", "--size", "1"},
      {"dilate", input, "-", "--shape", "circle"},
      {"dilate", input, "-", "--shape", "circle", "--size", "-1"},
      {"dilate", input, "-", "--shape", "circle", "--size", "2147483648"},
      {"dilate", input, "-", "--shape", "triangle", "--size", "1", "--apex", "0,301"}};
  for (const auto& args : wrong) {
    const CommandResult r = Run(args);
    EXPECT_EQ(r.status, 2) << args[0] << " " << args.back();
    EXPECT_NE(r.err.find("Usage:"), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace dt::testing
