#include "xpm/XpmTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
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
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
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

bool Exists(const std::string& fileName) { return fs::exists(fileName); }

namespace {

RecordSnapshot Snap(const ImageRecord& r) {
  RecordSnapshot s{r.width,         r.height,       r.originRow,  r.originCol, r.kind,
                   r.charsPerPixel, r.whiteCount,   r.blackCount, bool(r.rows), {}};
  if (r.rows && r.width > 0 && r.height > 0)
    s.pixels.assign(r.rows.data(), r.rows.data() + std::size_t(r.width) * r.height);
  return s;
}

void Print(const char* name, const RecordSnapshot& r, std::ostream* os) {
  *os << name << " " << r.width << "x" << r.height << " origin " << r.originRow << ","
      << r.originCol << " kind " << r.kind << " cpp " << r.charsPerPixel << " counts "
      << r.whiteCount << "/" << r.blackCount << (r.hasRows ? " rows" : " no rows") << " ("
      << r.pixels.size() << " pixels)\n";
}

}  // namespace

bool RecordSnapshot::operator==(const RecordSnapshot& o) const {
  return width == o.width && height == o.height && originRow == o.originRow &&
         originCol == o.originCol && kind == o.kind && charsPerPixel == o.charsPerPixel &&
         whiteCount == o.whiteCount && blackCount == o.blackCount && hasRows == o.hasRows &&
         pixels == o.pixels;
}

bool StateSnapshot::operator==(const StateSnapshot& o) const {
  return input == o.input && filter == o.filter && work == o.work && distance == o.distance &&
         inputLoaded == o.inputLoaded && filterLoaded == o.filterLoaded &&
         distanceReady == o.distanceReady;
}

StateSnapshot TakeSnapshot(const ImageEngine& engine) {
  return StateSnapshot{Snap(InputImage),        Snap(FilterImage),   Snap(WorkImage),
                       Snap(DistanceMap),       engine.inputLoaded, engine.filterLoaded,
                       engine.distanceReady};
}

void PrintTo(const StateSnapshot& s, std::ostream* os) {
  Print("input", s.input, os);
  Print("filter", s.filter, os);
  Print("work", s.work, os);
  Print("distance", s.distance, os);
  *os << "flags " << s.inputLoaded << s.filterLoaded << s.distanceReady;
}

std::string BinaryXpm(const std::vector<std::string>& rows) {
  std::string text = "/* XPM */\nstatic char *outputimage[] = {\n";
  text += "/* width height num_colors chars_per_pixel */\n";
  text += "\" " + std::to_string(rows.empty() ? 0 : rows[0].size()) + " " +
          std::to_string(rows.size()) + "  2  1\",\n";
  text += "\". c #000000\",\n\"# c #ffffff\",\n";
  for (const auto& row : rows) text += "\"" + row + "\",\n";
  text += "};\n";
  return text;
}

}  // namespace dt::testing
