// A window that plots one row of a distance map as the row pass computes it: the candidate of
// every column with a column distance (for Euclid the parabolas of squared distance, for the
// others their own V and flat shapes), their lower envelope in bold, the row's stored distances,
// and below the plot, for each pixel, a line down to the column whose candidate wins there. The
// column under the pointer is highlighted here and reported to the main window, which marks it
// on the canvas. The wheel zooms along the row.
#pragma once

#include <QWidget>

#include "distance/Envelope.h"

namespace dt {

class EnvelopePlot : public QWidget {
  Q_OBJECT

 public:
  EnvelopePlot(RowEnvelope envelope, QWidget* owner);

  const RowEnvelope& envelope() const { return envelope_; }
  int highlighted() const { return highlighted_; }  // the column under the pointer, or -1
  // Shows the columns first..last (whole pixels of the row) across the plot.
  void ShowColumns(double first, double last);

 signals:
  void columnHighlighted(int row, int column);  // -1 when the pointer leaves

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QRectF PlotArea() const;
  double ScreenX(double column) const;
  double ScreenY(double height) const;
  double ColumnAt(double screenX) const;

  RowEnvelope envelope_;
  double first_ = 0, last_ = 1;  // the columns shown
  double top_ = 1;               // the height at the plot's top
  int highlighted_ = -1;
};

}  // namespace dt
