#include "support/RecordingServices.h"

namespace dt::testing {

RecordingServices::RecordingServices() : previous_(CurrentServices()) {
  InstallServices(Services{this, this});
}

RecordingServices::~RecordingServices() { InstallServices(previous_); }

MessageResult RecordingServices::Show(const std::string& text, const std::string& caption,
                                      MessageButtons buttons) {
  messages.push_back({text, caption, buttons});
  if (whileShown) whileShown();
  if (messageAnswers.empty()) return MessageResult::Ok;
  const MessageResult answer = messageAnswers.front();
  messageAnswers.pop_front();
  return answer;
}

std::optional<std::string> RecordingServices::Ask(const FileDialogRequest& request) {
  fileRequests.push_back(request);
  if (fileAnswers.empty()) return std::nullopt;
  auto answer = fileAnswers.front();
  fileAnswers.pop_front();
  return answer;
}

std::vector<std::string> RecordingServices::texts() const {
  std::vector<std::string> result;
  for (const auto& m : messages) result.push_back(m.text);
  return result;
}

}  // namespace dt::testing
