// The "フィルタ画像によるモルフォロジー演算" dialog (resource 105): the filter file in use, the
// operation, the method and the timing option. The caller fills algorithm and measureTime before
// exec() and reads all three members back after 実行.
#pragma once

#include <cstdint>

#include "app/OptionDialog.h"
#include "image/Choices.h"

class QButtonGroup;
class QLineEdit;

namespace dt {

class FilterMorphologyDialog : public OptionDialog {
  Q_OBJECT

 public:
  static constexpr int resourceId = 105;

  explicit FilterMorphologyDialog(QWidget* parent);

  FilterMethod algorithm = FilterMethod::simple;
  Operation operation = Operation::dilation;

  // 実行 without an operation says so and keeps the dialog open for a choice.
  void accept() override;

 private:
  // Sets the controls from the members and filterFileName; no operation is checked.
  void Initialise() override;

  QLineEdit* fileName_;
  QButtonGroup* operations_;
  QButtonGroup* algorithms_;
};

}  // namespace dt
