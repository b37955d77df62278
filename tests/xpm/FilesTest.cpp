// Reading and writing pictures: a bad file is refused with its message and changes nothing, the
// reader agrees with the tests' own reading of the rules on mutated files, and what is saved
// reads back as it was.
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>
#include <zlib.h>

#include <QImage>
#include <array>
#include <cstring>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>

#include "support/EngineTest.h"
#include "support/Files.h"
#include "xpm/XpmMessages.h"
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

// Messages are translated before their numbers and the file's name go in; a translation that
// would read other arguments than its source is not used.
TEST_F(Files, MessagesAreTranslatedBeforeTheyAreFormatted) {
  InstallTranslator([](const char* text) -> std::string {
    return text == std::string(text::rowTooShort) ? "Row %d is short." : "Row %s";
  });
  for (int bad : {10, 11}) EXPECT_FALSE(engine.LoadInputImage(Put(badFiles[bad].first)));
  InstallTranslator(nullptr);
  const std::string named = "\n" + folder.File("picture.xpm");  // a short row, then a long one
  EXPECT_EQ(services.texts(), (std::vector<std::string>{"Row 1 is short." + named,
                                                        badFiles[11].second + named}));
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
      {"\"2 1 2 1\" \". c #000000\" \"# c #ffffff00\" \"#.\" }", {"10"}},  // six characters count
      {hotSpot, {"1001", "0110", "1111"}},
      {"\"3 1 2 1\" \"a c white\" \"b c Black\" \"aba\" }", {"101"}},  // X11 names, any case
      {"\"3 1 2 1\" \"b c BLACK\" \"a c WhItE\" \"aba\" }", {"101"}},
      {"\"3 1 2 1\" \"n c None\" \"w c white s bg\" \"nwn\" }", {"010"}},
      {"\"3 1 2 1\" \"# c black\" \". c white\" \"#.#\" }", {"010"}},  // '#' is a key
      {"\"3 1 2 1\" \"a m white\" \"b c white smoke m white\" \"aba\" }", {"101"}},
      {"\"2 1 2 1\" \"a c red\" \"b c #ffffff\" \"ab\" }", {"01"}},   // each in its string
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
  std::vector<std::string> seeds = {badFiles[13].first,
                                    badFiles[12].first,
                                    hotSpot,
                                    "\"5 1 2 1\"\n\"# c #ffffff\"\n\". c #000000\"\n\"#.#.#\"",
                                    "\"2 2 2 1\" \"a c #FFFFFF\" \"b c #000000\" \"ab\" \"ba\" }",
                                    "\"3 1 2 1\" \"a m black c White\" \"# g4 white\" \"a#a\" }"};
  for (int i = 0; i < 6; ++i) seeds.push_back(XpmOf(RandomImage(rng, 12)));
  const char* const insertions[] = {
      "\"",     "\"\"",   "0",   "7",     "-1",          "}",
      "#",      "\n",     " ",   "/*",    "99999999999", "100000000 100000000",
      "ffffff", "\"#\",", " c ", "White", " m "};
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
  ASSERT_TRUE(engine.SaveWorkImage(folder.File("out.pgm"), FileFormat::pgm));
  EXPECT_EQ(ReadText(folder.File("out.pgm")), std::string("P5\n3 2\n255\n\xff\0\xff\0\0\xff", 17));
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

// Every format that holds a binary image gives it back, whatever its extension's case.
TEST_F(Files, SavedImagesReadBackAsTheSamePixels) {
  std::mt19937 rng(2024);
  const std::vector<std::string> names = {"r.xpm", "r.png", "r.pbm", "r.PGM", "r.bmp", "r.tif"};
  for (int i = 0; i < 40; ++i) {
    const int side = i % 3 == 0 ? 1 : 200;  // 1 x 1, 1 x 200 and 200 x 1, all black or white
    const Grid grid = i < 6 ? Grid(i % 3 == 2 ? 1 : side, i % 3 == 1 ? 1 : side, i / 3)
                            : RandomImage(rng, 40);
    for (const std::string& name : names) {
      SetInput(engine, grid);
      const std::optional<FileFormat> format = FormatOfName(name);
      ASSERT_TRUE(format.has_value()) << name;
      ASSERT_TRUE(engine.SaveWorkImage(folder.File(name), *format)) << name;
      const QRgb corner = QImage(folder.File(name).c_str()).pixel(0, 0);  // as others see it
      EXPECT_TRUE(name != "r.png" || corner == (grid.at(0, 0) ? ~0u : 0xff000000));
      ResetGlobalState();
      ASSERT_TRUE(engine.LoadInputImage(folder.File(name))) << name;
      ASSERT_EQ(GridOf(InputImage), grid) << name;
      EXPECT_EQ(InputImage.whiteCount, grid.Count(1));
    }
  }
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(folder.Names().size(), names.size());  // nothing left beside them
}

TEST_F(Files, AFailedSaveLeavesTheEarlierFileAndNothingElse) {
  WriteText(folder.File("out.xpm"), "earlier");
  ASSERT_EQ(::chmod(folder.File("out.xpm").c_str(), 0640), 0);
  SetInput(engine, Grid(4, 3));
  WorkImage.kind = distanceKind;
  WorkImage.rows[2][3] = -5;  // the very last pixel: nothing may have been written before it
  EXPECT_FALSE(engine.SaveWorkImage(folder.File("out.xpm")));
  std::swap(WorkImage.rows[2][3], WorkImage.rows[0][0]);  // and the very first
  EXPECT_FALSE(engine.SaveWorkImage(folder.File("new.xpm")));
  WorkImage.rows[0][0] = 0;
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

// A distance map's values back from a file, read here without the program: NumPy array, 32-bit
// TIFF (libtiff), 16-bit PNG (Qt) and 16-bit PGM.
Grid MapFrom(const std::string& file) {
  const std::string bytes = ReadText(file);
  const std::string extension = file.substr(file.rfind('.'));
  Grid map;
  if (extension == ".npy") {
    const std::size_t data = 10 + uint8_t(bytes[8]) + 256 * uint8_t(bytes[9]);
    EXPECT_EQ(data % 64, 0u);  // the values aligned, as NumPy writes them
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x93NUMPY\x01\x00", 8));
    std::sscanf(bytes.c_str() + bytes.find("'shape': ("), "'shape': (%d, %d)", &map.height,
                &map.width);
    EXPECT_NE(bytes.find("'descr': '<i4'"), std::string::npos);
    map.values.resize((bytes.size() - data) / 4);
    std::memcpy(map.values.data(), bytes.data() + data, map.values.size() * 4);
  } else if (extension == ".tif") {
    TIFF* tiff = TIFFOpen(file.c_str(), "r");
    uint16_t bits = 0, format = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &map.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &map.height);
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tiff, TIFFTAG_SAMPLEFORMAT, &format);
    EXPECT_EQ(bits * 10 + format, 32 * 10 + SAMPLEFORMAT_INT);
    map.values.resize(std::size_t(map.width) * map.height);
    for (int row = 0; row < map.height; ++row)
      TIFFReadScanline(tiff, &map.values[std::size_t(row) * map.width], row, 0);
    TIFFClose(tiff);
  } else if (extension == ".png") {
    const QImage picture(QString::fromStdString(file));
    EXPECT_EQ(picture.format(), QImage::Format_Grayscale16);
    map = Grid(picture.width(), picture.height());
    for (int row = 0; row < map.height; ++row)
      for (int column = 0; column < map.width; ++column)
        map.at(row, column) = reinterpret_cast<const uint16_t*>(picture.scanLine(row))[column];
  } else {  // .pgm: "P5 W H 65535", then two bytes per value, the high one first
    std::istringstream in(bytes);
    std::string magic;
    int maximum = 0;
    in >> magic >> map.width >> map.height >> maximum;
    EXPECT_EQ(magic + std::to_string(maximum), "P565535");
    const std::size_t data = std::size_t(in.tellg()) + 1;
    for (std::size_t i = data; i + 1 < bytes.size(); i += 2)
      map.values.push_back(uint8_t(bytes[i]) << 8 | uint8_t(bytes[i + 1]));
  }
  return map;
}

