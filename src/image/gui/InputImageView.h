// A separate window that shows the input image, owned by the main window, scrolled when the
// picture is larger than most of the screen. The picture's size and whether it has an input to
// show are fixed when it opens. A close request does not close it: it tells the
// owner (InputViewClosed), which destroys it.
#pragma once

#include <QImage>
#include <QWidget>
#include <string>
#include <vector>

#include "image/ImageEngine.h"

namespace dt {

class InputImageView : public QWidget {
  Q_OBJECT

 public:
  // The owner is the main window; it receives InputViewClosed and owns the view as a child.
  explicit InputImageView(QWidget* owner);

  QWidget* owner;
  ImageEngine engine;  // draws InputImage; constructing it resets triangleApex

  // Draws the input into its picture widget (inside the view's scroll area).
  void PaintPicture(QWidget& picture, const QRect& rect);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Message {
    std::string text;
    std::string caption;
  };
  void ShowFirstPaintMessages();

  QImage frame_;
  // The size message (or the no-input message) is shown once per opening: the first paint keeps
  // what drawing reported and shows it after the paint, later paints only draw.
  bool firstPaintDone_ = false;
  std::vector<Message> firstPaintMessages_;
};

}  // namespace dt
