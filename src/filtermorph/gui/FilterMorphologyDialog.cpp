#include "filtermorph/gui/FilterMorphologyDialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/DialogLayout.h"
#include "image/Codes.h"
#include "image/Globals.h"
#include "image/Messages.h"
#include "platform/Platform.h"

namespace dt {

FilterMorphologyDialog::FilterMorphologyDialog(QWidget* parent)
    : OptionDialog(parent, "フィルタ画像によるモルフォロジー演算", resourceId) {
  DialogLayout layout(this, 261, 201);

  layout.Add<QGroupBox>(1034, "フィルタ画像ファイル名", 6, 7, 117, 27);
  // Shown, never edited: the file is chosen with the filter loading command.
  fileName_ = layout.AddPlain<QLineEdit>(1035, 10, 17, 109, 14);
  fileName_->setEnabled(false);
  fileName_->setFrame(true);

  layout.Add<QGroupBox>(1014, "処理種別", 7, 42, 113, 92);
  operations_ = new QButtonGroup(this);
  operations_->addButton(layout.Add<QRadioButton>(1030, "Dilation（太め処理）", 12, 59, 73, 10),
                         filter_operation::dilation);
  operations_->addButton(layout.Add<QRadioButton>(1031, "Erosion（細め処理）", 12, 77, 72, 10),
                         filter_operation::erosion);
  operations_->addButton(layout.Add<QRadioButton>(1032, "Opening（正雑音除去）", 12, 95, 81, 10),
                         filter_operation::opening);
  operations_->addButton(layout.Add<QRadioButton>(1033, "Closing（負雑音除去）", 12, 113, 79, 10),
                         filter_operation::closing);

  layout.Add<QGroupBox>(1027, "アルゴリズム", 132, 42, 116, 80);
  algorithms_ = new QButtonGroup(this);
  algorithms_->addButton(layout.Add<QRadioButton>(1028, "単純法", 136, 60, 37, 10),
                         filter_algorithm::simple);
  algorithms_->addButton(layout.Add<QRadioButton>(1029, "１次元分解距離変換法", 136, 80, 82, 10),
                         filter_algorithm::decomposed);

  AddTimingOption(layout, 0, 141);

  AddRunAndCancel(layout, 180);
}

void FilterMorphologyDialog::Initialise() {
  fileName_->setText(QString::fromStdString(filterFileName));
  fileName_->setCursorPosition(0);
  operation = filter_operation::dilation;
  UncheckAll(operations_);
  const int checkedAlgorithm =
      algorithm == filter_algorithm::decomposed ? filter_algorithm::decomposed
                                                : filter_algorithm::simple;
  algorithms_->button(checkedAlgorithm)->setChecked(true);
}

void FilterMorphologyDialog::accept() {
  const int chosen = operations_->checkedId();
  if (chosen < 0) {
    ShowMessage(text::nothingChosen, text::errorCaption, MessageButtons::Ok,
                MessageOwner::MainWindow);
    return;
  }
  operation = chosen;
  algorithm = algorithms_->checkedId() == filter_algorithm::decomposed
                  ? filter_algorithm::decomposed
                  : filter_algorithm::simple;
  QDialog::accept();
}

}  // namespace dt
