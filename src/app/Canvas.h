// The main window's drawing area. It shows the backing bitmap at a zoom and knows nothing of
// menus: paint copies the part of the bitmap that needs it, each bitmap pixel a sharp square when
// enlarged; a right click, the bitmap pixel under the pointer and Ctrl+wheel are reported to
// whoever listens; and CanvasDrawing (below) brings pixels on screen while a command draws them.
#pragma once

#include <QImage>
#include <QColor>
#include <QPainter>
#include <QRect>
#include <QWidget>
#include <vector>

#include "platform/Platform.h"
#include "platform/qt/ImageSurface.h"

namespace dt {

class CanvasDrawing;

class Canvas : public QWidget {
  Q_OBJECT

 public:
  static constexpr int pictureWidth = 1300;
  static constexpr int pictureHeight = 1100;

  Canvas(const QImage& picture, QWidget* parent = nullptr);

  QSize sizeHint() const override { return size(); }

  // The zooms the canvas takes, from 1/8 to 32 times: a whole factor, or one over it.
  struct Zoom {
    int times = 1;  // bitmap pixels are times x times screen pixels ...
    int over = 1;   // ... or every over-th bitmap pixel is shown, one screen pixel each
    bool operator==(const Zoom& o) const { return times == o.times && over == o.over; }
  };
  static const std::vector<Zoom>& Zooms();  // from the smallest
  Zoom zoom() const { return zoom_; }
  void SetZoom(Zoom zoom);  // resizes the canvas to the bitmap at that zoom
  QString ZoomText() const;  // "400%", "12.5%"

  // The bitmap pixel at a point of the canvas, and the canvas rectangle of bitmap pixels.
  QPoint PictureAt(const QPoint& point) const;
  QRect OnCanvas(const QRect& pictureRect) const;

  // Lines drawn over the bitmap (not into it), from pixel centre to pixel centre: the nearest
  // feature pixel of the pixel under the pointer, the row and column the envelope plot shows.
  struct Mark {
    QPoint from, to;
    QColor colour;
  };
  void SetMarks(std::vector<Mark> marks);

  // Repaints rect (in bitmap pixels) at once (a command does not return to the event loop while
  // it draws).
  void RepaintNow(const QRect& rect);
  // How many times drawing has repainted the canvas since it was made.
  long repaintCount() const { return repaintCount_; }

  // The drawing of the command now running, if any; FlushDrawing shows what it has drawn so far.
  void FlushDrawing();

 signals:
  void rightClicked();
  // The bitmap pixel under the pointer; (-1, -1) when the pointer leaves the canvas.
  void pointed(QPoint pixel);
  // A left click with Shift held, or any left click after PickRow: the bitmap pixel clicked.
  void rowPicked(QPoint pixel);
  // Ctrl+wheel at a point of the canvas: one step towards a larger (true) or smaller zoom.
  void zoomStep(bool larger, QPoint at);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void DrawMarks(QPainter& painter) const;
  friend class CanvasDrawing;
  const QImage& picture_;
  Zoom zoom_;
  std::vector<Mark> marks_;

 public:
  bool pickingRow = false;  // the next left click picks a row (the envelope plot's menu item)
  long repaintCount_ = 0;
  CanvasDrawing* activeDrawing_ = nullptr;
};

// The drawing targets of one command of the main window. Target B writes every pixel straight into
// the backing bitmap; target A collects the rectangle drawn since the last repaint and repaints it
// at most about 60 times a second, so progress stays visible without one repaint per pixel. What
// is left is repainted when the drawing ends and before any message box appears.
class CanvasDrawing {
 public:
  // pixelsPerPass: as for PacePasses; speed scales the pace (at 0.25 a pass spans four times as
  // many repaints, at 4 a quarter of them).
  CanvasDrawing(Canvas& canvas, QImage& picture, Clock& clock, int64_t pixelsPerPass = 0,
                double speed = 1);
  ~CanvasDrawing();
  CanvasDrawing(const CanvasDrawing&) = delete;
  CanvasDrawing& operator=(const CanvasDrawing&) = delete;

  const DrawingTargets& targets() const { return targets_; }
  operator const DrawingTargets&() const { return targets_; }

  void Flush() { window_.Flush(); }

  // Paces the drawing so that a pass over pixelsPerPass pixels spans at least framesPerPass
  // repaints, waiting out the rest of a frame when the computation outruns the screen: a fast
  // transform would otherwise finish between two frames and show nothing of its passes. 0 turns
  // pacing off, as for loading and redrawing, which should appear at once.
  void PacePasses(int64_t pixelsPerPass) { window_.PacePasses(pixelsPerPass); }
  static constexpr int framesPerPass = 8;

  // Pixels between two looks at the clock, and the shortest time between two repaints.
  static constexpr int pixelsPerClockCheck = 4096;
  static constexpr int64_t repaintIntervalMs = 16;

 private:
  class WindowSurface final : public Surface {
   public:
    WindowSurface(Canvas& canvas, Clock& clock, double speed);
    void SetPixel(int x, int y, uint32_t rgb) override;
    void SetRow(int x, int y, const uint32_t* rgb, int n) override;
    void Flush();
    void PacePasses(int64_t pixelsPerPass);

   private:
    // Columns left .. right of row y drawn, `pixels` of them: the dirty rectangle grows, and
    // every pixelsPerCheck_ pixels the clock says whether to repaint (or wait, when paced).
    void Drawn(int left, int right, int y, int64_t pixels);
    Canvas& canvas_;
    Clock& clock_;
    int64_t lastRepaintMs_;
    double speed_;
    int64_t pixelsPerCheck_ = pixelsPerClockCheck;  // fewer while paced frames are smaller
    int64_t pixelsSinceCheck_ = 0;
    int64_t pixelsPerFrame_ = 0;  // 0: not paced
    int64_t pixelsThisFrame_ = 0;
    int left_, top_, right_, bottom_;  // dirty rectangle, inclusive; empty when right_ < left_
  };

  Canvas& canvas_;
  CanvasDrawing* previous_;
  ImageSurface backing_;
  WindowSurface window_;
  DrawingTargets targets_;
};

}  // namespace dt
