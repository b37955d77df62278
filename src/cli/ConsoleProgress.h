// What dtmorph shows while it computes: on a terminal, a line on standard error with the pass
// and a bar of how far it has come, once a run has taken about a second; and Ctrl+C, which
// stops the computation cleanly instead of ending the process half way.
#pragma once

#include <chrono>

#include "platform/Platform.h"

namespace dt::cli {

// Installed for its lifetime as the progress service.
class ConsoleProgress final : public ProgressService {
 public:
  // shown: whether the line may be shown at all (not with --quiet); it never is when standard
  // error is not a terminal.
  explicit ConsoleProgress(bool shown);
  ~ConsoleProgress() override;
  ConsoleProgress(const ConsoleProgress&) = delete;
  ConsoleProgress& operator=(const ConsoleProgress&) = delete;

  void PassBegun() override;
  bool Advanced(int64_t done, int64_t total) override;
  bool StopAsked() const;  // whether Ctrl+C came since this was made

 private:
  using Clock = std::chrono::steady_clock;
  void Show(int64_t done, int64_t total);

  Services previous_;
  bool shown_;
  bool lineShown_ = false;
  int pass_ = 0;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastShown_{};
};

}  // namespace dt::cli
