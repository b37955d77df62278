// dtmorph through the real binary: what a user at the shell sees.
#include <gtest/gtest.h>

#include <sstream>

#include "support/CommandRunner.h"

namespace dt::testing {
namespace {

class Dtmorph : public EngineTest {
 protected:
  CommandResult Run(const std::vector<std::string>& args) { return RunDtmorph(args, scratch); }

  TempFolder folder;   // where the outputs go
  TempFolder scratch;  // captured standard output and error
};

TEST_F(Dtmorph, InfoPrintsSizeAndCountsOfASample) {
  const CommandResult r = Run({"info", Sample("sample1-640.xpm")});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(engine.LoadInputImage(Sample("sample1-640.xpm")));
  const Grid grid = GridOf(InputImage);
  const auto white = std::count(grid.values.begin(), grid.values.end(), 1);
  EXPECT_EQ(r.out, "width: 640\nheight: 480\nwhite: " + std::to_string(white) +
                       "\nblack: " + std::to_string(640 * 480 - white) + "\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(Dtmorph, CopyWritesTheSameImageInEveryForm) {
  const std::string xpm = folder.File("copy.xpm");
  const std::string txt = folder.File("copy.txt");
  ASSERT_EQ(Run({"copy", Sample("sample1-160.xpm"), xpm}).status, 0);
  // The samples have the layout of the program's own writer, so the copy is the same file.
  EXPECT_EQ(ReadText(xpm), ReadText(Sample("sample1-160.xpm")));

  ASSERT_EQ(Run({"copy", xpm, txt}).status, 0);
  ASSERT_TRUE(engine.LoadInputImage(Sample("sample1-160.xpm")));
  const Grid expected = GridOf(InputImage);
  std::istringstream values(ReadText(txt));
  Grid read;
  values >> read.width >> read.height;
  read.values.resize(std::size_t(read.width) * read.height);
  for (auto& v : read.values) values >> v;
  EXPECT_TRUE(values);
  EXPECT_EQ(read, expected);
  std::string rest;
  values >> rest;
  EXPECT_EQ(rest, "");

  const CommandResult toStdout = Run({"copy", Sample("sample1-160.xpm"), "-"});
  ASSERT_EQ(toStdout.status, 0);
  EXPECT_EQ(toStdout.out, ReadText(txt));
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"copy.txt", "copy.xpm"}));
}

TEST_F(Dtmorph, TextFormHasOneLinePerRow) {
  const std::string input = folder.File("in.xpm");
  WriteText(input, BinaryXpm({"#.#", "..#"}));
  const CommandResult r = Run({"copy", input, "-"});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "3 2\n1 0 1\n0 0 1\n");
}

TEST_F(Dtmorph, ABadFileFailsWithItsMessageAndWritesNothing) {
  const std::string bad = folder.File("bad.xpm");
  WriteText(bad, "\"3 2 2 1\",\n\". c #000000\",\n\"# c #ffffff\",\n\"#.#\",\n\"..\"};\n");
  for (const std::string output : {"out.xpm", "out.txt"}) {
    const CommandResult r = Run({"copy", bad, folder.File(output)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "エラー: ファイルの形式が正しくありません。\n"
                     "2 行目の画素が画像の幅より少なくなっています。\n");
    EXPECT_EQ(r.out, "");
  }
  const CommandResult missing = Run({"info", folder.File("missing.xpm")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "エラー: ファイルが開けません。\n");
  EXPECT_EQ(missing.out, "");
  // An earlier output survives a failed copy.
  const std::string earlier = folder.File("earlier.xpm");
  WriteText(earlier, "keep me");
  EXPECT_EQ(Run({"copy", bad, earlier}).status, 1);
  EXPECT_EQ(ReadText(earlier), "keep me");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"bad.xpm", "earlier.xpm"}));
}

TEST_F(Dtmorph, AnOutputThatCannotBeWrittenFails) {
  const CommandResult r =
      Run({"copy", Sample("square.xpm"), folder.File("no-such-folder/out.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "エラー: フィアルが開けません。\n");
}

TEST_F(Dtmorph, UsageErrorsExitWithStatusTwoAndTheUsage) {
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"frobnicate"},
      {"info"},
      {"info", "a.xpm", "b.xpm"},
      {"copy", Sample("square.xpm")},
      {"copy", Sample("square.xpm"), folder.File("out.png")},
      {"copy", Sample("square.xpm"), folder.File("out.xpm"), "--repeat", "0"},
      {"copy", Sample("square.xpm"), folder.File("out.xpm"), "--bogus"},
  };
  for (const auto& args : wrong) {
    const CommandResult r = Run(args);
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    EXPECT_EQ(r.status, 2) << shown;
    EXPECT_NE(r.err.find("Usage:"), std::string::npos) << shown << r.err;
  }
  EXPECT_TRUE(folder.Names().empty());
  // A wrong subcommand line shows that subcommand's usage.
  EXPECT_NE(Run({"copy", "in.xpm"}).err.find("Usage: dtmorph copy [OPTIONS] INPUT OUTPUT"),
            std::string::npos);
  const CommandResult help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("info"), std::string::npos);
  EXPECT_NE(help.out.find("copy"), std::string::npos);
}

TEST_F(Dtmorph, TimeReportsTheFastestRun) {
  const CommandResult r =
      Run({"copy", Sample("sample1-320.xpm"), folder.File("t.xpm"), "--time", "--repeat", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.err.rfind("time_ms: ", 0), 0u) << r.err;
  const double ms = std::stod(r.err.substr(9));
  EXPECT_GT(ms, 0.0);
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);  // one line only
}

}  // namespace
}  // namespace dt::testing
