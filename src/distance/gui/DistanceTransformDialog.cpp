#include "distance/gui/DistanceTransformDialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "app/DialogLayout.h"
#include "image/Codes.h"

namespace dt {

DistanceTransformDialog::DistanceTransformDialog(QWidget* parent)
    : OptionDialog(parent, "距離変換", resourceId) {
  DialogLayout layout(this, 261, 151);

  // Group boxes first, so the controls inside them lie above them.
  layout.Add<QGroupBox>(1014, "アルゴリズム", 7, 7, 119, 80);
  layout.Add<QGroupBox>(1017, "距離関数", 132, 7, 116, 80);

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

  AddTimingOption(layout, 0, 92);

  AddRunAndCancel(layout, 130);
}

void DistanceTransformDialog::Initialise() {
  algorithm = 0;
  UncheckAll(algorithms_);
  CheckOnly(distances_, distanceFunction);
}

void DistanceTransformDialog::accept() {
  const int chosenAlgorithm = algorithms_->checkedId();
  algorithm = chosenAlgorithm > 0 ? chosenAlgorithm : 0;
  const int chosenFunction = distances_->checkedId();
  if (chosenFunction > 0) distanceFunction = chosenFunction;
  QDialog::accept();
}

}  // namespace dt
