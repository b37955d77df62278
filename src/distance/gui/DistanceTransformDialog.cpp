#include "distance/gui/DistanceTransformDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "app/DialogLayout.h"
#include "image/Codes.h"

namespace dt {

DistanceTransformDialog::DistanceTransformDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("距離変換");
  setObjectName(QString::number(resourceId));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  DialogLayout layout(this, 261, 151);

  // Group boxes first, so the controls inside them lie above them.
  layout.Add<QGroupBox>(1014, "アルゴリズム", 7, 7, 119, 80);
  layout.Add<QGroupBox>(1017, "距離関数", 132, 7, 116, 80);
  layout.Add<QGroupBox>(0, "その他設定", 7, 92, 241, 32);

  // The algorithm buttons take no tab stop; none is checked when the dialog opens.
  algorithms_ = new QButtonGroup(this);
  auto* udt = layout.Add<QRadioButton>(1000, "距離変換アルゴリズム１ Ｏ(n^2)", 12, 22, 109, 10);
  layout.Add<QLabel>(0, "（ＵＤＴアルゴリズム）", 20, 33, 60, 8);
  auto* second = layout.Add<QRadioButton>(1003, "距離変換アルゴリズム２ Ｏ(n^3)", 12, 47, 109, 10);
  auto* simple = layout.Add<QRadioButton>(1004, "単純距離変換 Ｏ(n^4)", 12, 64, 79, 10);
  algorithms_->addButton(udt, process_kind::transform1);
  algorithms_->addButton(second, process_kind::transform2);
  algorithms_->addButton(simple, process_kind::simpleTransform);
  for (QAbstractButton* button : algorithms_->buttons()) button->setFocusPolicy(Qt::ClickFocus);

  // The triangle cannot be chosen here; it is only shown checked when another command left the
  // triangle selected.
  distances_ = new QButtonGroup(this);
  distances_->addButton(layout.Add<QRadioButton>(1019, "Euclid 距離 [●]", 137, 19, 63, 10),
                        distance_function::euclid);
  distances_->addButton(layout.Add<QRadioButton>(1020, "CItyblock 距離 [◆]", 137, 36, 73, 10),
                        distance_function::cityBlock);
  distances_->addButton(layout.Add<QRadioButton>(1021, "Chessborad 距離 [■]", 137, 53, 80, 10),
                        distance_function::chessboard);
  auto* triangle =
      layout.Add<QRadioButton>(1022, "オリジナル三角形距離 [▲]", 137, 70, 95, 10);
  triangle->setEnabled(false);
  distances_->addButton(triangle, distance_function::triangle);

  timing_ = layout.Add<QCheckBox>(
      1023, "処理時間を計測する（有効にすると処理過程を描画しません。）", 12, 106, 197, 10);
  connect(timing_, &QCheckBox::clicked, this, &DistanceTransformDialog::OnTimingClicked);

  auto* run = layout.Add<QPushButton>(1, "実行", 145, 130, 50, 14);
  run->setDefault(true);
  run->setAutoDefault(true);
  auto* cancel = layout.Add<QPushButton>(2, "ｷｬﾝｾﾙ", 204, 130, 50, 14);
  cancel->setAutoDefault(false);
  connect(run, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void DistanceTransformDialog::setVisible(bool visible) {
  if (visible && !isVisible()) Initialise();
  QDialog::setVisible(visible);
}

void DistanceTransformDialog::Initialise() {
  algorithm = 0;
  algorithms_->setExclusive(false);
  for (QAbstractButton* button : algorithms_->buttons()) button->setChecked(false);
  algorithms_->setExclusive(true);
  distances_->setExclusive(false);
  for (QAbstractButton* button : distances_->buttons())
    button->setChecked(distances_->id(button) == distanceFunction);
  distances_->setExclusive(true);
  timing_->setChecked(measureTime == 1);
}

void DistanceTransformDialog::accept() {
  const int chosenAlgorithm = algorithms_->checkedId();
  algorithm = chosenAlgorithm > 0 ? chosenAlgorithm : 0;
  const int chosenFunction = distances_->checkedId();
  if (chosenFunction > 0) distanceFunction = chosenFunction;
  QDialog::accept();
}

void DistanceTransformDialog::OnTimingClicked() {
  measureTime = measureTime == 1 ? 0 : 1;
  timing_->setChecked(measureTime == 1);
}

}  // namespace dt
