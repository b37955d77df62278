#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "support/EngineFixture.h"
#include "xpm/XpmTestSupport.h"

namespace dt::testing {
namespace {

const std::string header =
    "/* XPM */\n"
    "static char *outputimage[] = {\n"
    "/* width height num_colors chars_per_pixel */\n";

const std::string greyPalette =
    "\". c #ffffff\",\n\"# c #eeeeee\",\n\"a c #dddddd\",\n\"b c #cccccc\",\n"
    "\"c c #bbbbbb\",\n\"d c #aaaaaa\",\n\"e c #999999\",\n\"f c #888888\",\n"
    "\"g c #777777\",\n\"h c #666666\",\n\"i c #555555\",\n\"j c #444444\",\n"
    "\"k c #333333\",\n\"l c #222222\",\n\"m c #111111\",\n\"n c #000000\",\n";

class XpmWriter : public EngineTest {
 protected:
  TempFolder folder;
};

TEST_F(XpmWriter, WritesABinaryImageByteForByte) {
  SetInput(engine, GridFromRows({"101", "001"}));
  const std::string file = folder.File("out.xpm");
  ASSERT_TRUE(engine.SaveWorkImage(file));
  EXPECT_EQ(ReadText(file), header +
                                "\" 3 2  2  1\",\n"
                                "\". c #000000\",\n"
                                "\"# c #ffffff\",\n"
                                "\"#.#\",\n"
                                "\"..#\",\n"
                                "};\n");
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(XpmWriter, WritesADistanceMapInSixteenGreys) {
  SetInput(engine, Grid(5, 2));
  const int32_t values[2][5] = {{0, 1, 14, 15, noFeature}, {2, 7, 13, 16, 100}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 5; ++c) WorkImage.rows[r][c] = values[r][c];
  WorkImage.kind = distanceKind;
  const std::string file = folder.File("map.xpm");
  ASSERT_TRUE(engine.SaveWorkImage(file));
  EXPECT_EQ(ReadText(file), header + "\" 5 2  16  1\",\n" + greyPalette +
                                "\".#mnn\",\n"
                                "\"aflnn\",\n"
                                "};\n");
}

TEST_F(XpmWriter, GivesEveryValueItsGreyCharacter) {
  SetInput(engine, Grid(20, 1));
  for (int c = 0; c < 19; ++c) WorkImage.rows[0][c] = c;
  WorkImage.rows[0][19] = noFeature;
  const std::string expected = ".#abcdefghijklmnnnnn";
  for (int c = 0; c < 20; ++c) EXPECT_EQ(engine.PixelCharacter(0, c), expected[c]) << c;
  WorkImage.rows[0][3] = -1;
  EXPECT_EQ(engine.PixelCharacter(0, 3), '\0');
}

TEST_F(XpmWriter, SavingBeforeAnyInputWritesAnEmptyGreyFile) {
  const std::string file = folder.File("output.xpm");
  ASSERT_TRUE(engine.SaveWorkImage(file));
  EXPECT_EQ(ReadText(file), header + "\" 0 0  16  1\",\n" + greyPalette + "};\n");
}

TEST_F(XpmWriter, SavedBinaryImagesReadBackAsTheSamePixels) {
  std::mt19937 rng(2024);
  std::vector<std::pair<int, int>> sizes = {{1, 1}, {1, 9}, {9, 1}, {1, 200}, {200, 1}, {3, 2}};
  std::uniform_int_distribution<int> side(1, 40);
  for (int i = 0; i < 60; ++i) sizes.push_back({side(rng), side(rng)});
  std::uniform_real_distribution<double> density(0.0, 1.0);
  const std::string file = folder.File("round.xpm");
  for (const auto& [width, height] : sizes) {
    const Grid grid = RandomGrid(rng, width, height, density(rng));
    SetInput(engine, grid);
    ASSERT_TRUE(engine.SaveWorkImage(file));
    ResetGlobalState();
    ImageEngine reader;
    ASSERT_TRUE(reader.LoadInputImage(file)) << width << "x" << height;
    EXPECT_EQ(GridOf(InputImage), grid);
    const auto white = std::count(grid.values.begin(), grid.values.end(), 1);
    EXPECT_EQ(InputImage.whiteCount, white);
    EXPECT_EQ(InputImage.blackCount, width * height - white);
    // The same file is a filter image too.
    ASSERT_TRUE(reader.LoadFilterImage(file));
    EXPECT_EQ(FilterImage.originRow, height / 2);
    EXPECT_EQ(FilterImage.originCol, width / 2);
  }
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"round.xpm"});
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(XpmWriter, ANegativeValueIsRefusedAndTheEarlierFileKept) {
  const std::string file = folder.File("out.xpm");
  WriteText(file, "earlier contents\n");
  SetInput(engine, Grid(4, 3));
  WorkImage.kind = distanceKind;
  WorkImage.rows[2][3] = -5;  // the very last pixel: nothing may have been written before it
  EXPECT_FALSE(engine.SaveWorkImage(file));
  EXPECT_EQ(ReadText(file), "earlier contents\n");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "距離値にマイナスが含まれています。");
  EXPECT_EQ(services.messages[0].caption, "エラー");
  // Without an earlier file nothing is created at all.
  EXPECT_FALSE(engine.SaveWorkImage(folder.File("new.xpm")));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.xpm"});
}

TEST_F(XpmWriter, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft) {
  SetInput(engine, GridFromRows({"10", "01"}));
  // A name in a folder that does not exist, and a name taken by a folder.
  EXPECT_FALSE(engine.SaveWorkImage(folder.File("no-such-folder/out.xpm")));
  const std::string taken = folder.File("taken.xpm");
  ASSERT_EQ(::mkdir(taken.c_str(), 0755), 0);
  WriteText(taken + "/inside", "kept");
  EXPECT_FALSE(engine.SaveWorkImage(taken));
  EXPECT_EQ(ReadText(taken + "/inside"), "kept");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"taken.xpm"});
  ASSERT_EQ(services.messages.size(), 2u);
  for (const auto& m : services.messages) {
    EXPECT_EQ(m.text, "フィアルが開けません。");
    EXPECT_EQ(m.caption, "エラー");
  }
}

TEST_F(XpmWriter, ReplacingAFileKeepsItsPermissions) {
  const std::string file = folder.File("out.xpm");
  WriteText(file, "old");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  SetInput(engine, GridFromRows({"1"}));
  ASSERT_TRUE(engine.SaveWorkImage(file));
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_NE(ReadText(file), "old");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.xpm"});
}

}  // namespace
}  // namespace dt::testing