TEST_F(Files, DistanceMapsKeepTheirValuesExactlyOrClippedTo16Bits) {
  std::mt19937 rng(99);
  for (const auto& [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}, {37, 23}}) {
    Grid map(w, h);
    const int32_t specials[] = {0, 1, 65534, 65535, 65536, 2000000, noFeature};
    for (int32_t& v : map.values)
      v = rng() % 3 ? int32_t(rng() % 70000) : specials[rng() % std::size(specials)];
    SetInput(engine, Grid(w, h));
    std::copy(map.values.begin(), map.values.end(), WorkImage.rows.data());
    WorkImage.kind = distanceKind;
    Grid clipped = map;
    for (int32_t& v : clipped.values) v = std::min(v, 65535);
    const int64_t over = std::count_if(map.values.begin(), map.values.end(),
                                       [](int32_t v) { return v > 65534 && v != noFeature; });
    for (const char* name : {"m.npy", "m.tif", "m.png", "m.pgm"}) {
      services.messages.clear();
      ASSERT_TRUE(engine.SaveWorkImage(folder.File(name), *FormatOfName(name))) << name;
      const bool sixteen = name[2] == 'p';  // .png and .pgm
      EXPECT_EQ(MapFrom(folder.File(name)), sixteen ? clipped : map) << name;
      const std::string warning = "65534 を超える距離値 " + std::to_string(over) + " 画素分を";
      EXPECT_EQ(services.texts().size(), over && sixteen);
      EXPECT_TRUE(!(over && sixteen) || services.texts().at(0).rfind(warning, 0) == 0);
    }
    // Two colours cannot hold a map: refused, with what can, and nothing written.
    EXPECT_FALSE(engine.SaveWorkImage(folder.File("m.bmp"), FileFormat::bmp));
    EXPECT_EQ(services.texts().back(), "距離画像はこの形式では保存できません。\n保存できる形式: .xpm "
                                       ".png .pgm .tif .tiff .npy .txt\n" + folder.File("m.bmp"));
  }
  EXPECT_EQ(folder.Names().size(), 4u);
}

