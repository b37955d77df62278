// The global state of the program: the four image records every subsystem works on, and three
// small globals. All of it is touched only from the user-interface thread.
#pragma once

#include <string>

#include "image/Choices.h"
#include "image/ImageRecord.h"

namespace dt {

extern ImageRecord InputImage;   // the binary input; its size is the size of every operation
extern ImageRecord FilterImage;  // the structuring element of filter-image morphology
extern ImageRecord WorkImage;    // the current result: drawn and saved
extern ImageRecord DistanceMap;  // the previous state that the passes read

extern const std::string appTitle;  // "距離変換＆モルフォロジー演算デモ", shown through Translate
extern ApexPoint triangleApex;      // apex of the custom triangle filter, (0, 150) at start
extern std::string filterFileName;  // the last chosen filter file name

// Puts every global back to its state at start-up (for tests).
void ResetGlobalState();

}  // namespace dt
