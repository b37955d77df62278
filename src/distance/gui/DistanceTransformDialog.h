// The "距離変換" dialog (resource 104): one of the three transform algorithms, the distance
// function and the timing option. The caller fills the members before exec() and reads them
// back after 実行.
#pragma once

#include <optional>

#include "app/OptionDialog.h"
#include "image/Choices.h"

class QButtonGroup;

namespace dt {

class DistanceTransformDialog : public OptionDialog {
  Q_OBJECT

 public:
  static constexpr int resourceId = 104;

  explicit DistanceTransformDialog(QWidget* parent);

  std::optional<TransformAlgorithm> algorithm;  // none until the user chooses one
  DistanceFunction distanceFunction = DistanceFunction::euclid;

  void accept() override;

 private:
  void Initialise() override;

  QButtonGroup* algorithms_;
  QButtonGroup* distances_;
};

}  // namespace dt
