// Reading and writing pictures: a bad file is refused with its message and changes nothing, the
// reader agrees with the tests' own reading of the rules on mutated files, and what is saved
// reads back as it was.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
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
const std::string layout = "ファイルの形式が正しくありません。\n";

struct BadFile {
  std::string text, inputMessage, filterMessage;
};

const BadFile badFiles[] = {
    {"", layout + "ファイルが途中で終わっています。", ""},
    {"/* XPM */\nstatic char *x[] = {\n};\n", layout + "ファイルが途中で終わっています。", ""},
    {"\"3 2 2 1\",\n\". c #000000\",\n\"# c ", layout + "ファイルが途中で終わっています。", ""},
    {"\"3 2 2 1\",\n" + colours + "\"#.#\",\n\"..#", layout + "ファイルが途中で終わっています。", ""},
    {"\"w 2 2 1\",\n" + colours + "\"#.#\",\n\"..#\"};", layout + "画像の幅と高さは正の整数である必要があります。", ""},
    {"\"3 0 2 1\",\n" + colours + "};", layout + "画像の幅と高さは正の整数である必要があります。", ""},
    {"\"-3 2 2 1\",\n" + colours + "\"#.#\",\n\"..#\"};", layout + "画像の幅と高さは正の整数である必要があります。", ""},
    {"\"100000000 100000000 2 1\",\n" + colours + "\"#.#\"};", layout + "画像の幅と高さに見合うだけの画素がファイルにありません。", ""},
    {"\"99999999999999999999999 1 2 1\",\n" + colours + "\"#\"};", layout + "画像の幅と高さに見合うだけの画素がファイルにありません。", ""},
    {"\"3 2 x 1\",\n" + colours + "\"#.#\",\n\"..#\"};", layout + "色数と１画素の文字数が読み取れません。", ""},
    {"\"3 2 3 1\",\n" + colours + "\"o c #888888\",\n\"#.#\",\n\"..o\"};",
     "入力画像が白黒２値画像ではありません。", "フィルタ画像が白黒２値画像ではありません。"},
    {"\"3 2 2 2\",\n" + colours + "\"#.#.#.\",\n\"....##\"};",
     "このＸＰＭに対応できません。\n１画素を１文字で定義してある必要があります。",
     "このＸＰＭには対応できません。\n１画素が１文字で定義されている必要があります。"},
    {"\"3 2 2 1\",\n" + colours + "\"#.\",\n\"..#\"};", layout + "1 行目の画素が画像の幅より少なくなっています。", ""},
    {"\"3 2 2 1\",\n" + colours + "\"#.#\",\n\"..#.\"};", layout + "2 行目の画素が画像の幅より多くなっています。", ""},
    {"\"3 3 2 1\",\n" + colours + "\"#.#\",\n\"..#\"};\n\n\n", layout + "画素の行が画像の高さより少なくなっています。", ""},
};

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
    for (const BadFile& bad : badFiles)
      for (ImageRole role : {ImageRole::input, ImageRole::filter}) {
        services.messages.clear();
        const std::string file = Put(bad.text, "bad.xpm");
        EXPECT_FALSE(role == ImageRole::input ? engine.LoadInputImage(file) : engine.LoadFilterImage(file));
        EXPECT_EQ(State(engine), before) << bad.text;
        const std::string& message = role == ImageRole::filter && !bad.filterMessage.empty() ? bad.filterMessage : bad.inputMessage;
        EXPECT_EQ(services.texts(), std::vector<std::string>{message}) << bad.text;
        EXPECT_EQ(services.messages[0].caption, "エラー");
      }
    services.messages.clear();
    EXPECT_FALSE(engine.LoadInputImage(folder.File("missing.xpm")));
    EXPECT_FALSE(engine.LoadFilterImage(folder.path()));  // a folder opens but cannot be read
    EXPECT_EQ(services.texts(), std::vector<std::string>(2, "ファイルが開けません。"));
    EXPECT_EQ(State(engine), before);
  }
}

