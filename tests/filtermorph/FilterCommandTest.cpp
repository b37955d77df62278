// dtmorph filter through the real binary, against the engine run in this process.
#include <gtest/gtest.h>

#include "filtermorph/FilterOperations.h"
#include "support/CommandRunner.h"

namespace dt::testing {
namespace {

class FilterCommand : public EngineTest {
 protected:
  CommandResult Run(const std::vector<std::string>& args) { return RunDtmorph(args, scratch); }

  // The result of the operation computed here by the simple method.
  Grid Expected(const std::string& input, const std::string& filter, int32_t operation) {
    EXPECT_TRUE(engine.LoadInputImage(input));
    EXPECT_TRUE(engine.LoadFilterImage(filter));
    engine.measureTime = 1;
    NullSurface nowhere;
    filtermorph::RunFilterMorphology(engine, {&nowhere, &nowhere}, filter_algorithm::simple,
                                     operation);
    return GridOf(WorkImage);
  }

  TempFolder folder;
  TempFolder scratch;
};

TEST_F(FilterCommand, EveryOperationAndMethodGivesTheEngineResult) {
  const std::string input = Sample("sample1-160.xpm"), filter = Sample("filterQX15.xpm");
  const std::vector<std::pair<std::string, int32_t>> operations = {
      {"dilate", filter_operation::dilation},
      {"erode", filter_operation::erosion},
      {"open", filter_operation::opening},
      {"close", filter_operation::closing}};
  for (const auto& [name, code] : operations) {
    const Grid expected = Expected(input, filter, code);
    ASSERT_EQ(expected.width, 160);
    for (const std::string method : {"simple", "decomposed"}) {
      const CommandResult r = Run({"filter", name, input, "-", "--filter", filter, "--method", method});
      ASSERT_EQ(r.status, 0) << name << " " << method << "\n" << r.err;
      EXPECT_EQ(GridFromText(r.out), expected) << name << " " << method;
      EXPECT_EQ(r.err, "");
    }
  }
}

TEST_F(FilterCommand, WritesXpmAndRepeatsFromTheSameInput) {
  const std::string input = folder.File("in.xpm"), filter = folder.File("f.xpm");
  WriteText(input, BinaryXpm({"........", "...#....", "........", "......#."}));
  WriteText(filter, BinaryXpm({"###"}));
  const std::string output = folder.File("out.xpm");
  const CommandResult r =
      Run({"filter", "dilate", input, output, "--filter", filter, "--time", "--repeat", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.rfind("time_ms: ", 0), 0u) << r.err;
  // Three dilations in a row would have grown the dots to seven pixels.
  ASSERT_TRUE(engine.LoadInputImage(output));
  EXPECT_EQ(GridOf(InputImage), GridFromRows({"00000000", "00111000", "00000000", "00000111"}));
}

TEST_F(FilterCommand, MissingFilesFailWithTheirMessageAndWriteNothing) {
  const std::string output = folder.File("out.txt");
  const CommandResult noFilter =
      Run({"filter", "erode", Sample("square.xpm"), output, "--filter", folder.File("none.xpm")});
  EXPECT_EQ(noFilter.status, 1);
  EXPECT_EQ(noFilter.err, "エラー: ファイルが開けません。\n");
  const CommandResult noInput = Run(
      {"filter", "erode", folder.File("none.xpm"), output, "--filter", Sample("filterQX15.xpm")});
  EXPECT_EQ(noInput.status, 1);
  EXPECT_TRUE(folder.Names().empty());
}

TEST_F(FilterCommand, UsageErrorsExitWithStatusTwo) {
  const std::string in = Sample("square.xpm"), f = Sample("filterQX15.xpm");
  const std::string out = folder.File("out.txt");
  const std::vector<std::vector<std::string>> wrong = {
      {"filter", "thicken", in, out, "--filter", f},
      {"filter", "dilate", in, out},
      {"filter", "dilate", in, out, "--filter", f, "--method", "fast"},
      {"filter", "dilate", in, folder.File("out.png"), "--filter", f},
      {"filter", "dilate", in, out, "--filter", f, "--repeat", "0"},
      {"filter", "dilate", in, "--filter", f},
  };
  for (const auto& args : wrong) {
    const CommandResult r = Run(args);
    EXPECT_EQ(r.status, 2) << args[1] << " " << args.size();
    EXPECT_NE(r.err.find("Usage:"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
}  // namespace dt::testing
