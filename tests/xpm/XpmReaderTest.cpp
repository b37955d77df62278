#include <gtest/gtest.h>

#include <chrono>

#include "support/EngineFixture.h"
#include "xpm/XpmTestSupport.h"

namespace dt::testing {
namespace {

const char* const threeByTwo =
    "/* XPM */\n"
    "static char *example[] = {\n"
    "\"3 2 2 1\",\n"
    "\". c #000000\",\n"
    "\"# c #ffffff\",\n"
    "\"#.#\",\n"
    "\"..#\"\n"
    "};\n";

const char* const threeByTwoColoursSwapped =
    "/* XPM */\n"
    "static char *example[] = {\n"
    "\"3 2 2 1\",\n"
    "\"# c #ffffff\",\n"
    "\". c #000000\",\n"
    "\"#.#\",\n"
    "\"..#\"\n"
    "};\n";

class XpmReader : public EngineTest {
 protected:
  std::string Put(const std::string& text, const std::string& name = "image.xpm") {
    const std::string file = folder.File(name);
    WriteText(file, text);
    return file;
  }
  bool LoadInputText(const std::string& text) { return engine.LoadInputImage(Put(text)); }
  bool LoadFilterText(const std::string& text) { return engine.LoadFilterImage(Put(text)); }

  TempFolder folder;
};

TEST_F(XpmReader, ReadsTheSmallExampleWhicheverOrderTheColoursComeIn) {
  for (const char* text : {threeByTwo, threeByTwoColoursSwapped}) {
    ResetGlobalState();
    ImageEngine fresh;
    ASSERT_TRUE(fresh.LoadInputImage(Put(text))) << text;
    const Grid expected = GridFromRows({"101", "001"});
    EXPECT_EQ(GridOf(InputImage), expected);
    EXPECT_EQ(GridOf(WorkImage), expected);
    EXPECT_EQ(GridOf(DistanceMap), expected);
    EXPECT_EQ(InputImage.whiteCount, 3);
    EXPECT_EQ(InputImage.blackCount, 3);
    EXPECT_EQ(InputImage.kind, binaryKind);
    EXPECT_EQ(InputImage.charsPerPixel, 1);
    EXPECT_EQ(WorkImage.kind, binaryKind);
    EXPECT_EQ(DistanceMap.width, 3);
    EXPECT_EQ(DistanceMap.height, 2);
    EXPECT_EQ(fresh.inputLoaded, 1);
  }
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(XpmReader, OnlyTheExactLowerCaseWhiteIsForeground) {
  std::string text = threeByTwo;
  text.replace(text.find("ffffff"), 6, "FFFFFF");
  ASSERT_TRUE(LoadInputText(text));
  EXPECT_EQ(GridOf(InputImage), GridFromRows({"000", "000"}));
  EXPECT_EQ(InputImage.whiteCount, 0);
  EXPECT_EQ(InputImage.blackCount, 6);

  // A colour by name is not white either, and a line break ends the colour value.
  ASSERT_TRUE(LoadInputText(
      "\"2 1 2 1\"\n\". c #000000\"\n\"# c white #fff\nfff\"\n\"#.\"\n}"));
  EXPECT_EQ(InputImage.whiteCount, 0);
  // Only six characters count: a longer value that starts with them is white.
  ASSERT_TRUE(LoadInputText("\"2 1 2 1\"\n\". c #000000\"\n\"# c #ffffff00\"\n\"#.\"\n}"));
  EXPECT_EQ(GridOf(InputImage), GridFromRows({"10"}));
}

TEST_F(XpmReader, TheLastWhiteEntryGivesTheWhiteKey) {
  ASSERT_TRUE(LoadInputText("\"3 1 2 1\" \"a c #ffffff\" \"b c #ffffff\" \"abb\" }"));
  EXPECT_EQ(GridOf(InputImage), GridFromRows({"011"}));
  EXPECT_EQ(InputImage.whiteCount, 2);
}

TEST_F(XpmReader, IgnoresAHotSpotAndCommentsBetweenStrings) {
  const std::string text =
      "/* XPM */\n"
      "static char *hot[] = {\n"
      "/* width height ncolors cpp x_hot y_hot */\n"
      "\"4 3 2 1 2 1 XPMEXT\",\n"
      "/* colors */\n"
      "\"x c #ffffff\",\n"
      "\"o c #000000 s None\",\n"
      "/* pixels */\n"
      "\"xoox\",\n"
      "/* a comment line between two rows */\n"
      "\"oxxo\",\n"
      "// another, with a brace-free remark\n"
      "\"xxxx\"};";
  ASSERT_TRUE(LoadInputText(text));
  EXPECT_EQ(GridOf(InputImage), GridFromRows({"1001", "0110", "1111"}));
  EXPECT_EQ(InputImage.whiteCount, 8);
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(XpmReader, AFileWhosePixelsAreCompleteNeedsNoClosingBrace) {
  std::string text = BinaryXpm({"#.", ".#"});
  text.resize(text.rfind("\",") + 1);  // cut right after the last row's closing quote
  ASSERT_TRUE(LoadInputText(text));
  EXPECT_EQ(GridOf(InputImage), GridFromRows({"10", "01"}));
}

TEST_F(XpmReader, FilterOriginIsTheCentreRoundedDown) {
  struct Case {
    int width, height, originRow, originCol;
  };
  for (const Case c : {Case{15, 15, 7, 7}, Case{4, 6, 3, 2}, Case{1, 1, 0, 0}, Case{4, 5, 2, 2},
                       Case{7, 1, 0, 3}, Case{2, 2, 1, 1}}) {
    std::vector<std::string> rows(c.height, std::string(c.width, '#'));
    ASSERT_TRUE(LoadFilterText(BinaryXpm(rows)));
    EXPECT_EQ(FilterImage.width, c.width);
    EXPECT_EQ(FilterImage.height, c.height);
    EXPECT_EQ(FilterImage.originRow, c.originRow) << c.width << "x" << c.height;
    EXPECT_EQ(FilterImage.originCol, c.originCol) << c.width << "x" << c.height;
    EXPECT_EQ(FilterImage.kind, binaryKind);
  }
  EXPECT_EQ(engine.filterLoaded, 1);
  EXPECT_EQ(engine.inputLoaded, 0);
  EXPECT_EQ(InputImage.rows, nullptr);  // a filter load leaves the input alone
}

TEST_F(XpmReader, LoadingAFilterLeavesTheInputImagesAlone) {
  ASSERT_TRUE(LoadInputText(threeByTwo));
  WorkImage.kind = distanceKind;
  WorkImage.rows[0][0] = 9;
  const StateSnapshot before = TakeSnapshot(engine);
  ASSERT_TRUE(LoadFilterText(BinaryXpm({".#.", "###", ".#."})));
  const StateSnapshot after = TakeSnapshot(engine);
  EXPECT_EQ(after.input, before.input);
  EXPECT_EQ(after.work, before.work);
  EXPECT_EQ(after.distance, before.distance);
  EXPECT_EQ(GridOf(WorkImage).at(0, 0), 9);
}

TEST_F(XpmReader, ASecondInputOfAnotherSizeReplacesEverything) {
  ASSERT_TRUE(LoadInputText(BinaryXpm({"#.#.#", "....#", "#####", ".....", "#...."})));
  WorkImage.kind = distanceKind;  // as a distance transform would leave it
  ASSERT_TRUE(LoadInputText(threeByTwo));
  const Grid expected = GridFromRows({"101", "001"});
  for (const ImageRecord* r : {&InputImage, &WorkImage, &DistanceMap}) {
    EXPECT_EQ(r->width, 3);
    EXPECT_EQ(r->height, 2);
    EXPECT_EQ(GridOf(*r), expected);
  }
  EXPECT_EQ(WorkImage.kind, binaryKind);
  EXPECT_EQ(InputImage.whiteCount, 3);
  EXPECT_EQ(InputImage.blackCount, 3);
}

// --- Files that are refused ---

struct BadFile {
  const char* name;
  std::string text;
  std::string inputMessage;
  std::string filterMessage;
};

std::vector<BadFile> BadFiles() {
  const std::string truncated = "ファイルの形式が正しくありません。\nファイルが途中で終わっています。";
  const std::string badSize =
      "ファイルの形式が正しくありません。\n画像の幅と高さは正の整数である必要があります。";
  const std::string beyond =
      "ファイルの形式が正しくありません。\n画像の幅と高さに見合うだけの画素がファイルにありません。";
  const std::string badNumber =
      "ファイルの形式が正しくありません。\n色数と１画素の文字数が読み取れません。";
  const std::string notBinaryIn = "入力画像が白黒２値画像ではありません。";
  const std::string notBinaryFilter = "フィルタ画像が白黒２値画像ではありません。";
  const std::string cppIn = "このＸＰＭに対応できません。\n１画素を１文字で定義してある必要があります。";
  const std::string cppFilter =
      "このＸＰＭには対応できません。\n１画素が１文字で定義されている必要があります。";
  const std::string colours = "\". c #000000\",\n\"# c #ffffff\",\n";
  auto same = [](const char* name, std::string text, std::string message) {
    return BadFile{name, std::move(text), message, message};
  };
  return {
      same("empty file", "", truncated),
      same("no string at all", "/* XPM */\nstatic char *x[] = {\n};\n", truncated),
      same("ends after the width", "\"3", truncated),
      same("ends inside the colours", "\"3 2 2 1\",\n\". c #000000\",\n\"# c #fff", truncated),
      same("ends before the '#' of a colour", "\"1 1 2 1\",\n\". c #000000\",\n\"# c ", truncated),
      same("ends inside the pixels", "\"3 2 2 1\",\n" + colours + "\"#.#\",\n\".", truncated),
      same("ends before a row's closing quote", "\"3 2 2 1\",\n" + colours + "\"#.#\",\n\"..#",
           truncated),
      same("ends between two rows", "\"3 2 2 1\",\n" + colours + "\"#.#\",\n", truncated),
      same("width not a number", "\"w 2 2 1\",\n" + colours + "\"#.#\",\n\"..#\"};", badSize),
      same("height not a number", "\"3 h 2 1\",\n" + colours + "\"#.#\",\n\"..#\"};", badSize),
      same("zero width", "\"0 2 2 1\",\n" + colours + "\"\",\n\"\"};", badSize),
      same("zero height", "\"3 0 2 1\",\n" + colours + "};", badSize),
      same("negative width", "\"-3 2 2 1\",\n" + colours + "\"#.#\",\n\"..#\"};", badSize),
      same("a sign without digits", "\"- 2 2 1\",\n" + colours + "\"#.#\",\n\"..#\"};", badSize),
      same("a lying header", "\"100000000 100000000 2 1\",\n" + colours + "\"#.#\"};", beyond),
      same("a width beyond 32 bits", "\"99999999999999999999999 1 2 1\",\n" + colours + "\"#\"};",
           beyond),
      same("a header and nothing after it", "\"3 2 2 1\"", beyond),
      same("colour count not a number", "\"3 2 x 1\",\n" + colours + "\"#.#\",\n\"..#\"};",
           badNumber),
      same("chars per pixel not a number", "\"3 2 2 y\",\n" + colours + "\"#.#\",\n\"..#\"};",
           badNumber),
      {"three colours", "\"3 2 3 1\",\n" + colours + "\"o c #888888\",\n\"#.#\",\n\"..o\"};",
       notBinaryIn, notBinaryFilter},
      {"sixteen grey levels", "\"3 2 16 1\",\n" + colours + "\"#.#\",\n\"..#\"};", notBinaryIn,
       notBinaryFilter},
      {"two chars per pixel", "\"3 2 2 2\",\n" + colours + "\"#.#.#.\",\n\"....##\"};", cppIn,
       cppFilter},
      {"three colours and two chars per pixel",
       "\"3 2 3 2\",\n" + colours + "\"#.#.#.\",\n\"....##\"};", notBinaryIn, notBinaryFilter},
      same("a short first row", "\"3 2 2 1\",\n" + colours + "\"#.\",\n\"..#\"};",
           "ファイルの形式が正しくありません。\n1 行目の画素が画像の幅より少なくなっています。"),
      same("a long second row", "\"3 2 2 1\",\n" + colours + "\"#.#\",\n\"..#.\"};",
           "ファイルの形式が正しくありません。\n2 行目の画素が画像の幅より多くなっています。"),
      same("an empty row", "\"3 2 2 1\",\n" + colours + "\"#.#\",\n\"\"};",
           "ファイルの形式が正しくありません。\n2 行目の画素が画像の幅より少なくなっています。"),
      same("fewer rows than the height", "\"3 3 2 1\",\n" + colours + "\"#.#\",\n\"..#\"};\n\n\n",
           "ファイルの形式が正しくありません。\n画素の行が画像の高さより少なくなっています。"),
  };
}

TEST_F(XpmReader, ABadInputFileIsReportedAndChangesNothing) {
  ASSERT_TRUE(LoadInputText(BinaryXpm({"#..#", ".##.", "#..#", "####"})));
  ASSERT_TRUE(LoadFilterText(BinaryXpm({"#.#", "###"})));
  WorkImage.kind = distanceKind;
  WorkImage.rows[1][1] = 42;
  engine.distanceReady = 1;
  const StateSnapshot before = TakeSnapshot(engine);
  for (const BadFile& bad : BadFiles()) {
    services.messages.clear();
    EXPECT_FALSE(engine.LoadInputImage(Put(bad.text, "bad.xpm"))) << bad.name;
    EXPECT_EQ(TakeSnapshot(engine), before) << bad.name;
    ASSERT_EQ(services.messages.size(), 1u) << bad.name;
    EXPECT_EQ(services.messages[0].text, bad.inputMessage) << bad.name;
    EXPECT_EQ(services.messages[0].caption, "エラー") << bad.name;
    EXPECT_EQ(services.messages[0].owner, MessageOwner::None) << bad.name;
  }
}

TEST_F(XpmReader, ABadFilterFileIsReportedAndChangesNothing) {
  ASSERT_TRUE(LoadInputText(threeByTwo));
  ASSERT_TRUE(LoadFilterText(BinaryXpm({"###", "#.#", "###"})));
  const StateSnapshot before = TakeSnapshot(engine);
  for (const BadFile& bad : BadFiles()) {
    services.messages.clear();
    EXPECT_FALSE(engine.LoadFilterImage(Put(bad.text, "bad.xpm"))) << bad.name;
    EXPECT_EQ(TakeSnapshot(engine), before) << bad.name;
    ASSERT_EQ(services.messages.size(), 1u) << bad.name;
    EXPECT_EQ(services.messages[0].text, bad.filterMessage) << bad.name;
    EXPECT_EQ(services.messages[0].caption, "エラー") << bad.name;
  }
}

TEST_F(XpmReader, BadFilesBeforeAnyInputLeaveTheProgramEmpty) {
  const StateSnapshot before = TakeSnapshot(engine);
  for (const BadFile& bad : BadFiles()) {
    EXPECT_FALSE(engine.LoadInputImage(Put(bad.text, "bad.xpm"))) << bad.name;
    EXPECT_FALSE(engine.LoadFilterImage(Put(bad.text, "bad.xpm"))) << bad.name;
    EXPECT_EQ(TakeSnapshot(engine), before) << bad.name;
  }
  EXPECT_EQ(engine.inputLoaded, 0);
  EXPECT_EQ(engine.filterLoaded, 0);
}

TEST_F(XpmReader, AFileThatCannotBeOpenedOrReadIsReported) {
  ASSERT_TRUE(LoadInputText(threeByTwo));
  const StateSnapshot before = TakeSnapshot(engine);
  EXPECT_FALSE(engine.LoadInputImage(folder.File("missing.xpm")));
  EXPECT_FALSE(engine.LoadFilterImage(folder.File("missing.xpm")));
  EXPECT_FALSE(engine.LoadInputImage(folder.path()));  // a folder opens but cannot be read
  EXPECT_EQ(TakeSnapshot(engine), before);
  ASSERT_EQ(services.messages.size(), 3u);
  for (const auto& m : services.messages) {
    EXPECT_EQ(m.text, "ファイルが開けません。");
    EXPECT_EQ(m.caption, "エラー");
  }
}

TEST_F(XpmReader, EveryCutOfAGoodFileIsRefusedUntilItsPixelsAreComplete) {
  const std::string text = BinaryXpm({"#..#.", ".##..", "....#"});
  const std::size_t complete = text.rfind("\",") + 1;
  ASSERT_TRUE(LoadInputText(BinaryXpm({"##", "##"})));
  const StateSnapshot before = TakeSnapshot(engine);
  for (std::size_t length = 0; length < complete; ++length) {
    EXPECT_FALSE(LoadInputText(text.substr(0, length))) << length;
    EXPECT_EQ(TakeSnapshot(engine), before) << length;
  }
  EXPECT_EQ(services.messages.size(), complete);
  for (std::size_t length = complete; length <= text.size(); ++length) {
    ASSERT_TRUE(LoadInputText(text.substr(0, length))) << length;
    EXPECT_EQ(GridOf(InputImage), GridFromRows({"10010", "01100", "00001"}));
  }
}

TEST_F(XpmReader, ALyingHeaderIsRefusedAtOnce) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(LoadInputText("\"2147483647 2147483647 2 1\"\". c #000000\"\"# c #ffffff\"\"#\""));
  EXPECT_FALSE(LoadFilterText("\"100000000 100000000 2 1\"\". c #000000\"\"# c #ffffff\"\"#\""));
  // Nothing near the claimed size was touched: a refusal is a matter of microseconds, not of
  // allocating and clearing gigabytes. The bound is loose enough for a sanitizer build.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(services.messages.size(), 2u);
}

}  // namespace
}  // namespace dt::testing
