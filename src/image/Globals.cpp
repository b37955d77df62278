#include "image/Globals.h"

#include "platform/Translate.h"

namespace dt {

ImageRecord InputImage;
ImageRecord FilterImage;
ImageRecord WorkImage;
ImageRecord DistanceMap;

const std::string appTitle = QT_TRANSLATE_NOOP("dtcore", "距離変換＆モルフォロジー演算デモ");
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
