// Reading a whole file, and replacing a file's contents without ever leaving it cut off.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dt {

// Writes `contents`, then `more`, to a new file in the folder of `fileName` and renames it over
// `fileName`, so that the name always holds either the earlier file or the complete new one. A
// file that already exists keeps its permissions. On any failure the temporary file is removed,
// the earlier file is untouched and the result is false.
bool ReplaceFileContents(const std::string& fileName, std::string_view contents,
                         std::string_view more = {});

// The machine's physical memory in bytes.
int64_t MachineMemory();

// The whole file in memory, or false with the message to show.
bool ReadWholeFile(const std::string& fileName, std::string& contents, std::string& message);

}  // namespace dt
