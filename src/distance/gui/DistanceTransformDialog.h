// The "距離変換" dialog (resource 104): one of the three transform algorithms, the distance
// function and the timing option. The caller fills the members before exec() and reads them
// back after 実行.
#pragma once

#include "app/OptionDialog.h"

class QButtonGroup;

namespace dt {

class DistanceTransformDialog : public OptionDialog {
  Q_OBJECT

 public:
  static constexpr int resourceId = 104;

  explicit DistanceTransformDialog(QWidget* parent);

  int algorithm = 0;         // 0 none, 1 algorithm 1, 4 algorithm 2, 5 simple transform
  int distanceFunction = 1;  // 1 Euclid, 2 city-block, 3 chessboard, 4 triangle

  void accept() override;

 private:
  void Initialise() override;

  QButtonGroup* algorithms_;
  QButtonGroup* distances_;
};

}  // namespace dt
