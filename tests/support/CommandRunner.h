// Runs the dtmorph binary as a user at the shell would, for the tests of its subcommands.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/EngineFixture.h"
#include "xpm/XpmTestSupport.h"

namespace dt::testing {

struct CommandResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline CommandResult RunDtmorph(const std::vector<std::string>& args, const TempFolder& scratch) {
  std::string line = ShellQuote(DTMORPH_BINARY);
  for (const auto& a : args) line += " " + ShellQuote(a);
  const std::string out = scratch.File("stdout"), err = scratch.File("stderr");
  line += " >" + ShellQuote(out) + " 2>" + ShellQuote(err) + " </dev/null";
  const int raw = std::system(line.c_str());
  CommandResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadText(out);
  result.err = ReadText(err);
  return result;
}

// A file of the sample folder.
inline std::string Sample(const std::string& name) {
  return std::string(DT_SAMPLES_DIR) + "/" + name;
}

// The text form of an output: "W H", then the values row by row.
inline Grid GridFromText(const std::string& text) {
  std::istringstream values(text);
  Grid grid;
  values >> grid.width >> grid.height;
  grid.values.resize(std::size_t(std::max(grid.width, 0)) * std::max(grid.height, 0));
  for (auto& v : grid.values) values >> v;
  return values ? grid : Grid();
}

// An XPM file of the grid (1 = white) in a folder.
inline std::string WriteGridXpm(const TempFolder& folder, const std::string& name,
                                const Grid& grid) {
  std::vector<std::string> rows;
  for (int y = 0; y < grid.height; ++y) {
    std::string row;
    for (int x = 0; x < grid.width; ++x) row += grid.at(y, x) == 1 ? '#' : '.';
    rows.push_back(row);
  }
  const std::string file = folder.File(name);
  WriteText(file, BinaryXpm(rows));
  return file;
}

}  // namespace dt::testing
