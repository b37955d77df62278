// Test doubles for the platform services: every message is recorded, questions and file dialogs
// are answered from a script, the clock is set by hand and ending the process throws.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace dt::testing {

struct RecordedMessage {
  std::string text;
  std::string caption;
  MessageButtons buttons;
  MessageOwner owner;
};

// Thrown by RecordingServices when the engine ends the process.
struct ProcessExited {
  int status;
};

class RecordingServices final : public MessageService,
                                public FileDialogService,
                                public Clock,
                                public ProcessControl {
 public:
  RecordingServices();   // installs itself
  ~RecordingServices();  // puts back the services that were in force

  MessageResult Show(const std::string& text, const std::string& caption, MessageButtons buttons,
                     MessageOwner owner) override;
  std::optional<std::string> Ask(const FileDialogRequest& request) override;
  int64_t NowMs() override;
  [[noreturn]] void Exit(int status) override;

  // Scripts: answers are taken in order; without one a message answers OK and a dialog cancels.
  std::deque<MessageResult> messageAnswers;
  std::deque<std::optional<std::string>> fileAnswers;
  // Each reading of the clock advances it by clockStep.
  int64_t clockMs = 0;
  int64_t clockStep = 0;

  std::vector<RecordedMessage> messages;
  std::vector<FileDialogRequest> fileRequests;

  std::vector<std::string> texts() const;

 private:
  Services previous_;
};

}  // namespace dt::testing
