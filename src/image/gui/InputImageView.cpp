#include "image/gui/InputImageView.h"

#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>
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

}  // namespace

InputImageView::InputImageView(QWidget* ownerWindow)
    : QWidget(ownerWindow, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      owner(ownerWindow) {
  setWindowTitle("InputImageView");
  engine.inputLoaded = InputImage.rows != nullptr ? 1 : 0;
  // The client area holds the input image; the window system adds its frame around it.
  const int width = std::max(InputImage.width, 1);
  const int height = std::max(InputImage.height, 1);
  setFixedSize(width, height);
  frame_ = QImage(width, height, QImage::Format_RGB32);
}

void InputImageView::paintEvent(QPaintEvent* event) {
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
  QPainter painter(this);
  painter.drawImage(event->rect().topLeft(), frame_, event->rect());
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
