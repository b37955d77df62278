#include "morphology/gui/MorphologyDialog.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>

#include "app/DialogLayout.h"
#include "platform/qt/QtServices.h"

namespace dt {

int32_t ParseFilterSize(const QString& text) {
  constexpr int64_t largest = 2147483647;
  int i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i].unicode() - '0');
    if (value > largest) value = largest;  // saturate; later digits cannot bring it back
  }
  return static_cast<int32_t>(value);
}

UpDownControl::UpDownControl(QWidget* parent, QLineEdit* buddy) : QWidget(parent), buddy_(buddy) {
  up_ = new QToolButton(this);
  up_->setArrowType(Qt::UpArrow);
  up_->setAutoRepeat(true);
  up_->setFocusPolicy(Qt::NoFocus);
  down_ = new QToolButton(this);
  down_->setArrowType(Qt::DownArrow);
  down_->setAutoRepeat(true);
  down_->setFocusPolicy(Qt::NoFocus);
  connect(up_, &QToolButton::clicked, this, [this] { Step(+1); });
  connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
  buddy_->installEventFilter(this);
}

void UpDownControl::Step(int delta) {
  const int current = std::clamp<int32_t>(ParseFilterSize(buddy_->text()), minimum, maximum);
  buddy_->setText(QString::number(std::clamp(current + delta, minimum, maximum)));
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
  if (watched == buddy_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      Step(key == Qt::Key_Up ? +1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void UpDownControl::resizeEvent(QResizeEvent*) {
  const int half = height() / 2;
  up_->setGeometry(0, 0, width(), half);
  down_->setGeometry(0, half, width(), height() - half);
}

MorphologyDialog::MorphologyDialog(QWidget* parent)
    : OptionDialog(parent, tr("距離変換(UDT)を用いたモルフォロジー演算"), resourceId) {
  DialogLayout layout(this, 261, 201);

  layout.Add<QGroupBox>(1014, tr("処理種別"), 7, 8, 113, 120);
  layout.Add<QGroupBox>(1017, tr("フィルタ形状"), 132, 7, 116, 80);
  layout.Add<QGroupBox>(1016, tr("フィルタサイズ（円半径に相当）"), 132, 94, 116, 34);

  // No operation is ever preselected: the user chooses one each time.
  operations_ = AddOperationButtons(layout, 1036, 26);

  shapes_ = new QButtonGroup(this);
  const auto shape = [&](DistanceFunction value, int id, int y, int w) {
    const QString label = Translated(InfoOf(value).shapeLabel);
    shapes_->addButton(layout.Add<QRadioButton>(id, label, 137, y, w, 10), CodeOf(value));
  };
  shape(DistanceFunction::euclid, 1019, 19, 66);
  shape(DistanceFunction::cityBlock, 1020, 36, 94);
  shape(DistanceFunction::chessboard, 1021, 53, 73);
  shape(DistanceFunction::triangle, 1022, 70, 73);

  // Any text may be typed into the size field; only its leading digits count.
  size_ = layout.AddPlain<QLineEdit>(1010, 145, 108, 30, 14);
  auto* upDown = new UpDownControl(this, size_);
  layout.Place(upDown, 1012, 174, 108, 9, 14);

  AddTimingOption(layout, 65535, 141);

  AddRunAndCancel(layout, 180);
}

void MorphologyDialog::Initialise() {
  operation.reset();
  UncheckAll(operations_);
  CheckOnly(shapes_, CodeOf(shape));
  size_->setText(QString::number(filterSize));
}

void MorphologyDialog::accept() {
  const int chosenOperation = operations_->checkedId();
  if (chosenOperation >= 0) operation = static_cast<Operation>(chosenOperation);
  const int chosenShape = shapes_->checkedId();
  if (chosenShape > 0) shape = static_cast<DistanceFunction>(chosenShape);
  filterSize = ParseFilterSize(size_->text());
  QDialog::accept();
}

}  // namespace dt
