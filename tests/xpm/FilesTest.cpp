// Reading and writing pictures: a bad file is refused with its message and changes nothing, the
// reader agrees with the tests' own reading of the rules on mutated files, and what is saved
// reads back as it was.
#include <sys/stat.h>
#include <unistd.h>

#include <iterator>

#include "support/EngineTest.h"
#include "support/Files.h"
#include "xpm/XpmReader.h"

namespace dt::testing {
namespace {

// Everything a load may touch: the four records with their pixels, and the engine's flags.
std::string State(const ImageEngine& engine) {
  std::string s;
  for (const ImageRecord* r : {&InputImage, &FilterImage, &WorkImage, &DistanceMap})
    s += std::to_string(r->width) + "x" + std::to_string(r->height) + " " +
         std::to_string(r->originRow) + "," + std::to_string(r->originCol) + " kind " +
         std::to_string(r->kind) + " " + std::to_string(r->whiteCount) + "/" +
         std::to_string(r->blackCount) + (r->rows ? "\n" + ToString(GridOf(*r)) : " none\n");
  return s + std::to_string(engine.inputLoaded) + std::to_string(engine.filterLoaded) +
         std::to_string(engine.distanceReady);
}

class Files : public EngineTest {
 protected:
  std::string Put(const std::string& text, const std::string& name = "picture.xpm") {
    WriteText(folder.File(name), text);
    return folder.File(name);
  }
  TempFolder folder;
};

const std::string colours = "\". c #000000\",\n\"# c #ffffff\",\n";
const std::string twoRows = "\"#.#\",\n\"..#\"};";
const std::string layout = "ファイルの形式が正しくありません。\n";

// Texts the reader refuses, with the message for an input image (a filter's differs in two).
const std::pair<std::string, std::string> badFiles[] = {
    {"", layout + "ファイルが途中で終わっています。"},
    {"/* XPM */\nstatic char *x[] = {\n};\n", layout + "ファイルが途中で終わっています。"},
    {"\"3 2 2 1\",\n\". c #000000\",\n\"# c ", layout + "ファイルが途中で終わっています。"},
    {"\"3 2 2 1\",\n" + colours + "\"#.#\",\n\"..#", layout + "ファイルが途中で終わっています。"},
    {"\"w 2 2 1\",\n" + colours + twoRows,
     layout + "画像の幅と高さは正の整数である必要があります。"},
    {"\"3 0 2 1\",\n" + colours + "};", layout + "画像の幅と高さは正の整数である必要があります。"},
    {"\"-3 2 2 1\",\n" + colours + twoRows,
     layout + "画像の幅と高さは正の整数である必要があります。"},
    {"\"50 1 2 1\",\n" + colours + "\"##\"};",  // more pixels than characters after the header
     layout + "画像の幅と高さに見合うだけの画素がファイルにありません。"},
    {"\"99999999999999999999999 1 2 1\",\n" + colours + twoRows,
     layout + "画像の幅と高さに見合うだけの画素がファイルにありません。"},
    {"\"3 2 x 1\",\n" + colours + twoRows, layout + "色数と１画素の文字数が読み取れません。"},
    {"\"3 2 2 1\",\n" + colours + "\"#.\",\n\"..#\"};",
     layout + "1 行目の画素が画像の幅より少なくなっています。"},
    {"\"3 2 2 1\",\n" + colours + "\"#.#\",\n\"..#.\"};",
     layout + "2 行目の画素が画像の幅より多くなっています。"},
    {"\"3 3 2 1\",\n" + colours + twoRows + "\n\n",
     layout + "画素の行が画像の高さより少なくなっています。"},
    {"\"3 2 3 1\",\n" + colours + "\"o c #888888\",\n" + twoRows,
     "入力画像が白黒２値画像ではありません。"},
    {"\"3 2 2 2\",\n" + colours + "\"#.#.#.\",\n\"....##\"};",
     "このＸＰＭに対応できません。\n１画素を１文字で定義してある必要があります。"},
};

// The message a filter gets for a bad file.
std::string ForFilter(const std::string& inputMessage) {
  if (inputMessage == "入力画像が白黒２値画像ではありません。")
    return "フィルタ画像が白黒２値画像ではありません。";
  if (inputMessage.rfind("このＸＰＭ", 0) == 0)
    return "このＸＰＭには対応できません。\n１画素が１文字で定義されている必要があります。";
  return inputMessage;
}

TEST_F(Files, ABadFileIsRefusedWithItsMessageAndChangesNothing) {
  for (bool loaded : {false, true}) {
    if (loaded) {
      ASSERT_TRUE(engine.LoadInputImage(Put(XpmOf(GridFromRows({"#..#", ".##.", "####"})))));
      ASSERT_TRUE(engine.LoadFilterImage(Put(XpmOf(GridFromRows({"#.#", "###"})))));
      WorkImage.kind = distanceKind;
      WorkImage.rows[1][1] = 42;
      engine.distanceReady = 1;
    }
    const std::string before = State(engine);
    for (const auto& [text, message] : badFiles) {
      services.messages.clear();
      const std::string file = Put(text, "bad.xpm"), named = "\n" + file;  // on a line of its own
      EXPECT_FALSE(engine.LoadInputImage(file));
      EXPECT_FALSE(engine.LoadFilterImage(file));
      EXPECT_EQ(services.texts(), (std::vector<std::string>{message + named,
                                                            ForFilter(message) + named}));
      EXPECT_EQ(services.messages[0].caption, "エラー");
      EXPECT_EQ(State(engine), before) << text;
    }
    services.messages.clear();
    EXPECT_FALSE(engine.LoadInputImage(folder.File("missing.xpm")));
    EXPECT_FALSE(engine.LoadFilterImage(folder.path()));
    EXPECT_EQ(services.texts(),
              (std::vector<std::string>{"ファイルが開けません。\n" + folder.File("missing.xpm"),
                                        "通常のファイルではないため読めません。\n" + folder.path()}));
    EXPECT_EQ(State(engine), before);
  }
}

// A hot spot and other words after the header numbers, comments between the strings.
const std::string hotSpot =
    "/* XPM */\nstatic char *x[] = {\n\"4 3 2 1 2 1 XPMEXT\",\n/* colours */\n\"x c #ffffff\",\n"
    "\"o c #000000 s None\",\n\"xoox\",\n/* a row */\n\"oxxo\",\n// a remark\n\"xxxx\"};";

TEST_F(Files, TheReaderTakesFilesAsThisProgramAlwaysHas) {
  struct Case {
    std::string text;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"\"3 2 2 1\",\n\"# c #ffffff\",\n\". c #000000\",\n\"#.#\",\n\"..#\"\n};", {"101", "001"}},
      {"\"3 1 2 1\" \"a c #ffffff\" \"b c #ffffff\" \"abb\" }", {"011"}},  // the last white wins
      {"\"3 1 2 1\" \"a c #FFFFFF\" \"b c #000000\" \"aba\" }", {"101"}},  // hex in any case
      {"\"3 1 2 1\" \"a c #000000\" \"b c #fFfFfF\" \"aba\" }", {"010"}},
      {"\"2 1 2 1\" \". c #000000\" \"# c #ffffff00\" \"#.\" }", {"10"}},   // six characters count
      {hotSpot, {"1001", "0110", "1111"}},
      {"\"3 1 2 1\" \"a c white\" \"b c Black\" \"aba\" }", {"101"}},  // X11 names, any case
      {"\"3 1 2 1\" \"b c BLACK\" \"a c WhItE\" \"aba\" }", {"101"}},
      {"\"3 1 2 1\" \"n c None\" \"w c white s bg\" \"nwn\" }", {"010"}},
      {"\"3 1 2 1\" \"# c black\" \". c white\" \"#.#\" }", {"010"}},  // '#' is a key
      {"\"3 1 2 1\" \"a m white\" \"b c white smoke m white\" \"aba\" }", {"101"}},
      {"\"2 1 2 1\" \"a c red\" \"b c #ffffff\" \"ab\" }", {"01"}},  // each in its string
      {"\"2 2 2 1\"," + colours + "\"#.\",\n\".#\"", {"10", "01"}}};  // no closing brace needed
  for (const Case& c : cases) {
    ASSERT_TRUE(engine.LoadInputImage(Put(c.text))) << c.text;
    const Grid expected = GridFromRows(c.rows);
    for (const ImageRecord* image : {&InputImage, &WorkImage, &DistanceMap})
      EXPECT_EQ(GridOf(*image), expected) << c.text;
    EXPECT_EQ(InputImage.whiteCount, expected.Count(1));
    EXPECT_EQ(InputImage.blackCount, expected.Count(0));
  }
  for (const auto& [w, h] : {std::pair{15, 15}, {4, 6}, {1, 1}, {7, 1}}) {
    ASSERT_TRUE(engine.LoadFilterImage(Put(XpmOf(Grid(w, h, 1)))));
    EXPECT_EQ(std::pair(FilterImage.originRow, FilterImage.originCol), std::pair(h / 2, w / 2));
  }
  EXPECT_EQ(GridOf(InputImage), GridFromRows(std::rbegin(cases)->rows));  // a filter leaves input
  EXPECT_TRUE(services.messages.empty());
}

// Mutations of good and broken texts: the program's scanner and the tests' own reading of the
// rules agree on whether a text is good and on every pixel; loading either replaces the image
// consistently or changes nothing.
TEST_F(Files, TheReaderAgreesWithTheRulesOnMutatedFiles) {
  std::mt19937 rng(12345);
  std::vector<std::string> seeds = {badFiles[13].first, badFiles[12].first, hotSpot,
                                    "\"5 1 2 1\"\n\"# c #ffffff\"\n\". c #000000\"\n\"#.#.#\"",
                                    "\"2 2 2 1\" \"a c #FFFFFF\" \"b c #000000\" \"ab\" \"ba\" }",
                                    "\"3 1 2 1\" \"a m black c White\" \"# g4 white\" \"a#a\" }"};
  for (int i = 0; i < 6; ++i) seeds.push_back(XpmOf(RandomImage(rng, 12)));
  const char* const insertions[] = {"\"", "\"\"", "0", "7", "-1", "}", "#", "\n", " ", "/*",
                                    "99999999999", "100000000 100000000", "ffffff", "\"#\",",
                                    " c ", "White", " m "};
  int accepted = 0;
  for (int i = 0; i < 40000; ++i) {
    std::string text = seeds[i % seeds.size()];
    for (int round = 0; round <= int(rng() % 3); ++round) {
      const std::size_t at = rng() % (text.size() + 1);
      const int kind = static_cast<int>(rng() % 6);
      if (kind == 0 && at < text.size()) text[at] = static_cast<char>(rng());
      if (kind == 1 && at < text.size()) text[at] = "#.\"ab\n}"[rng() % 7];
      if (kind == 2) text.resize(at);
      if (kind == 3) text.insert(at, insertions[rng() % std::size(insertions)]);
      if (kind == 4) text.erase(at, rng() % 6);
      if (kind == 5) text.insert(at, text.substr(at, rng() % 12));
    }
    const std::optional<Grid> expected = ReadXpm(text);
    const ParseResult read = ParseXpm(text, ImageRole::input);
    ASSERT_EQ(read.ok, expected.has_value()) << ::testing::PrintToString(text);
    if (!read.ok) {
      EXPECT_FALSE(read.message.empty());
    } else {
      ++accepted;
      ASSERT_EQ(GridOf(read.image), *expected) << ::testing::PrintToString(text);
      EXPECT_EQ(read.image.whiteCount, expected->Count(1));
      EXPECT_EQ(read.image.blackCount, expected->Count(0));
    }
    if (i % 20 != 0) continue;
    const std::string before = State(engine);
    const bool asFilter = i % 60 == 0;
    const std::string file = Put(text, "fuzz" + std::to_string(i) + ".xpm");
    EXPECT_EQ(asFilter ? engine.LoadFilterImage(file) : engine.LoadInputImage(file), read.ok);
    if (!read.ok)
      EXPECT_EQ(State(engine), before);
    else
      EXPECT_EQ(GridOf(asFilter ? FilterImage : WorkImage), *expected);
    ::unlink(file.c_str());
  }
  EXPECT_GT(accepted, 4000);  // both outcomes well represented
  EXPECT_LT(accepted, 36000);
}

const char* const header =
    "/* XPM */\nstatic char *outputimage[] = {\n/* width height num_colors chars_per_pixel */\n";

TEST_F(Files, SavesBinaryImagesAndDistanceMapsByteForByte) {
  SetInput(engine, GridFromRows({"101", "001"}));
  ASSERT_TRUE(engine.SaveWorkImage(folder.File("out.xpm")));
  EXPECT_EQ(ReadText(folder.File("out.xpm")),
            std::string(header) + "\" 3 2  2  1\",\n" + colours + "\"#.#\",\n\"..#\",\n};\n");
  SetInput(engine, Grid(20, 1));
  for (int c = 0; c < 19; ++c) WorkImage.rows[0][c] = c;
  WorkImage.rows[0][19] = noFeature;
  WorkImage.kind = distanceKind;
  ASSERT_TRUE(engine.SaveWorkImage(folder.File("map.xpm")));
  std::string greys;
  for (const char* grey :
       {"ffffff", "eeeeee", "dddddd", "cccccc", "bbbbbb", "aaaaaa", "999999", "888888", "777777",
        "666666", "555555", "444444", "333333", "222222", "111111", "000000"})
    greys += std::string("\"") + ".#abcdefghijklmn"[greys.size() / 15] + " c #" + grey + "\",\n";
  EXPECT_EQ(ReadText(folder.File("map.xpm")), std::string(header) + "\" 20 1  16  1\",\n" + greys +
                                                  "\".#abcdefghijklmnnnnn\",\n};\n");
  ResetGlobalState();
  ASSERT_TRUE(engine.SaveWorkImage(folder.File("empty.xpm")));  // before any input
  EXPECT_EQ(ReadText(folder.File("empty.xpm")),
            std::string(header) + "\" 0 0  16  1\",\n" + greys + "};\n");
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(Files, SavedImagesReadBackAsTheSamePixels) {
  std::mt19937 rng(2024);
  for (int i = 0; i < 60; ++i) {
    const Grid grid = i < 2 ? Grid(i ? 200 : 1, i ? 1 : 200, 1) : RandomImage(rng, 40);
    SetInput(engine, grid);
    ASSERT_TRUE(engine.SaveWorkImage(folder.File("round.xpm")));
    ResetGlobalState();
    ASSERT_TRUE(engine.LoadInputImage(folder.File("round.xpm")));
    ASSERT_EQ(GridOf(InputImage), grid);
    EXPECT_EQ(InputImage.whiteCount, grid.Count(1));
  }
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"round.xpm"});
}

