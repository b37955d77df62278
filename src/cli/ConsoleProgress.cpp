#include "cli/ConsoleProgress.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>

namespace dt::cli {

namespace {

volatile std::sig_atomic_t stopAsked = 0;
struct sigaction previousInterrupt {};

extern "C" void AskToStop(int) { stopAsked = 1; }

constexpr auto firstShownAfter = std::chrono::seconds(1);
constexpr auto shownEvery = std::chrono::milliseconds(250);
constexpr int barWidth = 30;

}  // namespace

ConsoleProgress::ConsoleProgress(bool shown)
    : previous_(CurrentServices()), shown_(shown && ::isatty(STDERR_FILENO)) {
  Services services = previous_;
  services.progress = this;
  InstallServices(services);
  stopAsked = 0;
  struct sigaction stop {};
  stop.sa_handler = AskToStop;
  sigemptyset(&stop.sa_mask);
  ::sigaction(SIGINT, &stop, &previousInterrupt);
}

ConsoleProgress::~ConsoleProgress() {
  ::sigaction(SIGINT, &previousInterrupt, nullptr);
  if (lineShown_) std::fputs("\r\033[K", stderr);
  InstallServices(previous_);
}

void ConsoleProgress::PassBegun() { ++pass_; }

bool ConsoleProgress::StopAsked() const { return stopAsked != 0; }

bool ConsoleProgress::Advanced(int64_t done, int64_t total) {
  if (stopAsked != 0) return false;
  if (shown_) Show(done, total);
  return true;
}

void ConsoleProgress::Show(int64_t done, int64_t total) {
  const Clock::time_point now = Clock::now();
  if (now - start_ < firstShownAfter || now - lastShown_ < shownEvery) return;
  lastShown_ = now;
  const int percent = total > 0 ? static_cast<int>(100 * std::min(done, total) / total) : 100;
  char bar[barWidth + 1];
  const int filled = percent * barWidth / 100;
  for (int i = 0; i < barWidth; ++i) bar[i] = i < filled ? '#' : '-';
  bar[barWidth] = '\0';
  std::fprintf(stderr, "\r\033[Kdtmorph: pass %d [%s] %3d%% (Ctrl+C stops)", pass_, bar, percent);
  std::fflush(stderr);
  lineShown_ = true;
}

}  // namespace dt::cli
