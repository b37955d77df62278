// dtmorph through the real binary, as a user at the shell runs it: every subcommand against the
// references, its files, its failures and its usage errors.
#include <sys/wait.h>

#include <sstream>

#include "distance/TransformOperations.h"
#include "support/EngineTest.h"
#include "support/Files.h"
#include "support/References.h"

namespace dt::testing {
namespace {

std::string Sample(const std::string& name) { return std::string(DT_SAMPLES_DIR) + "/" + name; }

struct Result {
  int status = -1;
  std::string out, err;
};

class Dtmorph : public EngineTest {
 protected:
  // Runs dtmorph; with limitMb, its address space is limited to that (under AddressSanitizer,
  // which reserves more than any such limit, each of its allocations to 40 MB).
  Result Run(const std::vector<std::string>& args, int limitMb = 0) {
    const auto quote = [](const std::string& s) {
      std::string q = "'";
      for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
      return q + "'";
    };
#if defined(__SANITIZE_ADDRESS__)
    std::string line =
        limitMb ? "ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=40 " : "";
#else
    std::string line = limitMb ? "ulimit -v " + std::to_string(limitMb * 1024) + "; " : "";
#endif
    line += quote(DTMORPH_BINARY);
    for (const auto& a : args) line += " " + quote(a);
    line += " >" + quote(scratch.File("out")) + " 2>" + quote(scratch.File("err")) + " </dev/null";
    const int raw = std::system(line.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(scratch.File("out")),
            ReadText(scratch.File("err"))};
  }
  // The values written to standard output, as a grid; checks that the run succeeded quietly.
  Grid Values(const std::vector<std::string>& args) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::istringstream values(r.out);
    Grid grid;
    values >> grid.width >> grid.height;
    grid.values.resize(std::size_t(std::max(grid.width * grid.height, 0)));
    for (auto& v : grid.values) values >> v;
    std::string rest;
    return values && !(values >> rest) ? grid : Grid(-1, 0);
  }
  std::string Input(const Grid& grid, const std::string& name = "in.xpm") {
    WriteText(folder.File(name), XpmOf(grid));
    return folder.File(name);
  }
  TempFolder folder, scratch;
};

TEST_F(Dtmorph, TransformGivesTheBruteForceMapOfEveryAlgorithmAndMeasure) {
  std::mt19937 rng(8);
  const Grid image = RandomGrid(rng, 9, 7, 0.15);
  const std::string input = Input(image);
  for (const TransformAlgorithmInfo& algorithm : transformAlgorithms)
    for (const Measure& m : AllMeasures()) {
      if (m.reflected) continue;
      const std::string apex = std::to_string(m.apex.x) + "," + std::to_string(m.apex.y);
      const int feature = m.apex.x % 2 == 0;
      const Measure truth = algorithm.value == TransformAlgorithm::simple ? Measure{} : m;
      EXPECT_EQ(Values({"transform", input, "-", "--algorithm", algorithm.name, "--metric",
                        InfoOf(m.function).metricName, "--apex", apex, "--feature",
                        std::to_string(feature)}),
                ReferenceTransform(image, feature, truth))
          << algorithm.name << " " << InfoOf(m.function).metricName << " " << apex;
    }
  // The defaults: algorithm 1, Euclid, distances to the white pixels.
  EXPECT_EQ(Values({"transform", input, "-"}), ReferenceTransform(image, 1, Measure{}));
}

TEST_F(Dtmorph, ThreadsGiveTheMapOfOne) {
  std::mt19937 rng(21);
  const Grid image = RandomGrid(rng, 300, 280, 0.01);
  SetInput(engine, image);
  engine.measureTime = 1;
  RunDistanceTransform(engine, {}, TransformChoice{});
  for (const char* threads : {"2", "4", "0"})
    EXPECT_EQ(Values({"transform", Input(image), "-", "--threads", threads}), GridOf(WorkImage));
}

TEST_F(Dtmorph, MorphAndFilterGiveTheDefinitionOfEveryOperation) {
  std::mt19937 rng(21);
  const Grid image = RandomGrid(rng, 12, 10, 0.45), filter = RandomGrid(rng, 5, 3, 0.6);
  const std::string input = Input(image), filterFile = Input(filter, "filter.xpm");
  for (const OperationInfo& operation : operations) {
    for (const DistanceFunctionInfo& shape : distanceFunctions)
      EXPECT_EQ(Values({"morph", operation.name, input, "-", "--shape", shape.shapeName, "--size",
                        "2", "--apex", "60,90"}),
                ReferenceMorphology(operation.value, image,
                                    BallOffsets(Measure{shape.value, {60, 90}}, 2)))
          << operation.name << " " << shape.shapeName;
    for (const FilterMethodInfo& method : filterMethods)
      EXPECT_EQ(Values({"filter", operation.name, input, "-", "--filter", filterFile, "--method",
                        method.name}),
                ReferenceMorphology(operation.value, image, FilterOffsets(filter)))
          << operation.name << " " << method.name;
  }
}

// --time prints one line for the fastest of the runs, and every run starts from the same input.
TEST_F(Dtmorph, RepeatedTimedRunsStartFromTheSamePicture) {
  Grid dot(9, 9);
  dot.at(4, 4) = 1;
  const std::string input = Input(dot);
  std::string block = "9 9\n";  // one dilation by a 3 x 3 square, not three
  for (int y = 0; y < 9; ++y)
    block += y >= 3 && y <= 5 ? "0 0 0 1 1 1 0 0 0\n" : "0 0 0 0 0 0 0 0 0\n";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"morph", "dilate", input, "-", "--shape", "square", "--size", "1"},
        {"filter", "dilate", input, "-", "--filter", Input(Grid(3, 3, 1), "f.xpm")}}) {
    std::vector<std::string> timed = args;
    timed.insert(timed.end(), {"--time", "--repeat", "3"});
    const Result r = Run(timed);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.rfind("time_ms: ", 0), 0u) << r.err;
    EXPECT_GE(std::stod(r.err.substr(9)), 0.0);
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
    EXPECT_EQ(r.out, block);
  }
}

