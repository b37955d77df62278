#include "app/DialogLayout.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <cmath>

namespace dt {

QFont DialogLayout::DialogFont() {
  static const QStringList candidates = {"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic",
                                         "IPAPゴシック", "IPAGothic", "Noto Sans CJK JP",
                                         "VL PGothic", "TakaoPGothic"};
  const QStringList installed = QFontDatabase::families();
  for (const QString& family : candidates) {
    if (installed.contains(family)) {
      QFont font(family);
      font.setPointSize(9);
      return font;
    }
  }
  QFont font;
  font.setPointSize(9);
  return font;
}

DialogLayout::DialogLayout(QDialog* dialog, int width, int height) : dialog_(dialog) {
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

void DialogLayout::Place(QWidget* widget, int id, int x, int y, int w, int h) const {
  if (id > 0) widget->setObjectName(QString::number(id));
  widget->setGeometry(ToPixels(x, y, w, h));
}

}  // namespace dt
