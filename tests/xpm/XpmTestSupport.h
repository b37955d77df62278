// Helpers for the file tests: a scratch folder per test, whole-file reads and writes, and a
// snapshot of every piece of global image state to prove that a refused file changed nothing.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "image/ImageEngine.h"

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
bool Exists(const std::string& fileName);

// Everything a load may touch: the four records with their pixels and the engine's flags.
struct RecordSnapshot {
  int32_t width, height, originRow, originCol, kind, charsPerPixel, whiteCount, blackCount;
  bool hasRows;
  std::vector<int32_t> pixels;
  bool operator==(const RecordSnapshot& o) const;
};
struct StateSnapshot {
  RecordSnapshot input, filter, work, distance;
  int32_t inputLoaded, filterLoaded, distanceReady;
  bool operator==(const StateSnapshot& o) const;
};
StateSnapshot TakeSnapshot(const ImageEngine& engine);
void PrintTo(const StateSnapshot& s, std::ostream* os);

// A two-colour XPM text as this program writes it, from rows of '#' (white) and '.' (black).
std::string BinaryXpm(const std::vector<std::string>& rows);

}  // namespace dt::testing
