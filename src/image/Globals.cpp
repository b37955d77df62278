#include "image/Globals.h"

namespace dt {

ImageRecord InputImage;
ImageRecord FilterImage;
ImageRecord WorkImage;
ImageRecord DistanceMap;

const std::string appTitle = "距離変換＆モルフォロジー演算デモ";
ApexPoint triangleApex;
std::string filterFileName;

void ResetGlobalState() {
  InputImage = ImageRecord();
  FilterImage = ImageRecord();
  WorkImage = ImageRecord();
  DistanceMap = ImageRecord();
  triangleApex = ApexPoint();
  filterFileName.clear();
}

}  // namespace dt
