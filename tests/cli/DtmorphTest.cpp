// dtmorph through the real binary, as a user at the shell runs it: every subcommand against the
// references, its files, its failures and its usage errors.
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <csignal>
#include <functional>
#include <sstream>

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
  // Runs a shell command line; with limitMb, in an address space of that size.
  Result Shell(const std::string& command, int limitMb = 0) {
    std::string line = limitMb ? "ulimit -v " + std::to_string(limitMb * 1024) + "; " : "";
    line += "timeout 120 " + command;  // a hang fails the test, not the run
    line += " >" + Quote(scratch.File("out")) + " 2>" + Quote(scratch.File("err")) + " </dev/null";
    const int raw = std::system(line.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(scratch.File("out")),
            ReadText(scratch.File("err"))};
  }
  static std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  }
  Result Run(const std::vector<std::string>& args, int limitMb = 0) {
    std::string line = Quote(DTMORPH_BINARY);
    for (const auto& a : args) line += " " + Quote(a);
    return Shell(line, limitMb);
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
        {"filter", "dilate", input, "-", "--filter", Input(Grid(3, 3, 1), "f.xpm")},
        {"filter", "dilate", input, "-", "--filter", Input(Grid(3, 3, 1), "f.xpm"), "--method",
         "simple"}}) {
    std::vector<std::string> timed = args;
    timed.insert(timed.end(), {"--time", "--repeat", "2"});
    const Result r = Run(timed);
    ASSERT_EQ(r.status, 0) << r.err;
    // "time_ms: <digits>.<three digits>\n"
    const auto digits = [](const std::string& s) {
      return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
    };
    const std::size_t dot = r.err.find('.');
    EXPECT_TRUE(r.err.rfind("time_ms: ", 0) == 0 && dot != std::string::npos &&
                digits(r.err.substr(9, dot - 9)) && digits(r.err.substr(dot + 1, 3)) &&
                r.err.substr(dot + 4) == "\n")
        << r.err;
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
  EXPECT_EQ(Values({"copy", folder.File("copy.xpm"), "-"}), sample);
  EXPECT_EQ(Run({"copy", Input(GridFromRows({"101", "001"})), "-"}).out, "3 2\n1 0 1\n0 0 1\n");
}

// Pictures in the common formats in, exact maps out: a NumPy array that numpy itself reads; a
// grey picture needs --threshold, which holds for the filter too.
TEST_F(Dtmorph, ReadsCommonPicturesAndWritesMapsNumpyReads) {
  std::mt19937 rng(16);
  const Grid image = RandomGrid(rng, 23, 17, 0.1);
  QImage picture(23, 17, QImage::Format_RGB32), grey(23, 17, QImage::Format_RGB32);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 23; ++x) {
      picture.setPixel(x, y, image.at(y, x) ? qRgb(250, 240, 10) : qRgb(20, 0, 90));
      grey.setPixel(x, y, qRgb(x * 10, x * 10, x * 10));
    }
  const std::string png = folder.File("photo.png"), pbm = folder.File("in.pbm");
  const std::string map = folder.File("map.npy"), greyPng = folder.File("grey.png");
  ASSERT_TRUE(picture.save(QString::fromStdString(png)) &&
              grey.save(QString::fromStdString(greyPng)));
  ASSERT_EQ(Run({"copy", png, pbm}).status, 0);
  ASSERT_EQ(Run({"transform", png, map}).status, 0);
  const Result numpy = Shell("/usr/bin/python3 -c 'import numpy, sys; a = numpy.load(sys.argv[1]);"
                             " print(a.dtype, *a.shape); [print(*row) for row in a]' " + map);
  const std::string values = Run({"transform", Input(image), "-"}).out;
  EXPECT_EQ(numpy.out, "int32 17 23" + values.substr(values.find('\n'))) << numpy.err;
  const std::string out = folder.File("out.png");
  ASSERT_EQ(Run({"morph", "dilate", pbm, out, "--shape", "circle", "--size", "5"}).status, 0);
  EXPECT_EQ(Values({"copy", out, "-"}),
            ReferenceMorphology(Operation::dilation, image, BallOffsets({}, 5)));
  const Result refused = Run({"filter", "dilate", png, "-", "--filter", greyPng});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "エラー: フィルタ画像が白黒２値画像ではありません（23 階調）。\n"
                         "しきい値を指定すると白黒にできます。\n" + greyPng + "\n");
  Grid filter(23, 17);
  for (int y = 0; y < 17; ++y)
    for (int x = 12; x < 23; ++x) filter.at(y, x) = 1;  // x * 10 at least 120
  EXPECT_EQ(Values({"filter", "dilate", png, "-", "--filter", greyPng, "--threshold", "115"}),
            ReferenceMorphology(Operation::dilation, image, FilterOffsets(filter)));
}