// Writes a picture with Qt, grey g(x, y) or any colour, in the format of its name.
std::string Picture(const TempFolder& folder, const std::string& name, const QImage& picture) {
  EXPECT_TRUE(picture.save(QString::fromStdString(folder.File(name))));
  return folder.File(name);
}

QImage Greys(int w, int h, const std::function<int(int, int)>& grey) {
  QImage picture(w, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      picture.setPixel(x, y, qRgba(grey(x, y), grey(x, y), grey(x, y), 255));
  return picture;
}

// Pictures become black and white by their grey values: two values give the lighter one white
// in either order, more need a threshold, colour counts by its luminance over white.
TEST_F(Files, PicturesBecomeBlackAndWhiteByTheirGreys) {
  const auto stripes = [](int a, int b) {
    return [=](int x, int y) { return (x + y) % 3 ? a : b; };
  };
  Grid pattern(7, 5), inverse(7, 5);
  for (int i = 0; i < 35; ++i)
    inverse.values[i] = 1 - (pattern.values[i] = (i % 7 + i / 7) % 3 > 0);
  const struct {
    QImage picture;
    const char* name;
    Grid expected;
  } cases[] = {{Greys(7, 5, stripes(200, 30)), "a.png", pattern},
               {Greys(7, 5, stripes(30, 200)), "b.bmp", inverse},
               {Greys(7, 5, stripes(1, 0)), "c.pgm", pattern},
               {Greys(7, 5, stripes(127, 127)), "d.tif", Grid(7, 5, 0)},
               {Greys(7, 5, stripes(128, 128)), "e.ppm", Grid(7, 5, 1)}};
  for (const auto& c : cases) {
    ASSERT_TRUE(engine.LoadInputImage(Picture(folder, c.name, c.picture)));
    EXPECT_EQ(GridOf(InputImage), c.expected) << c.name;
    ASSERT_TRUE(engine.LoadFilterImage(folder.File(c.name)));
    EXPECT_EQ(std::pair(FilterImage.originRow, FilterImage.originCol), std::pair(2, 3));
  }
  // Red, green, blue, half-transparent black and a darker blue: luminance 76, 150, 29, 128 over
  // white, and 28 (28.386).
  QImage colours(5, 1, QImage::Format_ARGB32);
  const QRgb pixels[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgba(0, 0, 0, 127),
                         qRgb(0, 0, 249)};
  for (int x = 0; x < 5; ++x) colours.setPixel(x, 0, pixels[x]);
  const std::string file = Picture(folder, "colours.png", colours);
  const std::string before = State(engine);
  EXPECT_FALSE(engine.LoadInputImage(file));
  EXPECT_EQ(State(engine), before);
  EXPECT_EQ(services.texts().back(), "入力画像が白黒２値画像ではありません（5 階調）。\n"
                                     "しきい値を指定すると白黒にできます。\n" + file);
  for (const auto& [threshold, rows] : {std::pair{77, "01010"}, {129, "01000"}, {29, "11110"}}) {
    ASSERT_TRUE(engine.LoadInputImage(file, ReadOptions{threshold}));
    EXPECT_EQ(GridOf(InputImage), GridFromRows({rows})) << threshold;
  }
  // The window asks whether to use 128; no leaves everything as it was.
  for (MessageResult answer : {MessageResult::Cancel, MessageResult::Ok}) {
    SetInput(engine, Grid(2, 2));
    const std::string loaded = State(engine);
    services.messageAnswers.push_back(answer);
    services.messages.clear();
    EXPECT_EQ(engine.LoadInputImage(file, {}, true), answer == MessageResult::Ok);
    EXPECT_EQ(services.texts(), std::vector<std::string>{"白黒２値画像ではありません（5 階調）。\n"
                                                         "明るさ 128 以上を白、それ未満を黒として"
                                                         "読み込みますか？\n" +
                                                         file});
    EXPECT_TRUE(answer == MessageResult::Ok || State(engine) == loaded);
  }
  EXPECT_EQ(GridOf(InputImage), GridFromRows({"01010"}));
}

// However Qt hands a picture over (one bit a pixel, a table of colours, bytes of grey, 32-bit
// colour), the same colours read as the same black and white: each file against
// the picture Qt decodes from it, saved again in 32-bit colour.
TEST_F(Files, EveryPixelLayoutReadsAsItsColoursDo) {
  std::mt19937 rng(31);
  const auto any = [&rng](int n) { return int(rng() % unsigned(n)); };
  for (int round = 0; round < 8; ++round) {
    const bool oneBit = round % 2 == 0;
    QImage picture(1 + any(40), 1 + any(6), oneBit ? QImage::Format_Mono : QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0, n = oneBit ? 2 : 2 + any(200); i < n; ++i)
      table.push_back(qRgba(any(256), any(256), any(256), round % 4 < 2 ? 255 : any(256)));
    picture.setColorTable(table);
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, uint(any(table.size())));
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    for (const auto& [name, image] : {std::pair{"a.png", picture}, {"b.bmp", picture},
                                      {"c.tif", picture}, {"d.pgm", grey}, {"e.tif", grey}}) {
      const std::string file = Picture(folder, name, image);
      const QImage decoded(QString::fromStdString(file));
      const ReadOptions options{any(256)};
      ASSERT_TRUE(engine.LoadInputImage(
          Picture(folder, "reference.png", decoded.convertToFormat(QImage::Format_ARGB32)),
          options));
      const Grid expected = GridOf(InputImage);
      const std::pair counts{InputImage.whiteCount, InputImage.blackCount};
      ASSERT_TRUE(engine.LoadInputImage(file, options)) << name;
      EXPECT_EQ(GridOf(InputImage), expected) << name << " " << round;
      EXPECT_EQ(std::pair(InputImage.whiteCount, InputImage.blackCount), counts) << name;
    }
  }
}

