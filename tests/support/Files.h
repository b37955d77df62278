// Files for the tests: a scratch folder, whole-file reads and writes, and the tests' own XPM
// writer and reader.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/Grid.h"

namespace dt::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> Names() const;  // the entries, sorted

 private:
  std::string path_;
};

void WriteText(const std::string& fileName, const std::string& contents);
std::string ReadText(const std::string& fileName);

// A binary grid as a two-colour XPM text in the layout this program writes.
std::string XpmOf(const Grid& grid);
// The rules of the program's XPM files read a second, deliberately different way (string
// searches): the grid (1 where the colour is ffffff or named white), or nothing when the program
// must refuse the text.
std::optional<Grid> ReadXpm(const std::string& text);

}  // namespace dt::testing