TEST_F(Files, TheReaderTakesFilesAsThisProgramAlwaysHas) {
  struct Case {
    std::string text;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"\"3 2 2 1\",\n\"# c #ffffff\",\n\". c #000000\",\n\"#.#\",\n\"..#\"\n};", {"101", "001"}},
      {"\"3 1 2 1\" \"a c #ffffff\" \"b c #ffffff\" \"abb\" }", {"011"}},  // the last white wins
      {"\"3 1 2 1\" \"a c #FFFFFF\" \"b c #000000\" \"aba\" }", {"000"}},  // only ffffff is white
      {"\"2 1 2 1\"\n\". c #000000\"\n\"# c #ffffff00\"\n\"#.\"\n}", {"10"}},  // six characters count
      {"/* XPM */\nstatic char *hot[] = {\n\"4 3 2 1 2 1 XPMEXT\",\n/* colors */\n\"x c #ffffff\",\n"
       "\"o c #000000 s None\",\n\"xoox\",\n/* between rows */\n\"oxxo\",\n// a remark\n\"xxxx\"};",
       {"1001", "0110", "1111"}},
      {"\"2 2 2 1\"," + colours + "\"#.\",\n\".#\"", {"10", "01"}},  // no closing brace needed
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(engine.LoadInputImage(Put(c.text))) << c.text;
    const Grid expected = GridFromRows(c.rows);
    EXPECT_EQ(GridOf(InputImage), expected) << c.text;
    EXPECT_EQ(GridOf(WorkImage), expected);
    EXPECT_EQ(GridOf(DistanceMap), expected);
    EXPECT_EQ(InputImage.whiteCount, expected.Count(1));
    EXPECT_EQ(InputImage.blackCount, expected.Count(0));
    EXPECT_EQ(WorkImage.kind, binaryKind);
  }
  for (const auto& [w, h] : {std::pair{15, 15}, {4, 6}, {1, 1}, {7, 1}}) {
    ASSERT_TRUE(engine.LoadFilterImage(Put(XpmOf(Grid(w, h, 1)))));
    EXPECT_EQ(std::pair(FilterImage.originRow, FilterImage.originCol), std::pair(h / 2, w / 2));
  }
  EXPECT_EQ(GridOf(InputImage), GridFromRows(cases[5].rows));  // a filter leaves the input alone
  EXPECT_TRUE(services.messages.empty());
}