// A PNG with the given size in its header and one byte of image data, its checksums right; or
// the same chunks after MNG's signature, which Qt's reader sizes only as it decodes.
std::string PngClaiming(uint32_t width, uint32_t height, bool mng = false) {
  const auto big = [](uint32_t v) {
    return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
  };
  const auto chunk = [&](const std::string& type, const std::string& data) {
    const std::string body = type + data;
    return big(data.size()) + body +
           big(crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size()));
  };
  return std::string(mng ? "\x8aMNG\r\n\x1a\n" : "\x89PNG\r\n\x1a\n", 8) +
         chunk("IHDR", big(width) + big(height) + std::string("\x01\0\0\0\0", 5)) +
         chunk("IDAT", std::string("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9)) + chunk("IEND", "");
}

// Pictures that cannot be read change nothing and say why, before anything large is allocated.
TEST_F(Files, BrokenPicturesAreRefusedWithTheirReasons) {
  const QImage stripes = Greys(64, 64, [](int x, int) { return x % 2 * 255; });
  const std::string png = ReadText(Picture(folder, "whole.png", stripes));
  const std::string bmp =
      ReadText(Picture(folder, "whole.bmp", stripes.convertToFormat(QImage::Format_Mono)));
  const std::string jpg = ReadText(Picture(folder, "whole.jpg", stripes));
  const std::string layout = "ファイルの形式が正しくありません。\n";
  const std::pair<std::string, std::string> broken[] = {
      {PngClaiming(100000, 100000), "画像が大きすぎて読めません（100000 × 100000 画素）。"},
      {PngClaiming(30000, 30000),
       layout + "画像の幅と高さ（30000 × 30000）に見合うだけのデータがファイルにありません。"},
      {png.substr(0, png.size() / 2),
       layout + "画像を読み込めませんでした（Unable to read image data）。"},
      {bmp.substr(0, bmp.size() - 9), layout + "ファイルが途中で終わっています。"},
      {jpg.substr(0, jpg.size() / 2), layout + "ファイルが途中で終わっています。"},
      {"P5\n2 2\n255\n\x01", layout + "画像を読み込めませんでした（Unable to read image data）。"}};
  SetInput(engine, Grid(3, 3, 1));
  const std::string before = State(engine);
  for (const auto& [bytes, message] : broken) {
    for (const char* name : {"broken.png", "broken"}) {  // by its extension or by its bytes
      WriteText(folder.File(name), bytes);
      services.messages.clear();
      EXPECT_FALSE(engine.LoadInputImage(folder.File(name)));
      EXPECT_EQ(services.texts(), std::vector<std::string>{message + "\n" + folder.File(name)});
      EXPECT_EQ(State(engine), before);
    }
  }
  // A picture sized only as it is decoded gets no more memory than its file could fill: 68 bytes
  // that claim 16384 x 65776 pixels (4 GB, 12 GB as the program's images) are refused at once.
  WriteText(folder.File("huge.png"), PngClaiming(16384, 65776, true));
  services.messages.clear();
  EXPECT_FALSE(engine.LoadInputImage(folder.File("huge.png")));
  ASSERT_EQ(services.texts().size(), 1u);
  EXPECT_EQ(services.texts()[0].rfind(layout + "画像を読み込めませんでした（", 0), 0u);
  EXPECT_NE(services.texts()[0].find("exceeds the current allocation limit"), std::string::npos);
  EXPECT_EQ(State(engine), before);
}

}  // namespace
}  // namespace dt::testing
