#include "distance/gui/DistanceTransformDialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "app/DialogLayout.h"
#include "platform/qt/QtServices.h"

namespace dt {

DistanceTransformDialog::DistanceTransformDialog(QWidget* parent)
    : OptionDialog(parent, tr("距離変換"), resourceId) {
  DialogLayout layout(this, 261, 151);

  // Group boxes first, so the controls inside them lie above them.
  layout.Add<QGroupBox>(1014, tr("アルゴリズム"), 7, 7, 119, 80);
  layout.Add<QGroupBox>(1017, tr("距離関数"), 132, 7, 116, 80);

  // The algorithm buttons take no tab stop; none is checked when the dialog opens.
  algorithms_ = new QButtonGroup(this);
  const auto algorithm = [&](TransformAlgorithm value, int id, int y, int w) {
    auto* button = layout.Add<QRadioButton>(id, Translated(InfoOf(value).label), 12, y, w, 10);
    button->setFocusPolicy(Qt::ClickFocus);
    algorithms_->addButton(button, CodeOf(value));
  };
  algorithm(TransformAlgorithm::envelope, 1000, 22, 109);
  layout.Add<QLabel>(0, tr("（ＵＤＴアルゴリズム）"), 20, 33, 60, 8);
  algorithm(TransformAlgorithm::exhaustive, 1003, 47, 109);
  algorithm(TransformAlgorithm::simple, 1004, 64, 79);

  // The triangle cannot be chosen here; it is only shown checked when another command left the
  // triangle selected.
  distances_ = new QButtonGroup(this);
  const auto function = [&](DistanceFunction value, int id, int y, int w) {
    const QString label = Translated(InfoOf(value).metricLabel);
    auto* button = layout.Add<QRadioButton>(id, label, 137, y, w, 10);
    distances_->addButton(button, CodeOf(value));
    return button;
  };
  function(DistanceFunction::euclid, 1019, 19, 63);
  function(DistanceFunction::cityBlock, 1020, 36, 73);
  function(DistanceFunction::chessboard, 1021, 53, 80);
  function(DistanceFunction::triangle, 1022, 70, 95)->setEnabled(false);

  AddTimingOption(layout, 0, 92);

  AddRunAndCancel(layout, 130);
}

void DistanceTransformDialog::Initialise() {
  algorithm.reset();
  UncheckAll(algorithms_);
  CheckOnly(distances_, CodeOf(distanceFunction));
}

void DistanceTransformDialog::accept() {
  const int chosenAlgorithm = algorithms_->checkedId();
  if (chosenAlgorithm > 0) algorithm = static_cast<TransformAlgorithm>(chosenAlgorithm);
  const int chosenFunction = distances_->checkedId();
  if (chosenFunction > 0) distanceFunction = static_cast<DistanceFunction>(chosenFunction);
  QDialog::accept();
}

}  // namespace dt
