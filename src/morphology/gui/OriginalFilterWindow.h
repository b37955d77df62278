// The triangle filter editor: a small window owned by the main window in which the user drags the
// apex of the custom triangle. The base is fixed; the apex is kept in the global triangleApex,
// from which the distance transform takes the triangle's shape.
#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

namespace dt {

// The editable triangle in the editor's client coordinates (y downward). The origin of the filter,
// the middle of the base, is at (200, 350); 150 pixels stand for one unit of filter size.
struct TriangleFigure {
  static constexpr QPoint origin{200, 350};
  static constexpr int grip = 3;        // how far from the apex a press may be and still drag
  static constexpr int lowest = 50;     // the apex stays within 50..350 on both axes
  static constexpr int highest = 350;

  QPoint apex{200, 200};
  int dragging = 0;  // 1 while the apex is being dragged
  QPoint baseLeft{50, 350};
  QPoint baseRight{350, 350};

  void LoadApex();                // apex := the position of triangleApex
  bool NearApex(QPoint p) const;  // within grip pixels on both axes
  void MoveApex(QPoint p);        // clamps, sets apex and triangleApex
  QRect Handle() const;           // the small square drawn on the apex while dragging
};

class OriginalFilterWindow : public QWidget {
  Q_OBJECT

 public:
  // The outer size the window asks for; the client area is this less a usual frame.
  static constexpr int outerWidth = 400;
  static constexpr int outerHeight = 420;

  // owner receives FilterEditorClosed when the user closes the window; the window is owned by it
  // and goes with it.
  explicit OriginalFilterWindow(QWidget* owner);

  const TriangleFigure& figure() const { return figure_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // A close request only tells the owner, which then closes the editor.
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* owner_;
  TriangleFigure figure_;
};

}  // namespace dt
