// Lays out dialog controls at positions given in dialog units, as the dialog tables give them.
// A dialog unit is a quarter of the dialog font's average character width horizontally and an
// eighth of its height vertically. Every control is named by its numeric id (objectName), so
// tests find them with findChild<T*>("1019").
//
// The units fit the font the tables were made with (IPAPGothic 9 pt here), but the style may want
// a few pixels more round a text than the tables allowed, and another font may want many more.
// A control whose text needs more than its width (its size hint; a group box's minimum size hint)
// is made that wide where it can be without reaching the next control on its right, beyond its
// group box's right margin (as wide as its left one) or into the dialog's margin of 7 units.
// Where it cannot, the horizontal unit widens for the whole dialog until it can: every control
// keeps its place relative to the others, none becomes narrower than the units give, and the
// dialog grows with them. With the measured font nothing moves.
#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

namespace dt {

class DialogLayout {
 public:
  // Sets the dialog font on the dialog and sizes it to width x height dialog units.
  DialogLayout(QDialog* dialog, int width, int height);

  // "ＭＳ Ｐゴシック" 9 pt, or its nearest Japanese sans family installed here (IPAPGothic on
  // Debian), found by any of its names in any locale; else the default family at 9 pt.
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

  // Places widget at (x, y, w, h) in dialog units, made wider, or the unit wider, where its text
  // needs it. The text is taken as it is now: set it before placing.
  void Place(QWidget* widget, int id, int x, int y, int w, int h);

  double unitX() const { return unitX_; }
  double unitY() const { return unitY_; }

 private:
  struct Placement {
    QWidget* widget;
    QRect units;  // x, y, w, h in dialog units
    int needed;   // the width in pixels its text needs; 0 for controls without a text
  };

  static constexpr int margin = 7;  // the dialog's margin, in dialog units

  // The dialog unit a control may reach at the right: see the head of the file.
  int RightLimit(const Placement& control) const;

  QDialog* dialog_;
  QRect size_;    // the dialog's size in dialog units
  double unitX_;  // pixels per horizontal dialog unit
  double unitY_;  // pixels per vertical dialog unit
  std::vector<Placement> placed_;
};

}  // namespace dt