// Mutations of good and broken texts: the program's scanner and the tests' own reading of the
// rules agree on whether a text is good and on every pixel; loading either replaces the image
// consistently or changes nothing.
TEST_F(Files, TheReaderAgreesWithTheRulesOnMutatedFiles) {
  std::mt19937 rng(12345);
  std::vector<std::string> seeds = {
      badFiles[10].text, badFiles[14].text, "\"5 1 2 1\"\n\"# c #ffffff\"\n\". c #000000\"\n\"#.#.#\"",
      "\"2 2 2 1\" \"a c #FFFFFF\" \"b c #000000\" \"ab\" \"ba\" }",
      "/* XPM */\nstatic char *x[] = {\n\"4 3 2 1 2 1\",\n\"x c #ffffff\",\n/* c */\n"
      "\"o c #000000 s None\",\n\"xoox\",\n/* row */\n\"oxxo\",\n\"xxxx\"};"};
  for (int i = 0; i < 6; ++i) seeds.push_back(XpmOf(RandomImage(rng, 12)));
  const char* const insertions[] = {"\"", "\"\"", "0", "7", "-1", "}", "#", "\n", " ",
                                    "99999999999", "100000000 100000000", "ffffff", "\"#\",", "/*"};
  int accepted = 0;
  for (int i = 0; i < 40000; ++i) {
    std::string text = seeds[i % seeds.size()];
    for (int round = 0; round <= int(rng() % 3); ++round) {
      const std::size_t at = rng() % (text.size() + 1);
      switch (rng() % 6) {
        case 0: if (at < text.size()) text[at] = static_cast<char>(rng()); break;
        case 1: if (at < text.size()) text[at] = "#.\"ab\n}"[rng() % 7]; break;
        case 2: text.resize(at); break;
        case 3: text.insert(at, insertions[rng() % std::size(insertions)]); break;
        case 4: text.erase(at, rng() % 6); break;
        case 5: text.insert(at, text.substr(at, rng() % 12)); break;
      }
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
    if (!read.ok) EXPECT_EQ(State(engine), before);
    else EXPECT_EQ(GridOf(asFilter ? FilterImage : WorkImage), *expected);
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
  EXPECT_EQ(ReadText(folder.File("out.xpm")), std::string(header) + "\" 3 2  2  1\",\n" + colours + "\"#.#\",\n\"..#\",\n};\n");
  SetInput(engine, Grid(20, 1));
  for (int c = 0; c < 19; ++c) WorkImage.rows[0][c] = c;
  WorkImage.rows[0][19] = noFeature;
  WorkImage.kind = distanceKind;
  ASSERT_TRUE(engine.SaveWorkImage(folder.File("map.xpm")));
  std::string greys;
  for (const char* grey : {"ffffff", "eeeeee", "dddddd", "cccccc", "bbbbbb", "aaaaaa", "999999", "888888",
                           "777777", "666666", "555555", "444444", "333333", "222222", "111111", "000000"})
    greys += std::string("\"") + ".#abcdefghijklmn"[greys.size() / 15] + " c #" + grey + "\",\n";
  EXPECT_EQ(ReadText(folder.File("map.xpm")),
            std::string(header) + "\" 20 1  16  1\",\n" + greys + "\".#abcdefghijklmnnnnn\",\n};\n");
  ResetGlobalState();
  ASSERT_TRUE(engine.SaveWorkImage(folder.File("empty.xpm")));  // before any input
  EXPECT_EQ(ReadText(folder.File("empty.xpm")), std::string(header) + "\" 0 0  16  1\",\n" + greys + "};\n");
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
  EXPECT_EQ(services.texts(), (std::vector<std::string>{"距離値にマイナスが含まれています。", "距離値にマイナスが含まれています。",
                                                       "フィアルが開けません。", "フィアルが開けません。"}));
  EXPECT_EQ(ReadText(folder.File("out.xpm")), "earlier");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"out.xpm", "taken.xpm"}));
  // A file replaced keeps its permissions.
  ASSERT_TRUE(engine.SaveWorkImage(folder.File("out.xpm")));
  struct stat info {};
  ASSERT_EQ(::stat(folder.File("out.xpm").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

#if !defined(__SANITIZE_ADDRESS__)
// Running out of memory while reading leaves everything as it was. The address space is limited
// in a child process, freshly started (a process that has run threads keeps address space in
// reserve), so that only the new image, or its work images, no longer fit.
TEST_F(Files, AnImageTooLargeForMemoryIsRefusedAndChangesNothing) {
  if (std::getenv("DT_FRESH_PROCESS") == nullptr) {
    const pid_t fresh = fork();
    if (fresh == 0) {
      setenv("DT_FRESH_PROCESS", "1", 1);
      char filter[] = "--gtest_filter=Files.AnImageTooLargeForMemoryIsRefusedAndChangesNothing";
      char self[] = "/proc/self/exe";
      char* arguments[] = {self, filter, nullptr};
      execv(self, arguments);
      _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(fresh, &status, 0), fresh);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "failed in its own process";
    return;
  }
  const int side = 4000;  // a 16 MB file whose image takes 64 MB, and as much per work image
  std::string text = "\"4000 4000 2 1\",\n" + colours;
  for (int r = 0; r < side; ++r) text += "\"" + std::string(side, '#') + "\",\n";
  const std::string large = Put(text, "large.xpm");
  text.clear();
  text.shrink_to_fit();
  ASSERT_TRUE(engine.LoadInputImage(Put(XpmOf(GridFromRows({"#.#", "..#"})))));
  ASSERT_TRUE(engine.LoadFilterImage(Put(XpmOf(GridFromRows({"#.#", "..#"})))));
  const std::string before = State(engine);
  for (const auto& [asFilter, spareMb] : {std::pair{false, 48}, {true, 48}, {false, 160}}) {
    const pid_t child = fork();
    if (child == 0) {
      long kb = 0;
      std::string key;
      for (std::ifstream status("/proc/self/status"); status >> key;)
        if (key == "VmSize:" && status >> kb) break;
      const rlim_t limit = (kb + spareMb * 1024) * 1024;
      const rlimit rl{limit, limit};
      services.messages.clear();
      const bool ok = setrlimit(RLIMIT_AS, &rl) == 0 &&
                      !(asFilter ? engine.LoadFilterImage(large) : engine.LoadInputImage(large)) &&
                      State(engine) == before &&
                      services.texts() == std::vector<std::string>{"メモリ確保に失敗しました。"};
      _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << asFilter << " " << spareMb;
  }
  ASSERT_TRUE(engine.LoadInputImage(large));  // without the limit it reads
  EXPECT_EQ(InputImage.whiteCount, side * side);
}
#endif

}  // namespace
}  // namespace dt::testing
