// The "距離変換" dialog (resource 104): one of the three transform algorithms, the distance
// function and the timing option. The caller fills the members before exec() and reads them
// back after 実行.
#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;

namespace dt {

class DistanceTransformDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int resourceId = 104;

  explicit DistanceTransformDialog(QWidget* parent);

  int algorithm = 0;         // 0 none, 1 algorithm 1, 4 algorithm 2, 5 simple transform
  int distanceFunction = 1;  // 1 Euclid, 2 city-block, 3 chessboard, 4 triangle
  int measureTime = 0;       // 1 = time the run and draw nothing while it runs

  // Showing the dialog sets its controls from the members, as the dialog's initialisation does.
  void setVisible(bool visible) override;
  void accept() override;

 private:
  void Initialise();
  void OnTimingClicked();

  QButtonGroup* algorithms_;
  QButtonGroup* distances_;
  QCheckBox* timing_;
};

}  // namespace dt