// --nearest writes the feature transform beside the map, an array numpy reads (its data at a
// multiple of 64 bytes): a feature pixel at the map's distance, none where the map has none.
TEST_F(Dtmorph, NearestWritesAFeaturePixelAtTheMapsDistance) {
  const std::string input = Sample("sample1-640.xpm"), near = folder.File("near.npy");
  ASSERT_TRUE(engine.LoadInputImage(input));
  const Grid map = Values({"transform", input, "-", "--metric", "triangle", "--apex", "37,11",
                           "--threads", "2", "--nearest", near});
  const Result numpy = Shell("/usr/bin/python3 -c 'import numpy, sys; a = numpy.load(sys.argv[1]);"
                             " print(a.dtype, a.shape); print(*a.ravel())' " + near);
  std::istringstream read(numpy.out);
  std::string header;
  std::vector<int32_t> pairs(2 * map.values.size());
  std::getline(read, header);
  for (auto& v : pairs) read >> v;
  EXPECT_EQ(header, "int32 (480, 640, 2)") << numpy.err;
  EXPECT_EQ(NearestFault(GridOf(InputImage), 1, {DistanceFunction::triangle, {37, 11}}, map,
                         pairs.data()), "");
  EXPECT_EQ((ReadText(near).size() - 4 * pairs.size()) % 64, 0u);
}

// Every failure says why and names the file, exits with 1 and leaves earlier files alone;
// inputs that are no files, or too large to be pictures, are refused before they are read, and
// an output name as long as names may be is written.
TEST_F(Dtmorph, FailuresSayWhyExitWithOneAndLeaveEarlierFiles) {
  const std::string bad = folder.File("bad.xpm"), earlier = folder.File("earlier.xpm");
  const std::string huge = folder.File("huge.xpm"), pipe = folder.File("pipe");
  WriteText(bad, "\"3 2 2 1\",\n\". c #000000\",\n\"# c #ffffff\",\n\"#.#\",\n\"..\"};\n");
  WriteText(earlier, "keep me");
  WriteText(huge, "");
  ASSERT_EQ(::truncate(huge.c_str(), int64_t{1} << 40), 0);  // a terabyte, without its blocks
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);                 // that nobody writes
  const std::string good = Sample("square.xpm"), missing = folder.File("missing.xpm");
  const std::string cannotOpen = "ファイルが開けません。";
  const std::string notAFile = "通常のファイルではないため読めません。";
  const std::string nowhere = folder.File("no-such-folder/out.txt");
  const std::tuple<std::vector<std::string>, std::string, std::string> failures[] = {
      {{"copy", bad, earlier},
       "ファイルの形式が正しくありません。\n2 行目の画素が画像の幅より少なくなっています。", bad},
      {{"info", missing}, cannotOpen, missing},
      {{"transform", missing, earlier}, cannotOpen, missing},
      {{"morph", "erode", missing, "-", "--shape", "circle", "--size", "1"}, cannotOpen, missing},
      {{"filter", "erode", good, earlier, "--filter", missing}, cannotOpen, missing},
      {{"copy", good, nowhere}, "フィアルが開けません。", nowhere},
      {{"info", "/dev/zero"}, notAFile, "/dev/zero"},
      {{"info", pipe}, notAFile, pipe},
      {{"info", folder.path()}, notAFile, folder.path()},
      {{"info", huge}, "ファイルが大きすぎて読めません。", huge}};
  for (const auto& [args, message, file] : failures) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 1) << args[0];
    EXPECT_EQ(r.err, "エラー: " + message + "\n" + file + "\n") << args[0];
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(ReadText(earlier), "keep me");
  EXPECT_EQ(folder.Names().size(), 4u);
  const std::string longest = folder.File(std::string(251, 'n') + ".txt");
  EXPECT_EQ(Run({"copy", good, longest}).status, 0);
  EXPECT_EQ(ReadText(longest), Run({"copy", good, "-"}).out);
}

