#include "app/DialogLayout.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace dt {

namespace {

// The width in pixels the style gives a control for its text: with the indicator of a radio
// button or check box, the margins of a push button or label, the frame of a group box. 0 for a
// control without a text.
int NeededWidth(const QWidget* widget) {
  if (const auto* box = qobject_cast<const QGroupBox*>(widget))
    return box->title().isEmpty() ? 0 : box->minimumSizeHint().width();
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
    return button->text().isEmpty() ? 0 : button->sizeHint().width();
  if (const auto* label = qobject_cast<const QLabel*>(widget))
    return label->text().isEmpty() ? 0 : label->sizeHint().width();
  return 0;
}

}  // namespace

QFont DialogLayout::DialogFont() {
  // hasFamily knows a family by every name it has: fontconfig lists families under the name of
  // the locale's language where they have one (IPAPGothic is "IPA Pゴシック" under ja_JP).
  static const QStringList candidates = {"ＭＳ Ｐゴシック", "MS PGothic",       "IPAPGothic",
                                         "IPAGothic",       "Noto Sans CJK JP", "VL PGothic",
                                         "TakaoPGothic"};
  for (const QString& family : candidates) {
    if (QFontDatabase::hasFamily(family)) {
      QFont font(family);
      font.setPointSize(9);
      return font;
    }
  }
  QFont font;
  font.setPointSize(9);
  return font;
}

DialogLayout::DialogLayout(QDialog* dialog, int width, int height)
    : dialog_(dialog), size_(0, 0, width, height) {
  const QFont font = DialogFont();
  dialog_->setFont(font);
  const QFontMetrics metrics(font);
  // The average character width the way dialog templates measure it: the advance of the 52
  // Latin letters, divided by 52 and rounded.
  const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const double average = std::round(metrics.horizontalAdvance(letters) / 52.0);
  unitX_ = (average > 0 ? average : 6.0) / 4.0;
  unitY_ = (metrics.height() > 0 ? metrics.height() : 12) / 8.0;
  const QRect size = ToPixels(0, 0, width, height);
  dialog_->setFixedSize(size.width(), size.height());
}

QRect DialogLayout::ToPixels(int x, int y, int w, int h) const {
  const int left = static_cast<int>(std::lround(x * unitX_));
  const int top = static_cast<int>(std::lround(y * unitY_));
  const int right = static_cast<int>(std::lround((x + w) * unitX_));
  const int bottom = static_cast<int>(std::lround((y + h) * unitY_));
  return QRect(left, top, right - left, bottom - top);
}

int DialogLayout::RightLimit(const Placement& control) const {
  const QRect& own = control.units;
  int limit = size_.width() - margin;
  for (const Placement& other : placed_) {
    const QRect& units = other.units;
    if (&other == &control) continue;
    if (qobject_cast<const QGroupBox*>(other.widget) && units.contains(own)) {
      // Inside a group box: as far from its right edge as from its left.
      limit = std::min(limit, units.right() + 1 - (own.left() - units.left()));
    } else if (units.left() >= own.right() + 1 && units.top() < own.bottom() + 1 &&
               own.top() < units.bottom() + 1) {
      limit = std::min(limit, units.left());  // up to the next control on its right
    }
  }
  return std::max(limit, own.right() + 1);
}

void DialogLayout::Place(QWidget* widget, int id, int x, int y, int w, int h) {
  if (id > 0) widget->setObjectName(QString::number(id));
  placed_.push_back({widget, QRect(x, y, w, h), NeededWidth(widget)});
  // A control whose text needs more than its width widens up to its limit; when even that is too
  // narrow, the unit widens until it is not. A unit of (needed + 1) / room pixels gives a room
  // of room dialog units at least room * unit - 1 >= needed pixels however its edges round, and
  // so does every wider unit; widening for one control can take a pixel of rounding from
  // another, so look again until all fit.
  const double unitBefore = unitX_;
  for (bool again = true; again;) {
    again = false;
    for (const Placement& placed : placed_) {
      const QRect& u = placed.units;
      const int room = RightLimit(placed) - u.left();
      if (room > 0 && ToPixels(u.left(), u.top(), room, u.height()).width() < placed.needed) {
        unitX_ = std::max(unitX_, (placed.needed + 1.0) / room);
        again = true;
      }
    }
  }
  for (const Placement& placed : placed_) {
    if (unitX_ == unitBefore && placed.widget != widget) continue;
    const QRect& u = placed.units;
    QRect pixels = ToPixels(u.left(), u.top(), u.width(), u.height());
    pixels.setWidth(std::max(pixels.width(), placed.needed));
    placed.widget->setGeometry(pixels);
  }
  const QRect size = ToPixels(0, 0, size_.width(), size_.height());
  dialog_->setFixedSize(size.width(), size.height());
}

}  // namespace dt
