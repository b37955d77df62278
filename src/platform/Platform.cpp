#include "platform/Platform.h"

#include <chrono>

namespace dt {

namespace {

// Used until main() installs its own: a message without a message service is dropped.
Services current;

}  // namespace

Services& CurrentServices() { return current; }

void InstallServices(const Services& services) { current = services; }

MessageResult ShowMessage(const std::string& text, const std::string& caption,
                          MessageButtons buttons) {
  if (current.messages == nullptr) return MessageResult::Ok;
  return current.messages->Show(text, caption, buttons);
}

Pass::Pass(int64_t total) : total_(total) {
  if (current.progress != nullptr) current.progress->PassBegun();
}

void Pass::Done(int64_t done) const {
  if (current.progress != nullptr && !current.progress->Advanced(done, total_)) throw Stopped{};
}

int64_t SteadyClock::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace dt
