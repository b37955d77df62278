#include "platform/Platform.h"

#include <chrono>
#include <cstdlib>

namespace dt {

namespace {

// Used until main() installs its own: process exit always works, a message without a message
// service is dropped.
StdProcessControl defaultProcess;
Services current{nullptr, nullptr, &defaultProcess};

}  // namespace

Services& CurrentServices() { return current; }

void InstallServices(const Services& services) {
  current = services;
  if (current.process == nullptr) current.process = &defaultProcess;
}

MessageResult ShowMessage(const std::string& text, const std::string& caption,
                          MessageButtons buttons) {
  if (current.messages == nullptr) return MessageResult::Ok;
  return current.messages->Show(text, caption, buttons);
}

void ExitProcess(int status) {
  current.process->Exit(status);
  std::abort();  // an Exit that returns is a broken service
}

int64_t SteadyClock::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void StdProcessControl::Exit(int status) { std::exit(status); }

}  // namespace dt
