#include "support/Files.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace dt::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "dtmorph-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void WriteText(const std::string& fileName, const std::string& contents) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out << contents;
  if (!out) throw std::runtime_error("cannot write " + fileName);
}

std::string ReadText(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string XpmOf(const Grid& grid) {
  std::string text = "/* XPM */\nstatic char *outputimage[] = {\n";
  text += "/* width height num_colors chars_per_pixel */\n";
  text += "\" " + std::to_string(grid.width) + " " + std::to_string(grid.height) + "  2  1\",\n";
  text += "\". c #000000\",\n\"# c #ffffff\",\n";
  for (int r = 0; r < grid.height; ++r) {
    text += '"';
    for (int c = 0; c < grid.width; ++c) text += grid.at(r, c) == 1 ? '#' : '.';
    text += "\",\n";
  }
  return text + "};\n";
}

namespace {

// A decimal number at pos the way strtoll reads it; nothing when there is none.
std::optional<long long> NumberAt(const std::string& text, std::size_t& pos) {
  const char* start = text.c_str() + pos;
  char* end = nullptr;
  const long long value = std::strtoll(start, &end, 10);
  if (end == start) return std::nullopt;
  pos += static_cast<std::size_t>(end - start);
  return value;
}

// Moves pos past the next count double quotes; false when there are not that many.
bool PastQuotes(const std::string& text, std::size_t& pos, int count) {
  for (int i = 0; i < count; ++i) {
    pos = text.find('"', pos);
    if (pos == std::string::npos) return false;
    ++pos;
  }
  return true;
}

// Whether a colour string's text after its key is white: ffffff in any case after a '#', else
// "white" in any case as the name (words up to the next key word) for c, or else m, g4 or g.
bool IsWhite(const std::string& body) {
  std::string lower = body;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (const std::size_t hash = body.find('#'); hash != std::string::npos)
    return lower.compare(hash + 1, 6, "ffffff") == 0;
  std::vector<std::pair<std::string, std::string>> names;  // key, name
  std::istringstream words(body), lowerWords(lower);
  for (std::string word, lowerWord; words >> word && lowerWords >> lowerWord;) {
    if (word == "c" || word == "m" || word == "g4" || word == "g" || word == "s")
      names.emplace_back(word, "");
    else if (!names.empty())
      names.back().second += (names.back().second.empty() ? "" : " ") + lowerWord;
  }
  for (const std::string key : {"c", "m", "g4", "g"})
    for (const auto& [k, name] : names)
      if (k == key) return name == "white";  // the first of the key's entries
  return false;
}

}  // namespace

std::optional<Grid> ReadXpm(const std::string& text) {
  std::size_t pos = 0;
  if (!PastQuotes(text, pos, 1)) return std::nullopt;
  const auto width = NumberAt(text, pos);
  if (!width || *width <= 0 || *width > INT_MAX) return std::nullopt;
  const auto height = NumberAt(text, pos);
  if (!height || *height <= 0 || *height > INT_MAX) return std::nullopt;
  if (*width * *height > static_cast<long long>(text.size() - pos)) return std::nullopt;
  const auto colours = NumberAt(text, pos);
  if (!colours || *colours != 2) return std::nullopt;
  const auto charsPerPixel = NumberAt(text, pos);
  if (!charsPerPixel || *charsPerPixel != 1) return std::nullopt;
  if (!PastQuotes(text, pos, 2)) return std::nullopt;  // the header's end, the first colour
  std::optional<char> white;
  for (int entry = 0; entry < 2; ++entry) {
    if (pos >= text.size()) return std::nullopt;
    const char key = text[pos];
    const std::size_t end = text.find('"', pos + 1);
    if (end == std::string::npos) return std::nullopt;
    if (IsWhite(text.substr(pos + 1, end - pos - 1))) white = key;
    pos = end + 1;
    if (!PastQuotes(text, pos, 1)) return std::nullopt;
  }
  Grid grid(static_cast<int>(*width), static_cast<int>(*height));
  for (int row = 0; row < grid.height; ++row) {
    const std::size_t quote = text.find('"', pos);
    if (quote == std::string::npos || quote - pos != std::size_t(grid.width)) return std::nullopt;
    for (int c = 0; c < grid.width; ++c) grid.at(row, c) = white && text[pos + c] == *white;
    const std::size_t next = text.find_first_of("\"}", quote + 1);
    if (row + 1 == grid.height) break;
    if (next == std::string::npos || text[next] == '}') return std::nullopt;
    pos = next + 1;
  }
  return grid;
}

}  // namespace dt::testing