TEST_F(Dtmorph, InfoAndCopyShowTheSameImageInEveryForm) {
  const Result info = Run({"info", Sample("sample1-640.xpm")});
  ASSERT_TRUE(engine.LoadInputImage(Sample("sample1-640.xpm")));
  const Grid sample = GridOf(InputImage);
  EXPECT_EQ(info.out, "width: 640\nheight: 480\nwhite: " + std::to_string(sample.Count(1)) +
                          "\nblack: " + std::to_string(sample.Count(0)) + "\n");
  // The samples have the layout of the program's own writer, so a copy is the same file.
  ASSERT_EQ(Run({"copy", Sample("sample1-640.xpm"), folder.File("copy.xpm")}).status, 0);
  EXPECT_EQ(ReadText(folder.File("copy.xpm")), ReadText(Sample("sample1-640.xpm")));
  ASSERT_EQ(Run({"copy", folder.File("copy.xpm"), folder.File("copy.txt")}).status, 0);
  EXPECT_EQ(ReadText(folder.File("copy.txt")), Run({"copy", Sample("sample1-640.xpm"), "-"}).out);
  EXPECT_EQ(Values({"copy", folder.File("copy.xpm"), "-"}), sample);
  EXPECT_EQ(Run({"copy", Input(GridFromRows({"101", "001"})), "-"}).out, "3 2\n1 0 1\n0 0 1\n");
}

TEST_F(Dtmorph, FailuresSayWhyExitWithOneAndLeaveEarlierFiles) {
  const std::string bad = folder.File("bad.xpm"), earlier = folder.File("earlier.xpm");
  WriteText(bad, "\"3 2 2 1\",\n\". c #000000\",\n\"# c #ffffff\",\n\"#.#\",\n\"..\"};\n");
  WriteText(earlier, "keep me");
  const std::string good = Sample("square.xpm"), missing = folder.File("missing.xpm");
  const std::string shortRow =
      "エラー: ファイルの形式が正しくありません。\n"
      "2 行目の画素が画像の幅より少なくなっています。\n";
  const std::string cannotOpen = "エラー: ファイルが開けません。\n";
  const std::pair<std::vector<std::string>, std::string> failures[] = {
      {{"copy", bad, earlier}, shortRow},
      {{"info", missing}, cannotOpen},
      {{"transform", missing, earlier}, cannotOpen},
      {{"morph", "erode", missing, "-", "--shape", "circle", "--size", "1"}, cannotOpen},
      {{"filter", "erode", good, earlier, "--filter", missing}, cannotOpen},
      {{"copy", good, folder.File("no-such-folder/out.txt")}, "エラー: フィアルが開けません。\n"}};
  for (const auto& [args, message] : failures) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 1) << args[0];
    EXPECT_EQ(r.err, message) << args[0];
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(ReadText(earlier), "keep me");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"bad.xpm", "earlier.xpm"}));
}

// Out of memory while reading is a message, whether the picture or its work images do not fit.
TEST_F(Dtmorph, APictureTooLargeForMemoryIsAMessage) {
  std::string text = "\"4000 4000 2 1\",\n\". c #000000\",\n\"# c #ffffff\",\n";
  for (int r = 0; r < 4000; ++r) text += "\"" + std::string(4000, '#') + "\",\n";
  WriteText(folder.File("large.xpm"), text);
  for (int limitMb : {60, 150}) {
    const Result r = Run({"info", folder.File("large.xpm")}, limitMb);
    EXPECT_EQ(r.status, 1) << limitMb;
    const std::string message = "エラー: メモリ確保に失敗しました。\n";  // perhaps after
    EXPECT_EQ(r.err.substr(std::min(r.err.size(), r.err.find(message))), message) << r.err;
  }
  EXPECT_EQ(Run({"info", folder.File("large.xpm")}).out.rfind("width: 4000\n", 0), 0u);
}

TEST_F(Dtmorph, UsageErrorsExitWithTwoAndTheUsage) {
  const std::string in = Sample("square.xpm"), out = folder.File("out.txt");
  const std::vector<std::vector<std::string>> wrong = {
      {}, {"frobnicate"}, {"info"}, {"info", in, in}, {"copy", in}, {"copy", in, "out.png"},
      {"copy", in, out, "--repeat", "0"}, {"copy", in, out, "--bogus"},
      {"transform", in, "-", "--metric", "manhattan"}, {"transform", in, "-", "--algorithm", "x"},
      {"transform", in, "-", "--apex", "151,10"}, {"transform", in, "-", "--apex", "1,2,3"},
      {"transform", in, "-", "--feature", "2"}, {"transform", in, "-", "--threads", "65"},
      {"morph", "thin", in, "-", "--shape", "circle", "--size", "1"},
      {"morph", "dilate", in, "-", "--size", "1"},
      {"morph", "dilate", in, "-", "--shape", "circle", "--size", "2147483648"},
      {"filter", "dilate", in, out}, {"filter", "dilate", in, out, "--filter", in, "--method", ""}};
  for (const auto& args : wrong) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args);
    EXPECT_NE(r.err.find("Usage: dtmorph"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(folder.Names().empty());
  EXPECT_NE(Run({"copy", in}).err.find("Usage: dtmorph copy [OPTIONS] INPUT OUTPUT"),
            std::string::npos);
  const Result help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* command : {"info", "copy", "transform", "morph", "filter"})
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
}

}  // namespace
}  // namespace dt::testing