// Out of memory anywhere in a run is the memory message and status 1, never an abort, whatever
// the command and however little memory there is.
TEST_F(Dtmorph, RunningOutOfMemoryIsAMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer ends a process that runs out of memory";
#endif
  std::string text = "\"1000 1000 2 1\",\n\". c #000000\",\n\"# c #ffffff\",\n";
  for (int r = 0; r < 1000; ++r) text += "\"" + std::string(1000, "#."[r % 2]) + "\",\n";
  const std::string large = folder.File("large.xpm"), small = Input(Grid(3, 3, 1));
  WriteText(large, text);
  const std::vector<std::string> commands[] = {
      {"copy", large, folder.File("out.txt")},
      {"transform", large, "-"},
      {"morph", "dilate", large, folder.File("out.xpm"), "--shape", "circle", "--size", "3"},
      {"morph", "close", large, "-", "--shape", "circle", "--size", "3", "--repeat", "2"},
      {"filter", "dilate", small, "-", "--filter", large, "--method", "simple"}};
  // The smallest address space dtmorph starts in (its libraries take most of it), then a little
  // more, up to enough.
  int start = 16;
  while (start < 400 && Run({"info", small}, start).status != 0) start += 2;
  for (int limitMb : {start + 4, start + 8, start + 12, start + 18, start + 24})
    for (const auto& args : commands) {
      const Result r = Run(args, limitMb);
      EXPECT_TRUE(r.status == 0 || r.err.rfind("エラー: メモリ確保に失敗しました。", 0) == 0)
          << limitMb << " " << args[0] << ": " << r.status << " " << r.err;
    }
}

// On a terminal a long computation shows its pass and progress (not with --quiet); Ctrl+C stops
// it with nothing written: one slow computation, and the fast ones (the packed balls, the chamfer
// scan, the packed filter) repeated for minutes, which Ctrl+C stops at once. Stopped while its
// output is written, it leaves no unfinished file.
TEST_F(Dtmorph, ALongRunShowsItsProgressAndStopsCleanly) {
  const std::string output = folder.File("map.txt"), input = Sample("sample1-640.xpm");
  const std::string filter = Sample("filterQX15.xpm"), many = "--repeat=1000000";
  const std::vector<std::vector<std::string>> runs = {
      {"transform", input, output, "--algorithm", "simple", "--time", many},
      {"transform", input, output, "--algorithm", "simple", many, "--quiet"},
      {"morph", "close", input, output, "--shape", "circle", "--size", "3", many},
      {"transform", input, output, "--metric", "chessboard", "--threads", "2", many},
      {"filter", "close", input, output, "--filter", filter, many}};
  for (const std::vector<std::string>& args : runs) {
    const bool quiet = args.back() == "--quiet";
    int terminal = -1;
    const pid_t run = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (run == 0) {
      std::vector<char*> argv = {const_cast<char*>("dtmorph")};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      ::execv(DTMORPH_BINARY, argv.data());
      ::_exit(127);
    }
    // What the terminal shows until `enough` holds, the output ends or 20 s have passed.
    std::string shown;
    const auto readUntil = [&](const std::function<bool()>& enough) {
      char buffer[512];
      for (int waited = 0; !enough() && waited < 20000; waited += 50) {
        pollfd ready{terminal, POLLIN, 0};
        if (::poll(&ready, 1, 50) <= 0) continue;
        const ssize_t n = ::read(terminal, buffer, sizeof buffer);
        if (n <= 0) return true;
        shown.append(buffer, std::size_t(n));
      }
      return enough();
    };
    if (quiet) ::usleep(1500000);
    else readUntil([&] { return shown.find('%') != std::string::npos; });
    ::kill(run, SIGINT);
    const bool ended = readUntil([] { return false; });
    if (!ended) ::kill(run, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(run, &status, 0), run);
    ::close(terminal);
    EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 130) << args[0] << shown;
    EXPECT_EQ(shown.find("dtmorph: pass ") == std::string::npos, quiet) << args[0] << shown;
    // Every progress line's bar is filled as far as its percentage says, 30 cells in all.
    for (std::size_t at = shown.find(" ["); at != std::string::npos;
         at = shown.find(" [", at + 1)) {
      const std::size_t end = shown.find(']', at);
      const int filled = std::atoi(shown.c_str() + end + 1) * 30 / 100;
      EXPECT_EQ(shown.substr(at + 2, end - at - 2),
                std::string(filled, '#') + std::string(30 - filled, '-'))
          << shown;
    }
    EXPECT_NE(shown.find("stopped; nothing was written"), std::string::npos) << shown;
    EXPECT_TRUE(folder.Names().empty());
  }
  const std::string empty = Input(Grid(3000, 3000));  // a long text of 2147483647s to write
  const pid_t run = ::fork();
  if (run == 0) {
    ::execl(DTMORPH_BINARY, "dtmorph", "transform", empty.c_str(), output.c_str(), nullptr);
    ::_exit(127);
  }
  for (int ms = 0; folder.Names().size() < 2 && ms < 20000; ms += 2) ::usleep(2000);
  const std::size_t seen = folder.Names().size();  // with the unfinished file
  ::kill(run, SIGTERM);
  ::waitpid(run, nullptr, 0);
  EXPECT_EQ(seen, 2u);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"in.xpm"});
}

