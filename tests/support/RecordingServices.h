// Test doubles for the platform services: every message is recorded, and questions and file
// dialogs are answered from a script.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace dt::testing {

struct RecordedMessage {
  std::string text;
  std::string caption;
  MessageButtons buttons;
};

class RecordingServices final : public MessageService, public FileDialogService {
 public:
  RecordingServices();   // installs itself
  ~RecordingServices();  // puts back the services that were in force

  MessageResult Show(const std::string& text, const std::string& caption,
                     MessageButtons buttons) override;
  std::optional<std::string> Ask(const FileDialogRequest& request) override;

  // Scripts: answers are taken in order; without one a message answers OK and a dialog cancels.
  std::deque<MessageResult> messageAnswers;
  std::deque<std::optional<std::string>> fileAnswers;

  std::function<void()> whileShown;  // run as each message is shown, if set

  std::vector<RecordedMessage> messages;
  std::vector<FileDialogRequest> fileRequests;

  std::vector<std::string> texts() const;  // of the messages, in order

 private:
  Services previous_;
};

// Records every pixel drawn, in order.
class RecordingSurface final : public Surface {
 public:
  struct Call {
    int x, y;
    uint32_t rgb;
  };
  void SetPixel(int x, int y, uint32_t rgb) override { calls.push_back({x, y, rgb}); }
  std::vector<Call> calls;
};

// A clock set by hand: each reading calls onRead (when set), returns now and then advances it by
// step.
struct StepClock final : Clock {
  int64_t NowMs() override {
    if (onRead) onRead();
    return (now += step) - step;
  }
  int64_t now = 0;
  int64_t step = 0;
  std::function<void()> onRead;
};

}  // namespace dt::testing