TEST_F(Files, AFailedSaveLeavesTheEarlierFileAndNothingElse) {
  WriteText(folder.File("out.xpm"), "earlier");
  ASSERT_EQ(::chmod(folder.File("out.xpm").c_str(), 0640), 0);
  SetInput(engine, Grid(4, 3));
  WorkImage.kind = distanceKind;
  WorkImage.rows[2][3] = -5;  // the very last pixel: nothing may have been written before it
  EXPECT_FALSE(engine.SaveWorkImage(folder.File("out.xpm")));
  EXPECT_FALSE(engine.SaveWorkImage(folder.File("new.xpm")));
  WorkImage.rows[2][3] = 0;
  ASSERT_EQ(::mkdir(folder.File("taken.xpm").c_str(), 0755), 0);
  EXPECT_FALSE(engine.SaveWorkImage(folder.File("taken.xpm")));
  EXPECT_FALSE(engine.SaveWorkImage(folder.File("no-such-folder/out.xpm")));
  EXPECT_EQ(services.texts(),
            (std::vector<std::string>{"距離値にマイナスが含まれています。\n" + folder.File("out.xpm"),
                                      "距離値にマイナスが含まれています。\n" + folder.File("new.xpm"),
                                      "フィアルが開けません。\n" + folder.File("taken.xpm"),
                                      "フィアルが開けません。\n" + folder.File("no-such-folder/out.xpm")}));
  EXPECT_EQ(ReadText(folder.File("out.xpm")), "earlier");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"out.xpm", "taken.xpm"}));
  // A file replaced keeps its permissions.
  ASSERT_TRUE(engine.SaveWorkImage(folder.File("out.xpm")));
  struct stat info {};
  ASSERT_EQ(::stat(folder.File("out.xpm").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace dt::testing