// Random option values, spelt rightly or wrongly: a run either gives the references' result
// (status 0) or is a usage error (status 2), never anything else.
TEST_F(Dtmorph, RandomOptionValuesGiveTheRightResultOrAUsageError) {
  std::mt19937 rng(99);
  const Grid image = RandomGrid(rng, 8, 6, 0.3);
  const std::string input = Input(image);
  // A spelling of a number near lo..hi, and the number when it is one within lo..top.
  const auto number = [&](int lo, int hi, int top) -> std::pair<std::string, std::optional<int>> {
    const bool near = rng() % 3 == 0;  // else within lo..hi
    const int v = std::uniform_int_distribution<int>(lo - 2 * near, hi + 2 * near)(rng);
    const std::string digits = std::to_string(v);
    const std::string wrong[] = {"0x" + digits, "+" + digits, digits + "9999999999", digits + " "};
    const unsigned kind = rng() % 16;
    if (kind < 4) return {wrong[kind], std::nullopt};
    return {digits, v >= lo && v <= top ? std::optional(v) : std::nullopt};
  };
  for (int n = 0; n < 80; ++n) {
    const auto [x, goodX] = number(-150, 150, 150);
    const auto [y, goodY] = number(0, 300, 300);
    const auto [k, goodK] = number(0, n % 2 ? 1 : 4, n % 2 ? 1 : 2147483647);  // feature, or size
    const DistanceFunctionInfo& f = distanceFunctions[rng() % 4];
    const OperationInfo& op = operations[rng() % 4];
    const Measure m{f.value, {goodX.value_or(0), goodY.value_or(0)}};
    const std::vector<std::string> args =
        n % 2 ? std::vector<std::string>{"transform", input, "-", "--metric", f.metricName,
                                         "--apex", x + "," + y, "--feature", k}
              : std::vector<std::string>{"morph", op.name, input, "-", "--shape", f.shapeName,
                                         "--size", k, "--apex", x + "," + y};
    if (!goodX || !goodY || !goodK)
      EXPECT_EQ(Run(args).status, 2) << ::testing::PrintToString(args);
    else if (n % 2)
      EXPECT_EQ(Values(args), ReferenceTransform(image, *goodK, m));
    else
      EXPECT_EQ(Values(args), ReferenceMorphology(op.value, image, BallOffsets(m, *goodK)));
  }
}

TEST_F(Dtmorph, UsageErrorsExitWithTwoAndTheUsage) {
  const std::string in = Sample("square.xpm"), out = folder.File("out.txt");
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"frobnicate"},
      {"info"},
      {"info", in, in},
      {"copy", in},
      {"copy", in, "out.gif"},
      {"copy", in, out, "--threshold", "256"},
      {"info", in, "--threshold", "x"},
      {"copy", in, out, "--repeat", "0"},
      {"copy", in, out, "--bogus"},
      {"transform", in, "-", "--apex", "4294967446,150"},
      {"transform", in, "-", "--apex", "1,2,3"},
      {"transform", in, "-", "--apex", "151,150"},
      {"transform", in, "-", "--apex", "-151,150"},
      {"morph", "dilate", in, "-", "--shape", "triangle", "--size", "1", "--apex", "0,301"},
      {"morph", "dilate", in, "-", "--shape", "triangle", "--size", "1", "--apex", "0,-1"},
      {"transform", in, "-", "--metric", "manhattan"},
      {"transform", in, "-", "--algorithm", "x"},
      {"transform", in, "-", "--threads", "65"},
      {"transform", in, "-", "--nearest", "near.txt"},
      {"morph", "dilate", in, "-", "--shape", "circle", "--size", "1", "--nearest", "n.npy"},
      {"morph", "dilate", in, "-", "--size", "1"},
      {"morph", "dilate", in, "-", "--shape", "circle", "--size", "1", "--threads", "65"},
      {"morph", "dilate", in, "-", "--shape", "circle", "--size", "18446744073709551619"},
      {"morph", "thin", in, "-", "--shape", "circle", "--size", "1"},
      {"filter", "dilate", in, out},
      {"filter", "dilate", in, out, "--filter", in, "--method", ""}};
  for (const auto& args : wrong) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args);
    EXPECT_NE(r.err.find("Usage: dtmorph"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(folder.Names().empty());
  EXPECT_NE(Run({"frob"}).err.find("unknown subcommand: frob"), std::string::npos);
  EXPECT_NE(Run({"copy", in, "o.jpg"}).err.find(".xpm .png .pbm .pgm .bmp .tif .tiff .npy .txt"),
            std::string::npos);
  EXPECT_NE(Run({"copy", in, out, "--repeat", "0"}).err.find("from 1 to 2147483647: 0"),
            std::string::npos);
}

}  // namespace
}  // namespace dt::testing
