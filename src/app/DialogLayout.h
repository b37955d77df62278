// Lays out dialog controls at positions given in dialog units, as the dialog tables give them.
// A dialog unit is a quarter of the dialog font's average character width horizontally and an
// eighth of its height vertically. Every control is named by its numeric id (objectName), so
// tests find them with findChild<T*>("1019").
#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

namespace dt {

class DialogLayout {
 public:
  // Sets the dialog font on the dialog and sizes it to width x height dialog units.
  DialogLayout(QDialog* dialog, int width, int height);

  // "ＭＳ Ｐゴシック" 9 pt, or its nearest Japanese sans family installed here.
  static QFont DialogFont();

  QRect ToPixels(int x, int y, int w, int h) const;

  // Creates a control of type W with the given text, places it and names it by its id
  // (id 0 or less: no name).
  template <class W>
  W* Add(int id, const QString& text, int x, int y, int w, int h) {
    auto* widget = new W(text, dialog_);
    Place(widget, id, x, y, w, h);
    return widget;
  }
  // For controls without a text (edits, spin boxes).
  template <class W>
  W* AddPlain(int id, int x, int y, int w, int h) {
    auto* widget = new W(dialog_);
    Place(widget, id, x, y, w, h);
    return widget;
  }

  void Place(QWidget* widget, int id, int x, int y, int w, int h) const;

  double unitX() const { return unitX_; }
  double unitY() const { return unitY_; }

 private:
  QDialog* dialog_;
  double unitX_;  // pixels per horizontal dialog unit
  double unitY_;  // pixels per vertical dialog unit
};

}  // namespace dt
