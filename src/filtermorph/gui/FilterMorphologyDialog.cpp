#include "filtermorph/gui/FilterMorphologyDialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/DialogLayout.h"
#include "image/Codes.h"
#include "image/Globals.h"
#include "image/Messages.h"
#include "platform/Platform.h"

namespace dt {

FilterMorphologyDialog::FilterMorphologyDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("フィルタ画像によるモルフォロジー演算");
  setObjectName(QString::number(resourceId));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
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

  layout.Add<QGroupBox>(0, "その他設定", 7, 141, 241, 32);
  timing_ = layout.Add<QCheckBox>(
      1023, "処理時間を計測する（有効にすると処理過程を描画しません。）", 12, 155, 197, 10);
  connect(timing_, &QCheckBox::clicked, this, &FilterMorphologyDialog::OnTimingClicked);

  auto* run = layout.Add<QPushButton>(1, "実行", 145, 180, 50, 14);
  run->setDefault(true);
  run->setAutoDefault(true);
  auto* cancel = layout.Add<QPushButton>(2, "ｷｬﾝｾﾙ", 204, 180, 50, 14);
  cancel->setAutoDefault(false);
  connect(run, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FilterMorphologyDialog::setVisible(bool visible) {
  if (visible && !isVisible()) Initialise();
  QDialog::setVisible(visible);
}

void FilterMorphologyDialog::Initialise() {
  fileName_->setText(QString::fromStdString(filterFileName));
  fileName_->setCursorPosition(0);
  operation = filter_operation::dilation;
  operations_->setExclusive(false);
  for (QAbstractButton* button : operations_->buttons()) button->setChecked(false);
  operations_->setExclusive(true);
  const int checkedAlgorithm =
      algorithm == filter_algorithm::decomposed ? filter_algorithm::decomposed
                                                : filter_algorithm::simple;
  algorithms_->button(checkedAlgorithm)->setChecked(true);
  timing_->setChecked(measureTime == 1);
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

void FilterMorphologyDialog::OnTimingClicked() {
  measureTime = measureTime == 1 ? 0 : 1;
  timing_->setChecked(measureTime == 1);
}

}  // namespace dt
