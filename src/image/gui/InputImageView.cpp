#include "image/gui/InputImageView.h"

#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QTimer>
#include <algorithm>

#include "app/PrivateEvents.h"
#include "image/Globals.h"
#include "platform/qt/ImageSurface.h"

namespace dt {

namespace {

// Keeps the messages that drawing raises instead of showing them: a paint must not open a box.
class MessageCapture final : public MessageService {
 public:
  MessageCapture() : previous_(CurrentServices()) {
    Services services = previous_;
    services.messages = this;
    InstallServices(services);
  }
  ~MessageCapture() override { InstallServices(previous_); }

  MessageResult Show(const std::string& text, const std::string& caption,
                     MessageButtons) override {
    captured.push_back({text, caption});
    return MessageResult::Ok;
  }

  std::vector<std::pair<std::string, std::string>> captured;

 private:
  Services previous_;
};

// The picture inside the view's scroll area; the view draws it.
class ViewPicture final : public QWidget {
 public:
  ViewPicture(InputImageView& view, QSize size) : view_(view) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(size);
  }

 protected:
  void paintEvent(QPaintEvent* event) override { view_.PaintPicture(*this, event->rect()); }

 private:
  InputImageView& view_;
};

}  // namespace

InputImageView::InputImageView(QWidget* ownerWindow)
    : QWidget(ownerWindow, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      owner(ownerWindow) {
  setWindowTitle(tr("InputImageView"));
  engine.inputLoaded = InputImage.rows != nullptr ? 1 : 0;
  // The client area holds the input image, scrolled when it is larger than most of the screen;
  // the window system adds its frame around it. Without an input it is a small white window.
  const QSize picture = InputImage.rows ? QSize(InputImage.width, InputImage.height)
                                        : QSize(240, 120);
  frame_ = QImage(picture, QImage::Format_RGB32);
  auto* area = new QScrollArea(this);
  area->setFrameShape(QFrame::NoFrame);
  area->setWidget(new ViewPicture(*this, picture));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(area);
  QSize room(1024, 768);
  if (const QScreen* screen = ownerWindow->screen()) room = screen->availableGeometry().size();
  const QSize bars(area->verticalScrollBar()->sizeHint().width(),
                   area->horizontalScrollBar()->sizeHint().height());
  const QSize most = room * 4 / 5;
  resize(picture.width() <= most.width() && picture.height() <= most.height()
             ? picture
             : (picture + bars).boundedTo(most));
}

void InputImageView::PaintPicture(QWidget& picture, const QRect& rect) {
  frame_.fill(Qt::white);
  {
    MessageCapture capture;
    // A view opened with an input draws it only while the input still exists.
    if (engine.inputLoaded == 0 || InputImage.rows != nullptr) {
      ImageSurface picture(frame_);
      NullSurface scratch;
      engine.ShowInputImage(DrawingTargets{&picture, &scratch});
    }
    if (!firstPaintDone_) {
      firstPaintDone_ = true;
      for (auto& [text, caption] : capture.captured) firstPaintMessages_.push_back({text, caption});
      if (!firstPaintMessages_.empty())
        QTimer::singleShot(0, this, &InputImageView::ShowFirstPaintMessages);
    }
  }
  QPainter painter(&picture);
  painter.drawImage(rect.topLeft(), frame_, rect);
}

void InputImageView::ShowFirstPaintMessages() {
  const std::vector<Message> messages = std::move(firstPaintMessages_);
  firstPaintMessages_.clear();
  if (!isVisible()) return;  // closed before its first message came up
  for (const Message& message : messages) ShowMessage(message.text, message.caption);
}

void InputImageView::closeEvent(QCloseEvent* event) {
  event->ignore();
  NotifyOwner(owner, InputViewClosed);
}

}  // namespace dt
