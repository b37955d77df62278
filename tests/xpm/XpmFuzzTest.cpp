// Random mutations of good and broken XPM texts. Each mutant is read by the program's scanner and
// by a second, deliberately different reading of the same rules written here with string
// searches; both must agree on whether the file is good and on every pixel. Some mutants also go
// through LoadInputImage / LoadFilterImage, which must either replace the image consistently or
// leave every record as it was.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>

#include "support/EngineFixture.h"
#include "xpm/XpmReader.h"
#include "xpm/XpmTestSupport.h"

namespace dt::testing {
namespace {

struct Reference {
  int width = 0, height = 0;
  std::vector<int32_t> pixels;
};

// Reads a decimal number at `pos` the way strtoll does; nothing when there is no number.
std::optional<long long> NumberAt(const std::string& text, std::size_t& pos) {
  const char* start = text.c_str() + pos;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(start, &end, 10);
  if (end == start) return std::nullopt;
  pos += static_cast<std::size_t>(end - start);
  return value;
}

// The accepted files and their pixels, from the rules as a user would read them.
std::optional<Reference> ReferenceRead(const std::string& text) {
  std::size_t pos = text.find('"');
  if (pos == std::string::npos) return std::nullopt;
  ++pos;
  const auto width = NumberAt(text, pos);
  if (!width || *width <= 0 || *width > INT_MAX) return std::nullopt;
  const auto height = NumberAt(text, pos);
  if (!height || *height <= 0 || *height > INT_MAX) return std::nullopt;
  const long long pixels = *width * *height;
  if (pixels > static_cast<long long>(text.size() - pos)) return std::nullopt;
  const auto colours = NumberAt(text, pos);
  if (!colours || *colours != 2) return std::nullopt;
  const auto cpp = NumberAt(text, pos);
  if (!cpp || *cpp != 1) return std::nullopt;
  // Header end, first colour string.
  for (int i = 0; i < 2; ++i) {
    pos = text.find('"', pos);
    if (pos == std::string::npos) return std::nullopt;
    ++pos;
  }
  std::optional<char> white;
  for (int entry = 0; entry < 2; ++entry) {
    if (pos >= text.size()) return std::nullopt;
    const char key = text[pos];
    pos = text.find('#', pos + 1);
    if (pos == std::string::npos) return std::nullopt;
    std::string value = text.substr(pos + 1, 6);
    const std::size_t lineBreak = value.find('\n');
    if (lineBreak != std::string::npos) value.resize(lineBreak + 1);
    pos += 1 + value.size();
    if (value == "ffffff") white = key;
    for (int i = 0; i < 2; ++i) {
      pos = text.find('"', pos);
      if (pos == std::string::npos) return std::nullopt;
      ++pos;
    }
  }
  Reference ref;
  ref.width = static_cast<int>(*width);
  ref.height = static_cast<int>(*height);
  for (int row = 0; row < ref.height; ++row) {
    const std::size_t quote = text.find('"', pos);
    if (quote == std::string::npos || quote - pos != static_cast<std::size_t>(ref.width))
      return std::nullopt;
    for (std::size_t i = pos; i < quote; ++i) ref.pixels.push_back(white && text[i] == *white);
    const std::size_t next = text.find_first_of("\"}", quote + 1);
    if (row + 1 == ref.height) break;
    if (next == std::string::npos || text[next] == '}') return std::nullopt;
    pos = next + 1;
  }
  return ref;
}

std::vector<std::string> Seeds(std::mt19937& rng) {
  std::vector<std::string> seeds = {
      "\"3 2 2 1\",\n\". c #000000\",\n\"# c #ffffff\",\n\"#.#\",\n\"..#\"\n};\n",
      "/* XPM */\nstatic char *x[] = {\n\"4 3 2 1 2 1\",\n\"x c #ffffff\",\n/* c */\n"
      "\"o c #000000 s None\",\n\"xoox\",\n/* row */\n\"oxxo\",\n\"xxxx\"};",
      "\"2 2 2 1\" \"a c #FFFFFF\" \"b c #000000\" \"ab\" \"ba\" }",
      "\"3 3 2 1\",\n\". c #000000\",\n\"# c #ffffff\",\n\"#.#\",\n\"..#\"};\n",
      "\"3 2 3 1\",\n\". c #000000\",\n\"# c #ffffff\",\n\"o c #888888\",\n\"#.#\",\n\"..o\"};",
      "\"5 1 2 1\"\n\"# c #ffffff\"\n\". c #000000\"\n\"#.#.#\"",
  };
  for (int i = 0; i < 6; ++i) {
    std::uniform_int_distribution<int> side(1, 12);
    const Grid g = RandomGrid(rng, side(rng), side(rng), 0.5);
    std::vector<std::string> rows;
    for (int r = 0; r < g.height; ++r) {
      std::string row;
      for (int c = 0; c < g.width; ++c) row += g.at(r, c) ? '#' : '.';
      rows.push_back(row);
    }
    seeds.push_back(BinaryXpm(rows));
  }
  return seeds;
}

std::string Mutate(std::string text, std::mt19937& rng) {
  static const char* const insertions[] = {"\"",  "\"\"", "0",           "7",   "-1", "}", "#",
                                           "\n",  " ",    "99999999999", "2147483647",
                                           "100000000 100000000", "ffffff", "\"#\",", "/*"};
  std::uniform_int_distribution<int> kind(0, 6);
  const int rounds = 1 + static_cast<int>(rng() % 3);
  for (int round = 0; round < rounds; ++round) {
    const std::size_t at = text.empty() ? 0 : rng() % (text.size() + 1);
    switch (kind(rng)) {
      case 0:  // flip a byte
        if (at < text.size()) text[at] = static_cast<char>(rng() & 0xff);
        break;
      case 1:  // swap a pixel-like character for another
        if (at < text.size()) text[at] = "#.\"ab\n}"[rng() % 7];
        break;
      case 2:  // cut the file
        text.resize(at);
        break;
      case 3:
      case 4: {  // insert something the scanner cares about
        const char* what = insertions[rng() % (sizeof insertions / sizeof *insertions)];
        text.insert(at, what);
        break;
      }
      case 5:  // delete a stretch
        text.erase(at, rng() % 6);
        break;
      case 6: {  // duplicate a stretch
        const std::string piece = text.substr(at, rng() % 12);
        text.insert(at, piece);
        break;
      }
    }
  }
  return text;
}

using XpmFuzz = EngineTest;

TEST_F(XpmFuzz, ScannerAgreesWithAReferenceReadingOnMutatedFiles) {
  std::mt19937 rng(12345);
  const std::vector<std::string> seeds = Seeds(rng);
  int accepted = 0, refused = 0;
  for (int i = 0; i < 60000; ++i) {
    const std::string text = Mutate(seeds[i % seeds.size()], rng);
    const auto expected = ReferenceRead(text);
    const xpm::ReadResult input = xpm::ParseXpm(text, xpm::ImageRole::Input);
    ASSERT_EQ(input.ok, expected.has_value()) << ::testing::PrintToString(text);
    if (!input.ok) {
      EXPECT_FALSE(input.message.empty());
      ++refused;
      continue;
    }
    ++accepted;
    const ImageRecord& image = input.image;
    ASSERT_EQ(image.width, expected->width);
    ASSERT_EQ(image.height, expected->height);
    const std::vector<int32_t> pixels(image.rows.data(),
                                      image.rows.data() + expected->pixels.size());
    ASSERT_EQ(pixels, expected->pixels) << ::testing::PrintToString(text);
    const auto white = std::count(pixels.begin(), pixels.end(), 1);
    EXPECT_EQ(image.whiteCount, white);
    EXPECT_EQ(image.blackCount, static_cast<long>(pixels.size()) - white);
    EXPECT_EQ(image.kind, binaryKind);
    EXPECT_EQ(image.charsPerPixel, 1);
    // The filter reading accepts the same files.
    const xpm::ReadResult filter = xpm::ParseXpm(text, xpm::ImageRole::Filter);
    ASSERT_TRUE(filter.ok);
    EXPECT_EQ(filter.image.originRow, image.height / 2);
    EXPECT_EQ(filter.image.originCol, image.width / 2);
  }
  // Both outcomes are well represented, or the mutations test little.
  EXPECT_GT(accepted, 6000);
  EXPECT_GT(refused, 6000);
}

TEST_F(XpmFuzz, LoadingMutatedFilesReplacesConsistentlyOrChangesNothing) {
  std::mt19937 rng(777);
  const std::vector<std::string> seeds = Seeds(rng);
  TempFolder folder;
  const std::string first = folder.File("first.xpm");
  WriteText(first, seeds[0]);
  ASSERT_TRUE(engine.LoadInputImage(first));
  ASSERT_TRUE(engine.LoadFilterImage(first));
  for (int i = 0; i < 3000; ++i) {
    const std::string text = Mutate(seeds[i % seeds.size()], rng);
    // A new name each time: rewriting one file in place makes the file system flush it.
    const std::string file = folder.File("fuzz" + std::to_string(i) + ".xpm");
    WriteText(file, text);
    const bool asFilter = i % 3 == 0;
    const StateSnapshot before = TakeSnapshot(engine);
    services.messages.clear();
    const bool ok = asFilter ? engine.LoadFilterImage(file) : engine.LoadInputImage(file);
    std::remove(file.c_str());
    if (!ok) {
      ASSERT_EQ(TakeSnapshot(engine), before) << ::testing::PrintToString(text);
      ASSERT_EQ(services.messages.size(), 1u);
      EXPECT_EQ(services.messages[0].caption, "エラー");
      continue;
    }
    EXPECT_TRUE(services.messages.empty());
    const StateSnapshot after = TakeSnapshot(engine);
    if (asFilter) {
      EXPECT_EQ(after.input, before.input);
      EXPECT_EQ(after.work, before.work);
      EXPECT_EQ(after.filter.pixels.size(), std::size_t(FilterImage.width) * FilterImage.height);
      EXPECT_EQ(FilterImage.originRow, FilterImage.height / 2);
    } else {
      EXPECT_EQ(after.filter, before.filter);
      EXPECT_EQ(after.work.pixels, after.input.pixels);
      EXPECT_EQ(after.distance.pixels, after.input.pixels);
      EXPECT_EQ(WorkImage.width, InputImage.width);
      EXPECT_EQ(DistanceMap.height, InputImage.height);
      EXPECT_EQ(WorkImage.kind, binaryKind);
      EXPECT_EQ(InputImage.whiteCount + InputImage.blackCount,
                InputImage.width * InputImage.height);
    }
  }
}

}  // namespace
}  // namespace dt::testing
