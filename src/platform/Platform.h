// The services the engine and the windows need from their surroundings: message boxes, file
// dialogs, process exit, a millisecond clock and drawing surfaces. dtcore sees only these
// interfaces; platform/qt implements them on Qt, platform/console for the command-line tool, and
// the tests install a recording double.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dt {

enum class MessageButtons { Ok, OkCancelQuestion };
enum class MessageResult { Ok, Cancel };

class MessageService {
 public:
  virtual ~MessageService() = default;
  virtual MessageResult Show(const std::string& text, const std::string& caption,
                             MessageButtons buttons) = 0;
};

struct FileDialogRequest {
  enum class Mode { Open, Save };
  Mode mode = Mode::Open;
  std::string initialName;       // "dreamcast.xpm", "output.xpm", ...
  std::string defaultExtension;  // ".xpm", added to a typed name without one
  std::string filter;            // "XPM files (*.xpm)"
  bool overwritePrompt = false;  // ask before replacing an existing file (save)
};

class FileDialogService {
 public:
  virtual ~FileDialogService() = default;
  // The chosen file's name without its folder, or nothing when the user cancels. A file chosen in
  // another folder makes that folder the working directory, so the bare name opens it.
  virtual std::optional<std::string> Ask(const FileDialogRequest& request) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t NowMs() = 0;  // a monotonic clock in milliseconds
};

class ProcessControl {
 public:
  virtual ~ProcessControl() = default;
  // Ends the process after a failure it cannot survive (out of memory, say).
  [[noreturn]] virtual void Exit(int status) = 0;
};

// One drawable picture. SetPixel is called once per pixel in the hot loops, so implementations
// write straight into their memory.
class Surface {
 public:
  virtual ~Surface() = default;
  virtual void SetPixel(int x, int y, uint32_t rgb) = 0;  // rgb = 0xRRGGBB
};

// A surface that drops every pixel: for timed runs, the command-line tool and benchmarks.
class NullSurface final : public Surface {
 public:
  void SetPixel(int, int, uint32_t) override {}
};

// The pair every drawing operation writes into: A makes pixels visible on the window while a
// command runs, B is the window's backing image that repaints restore from.
struct DrawingTargets {
  Surface* a = nullptr;
  Surface* b = nullptr;
};

// The services in force for the process. main() installs the real ones; tests install doubles.
struct Services {
  MessageService* messages = nullptr;
  FileDialogService* files = nullptr;
  ProcessControl* process = nullptr;
};

Services& CurrentServices();
void InstallServices(const Services& services);

// Shorthands used all over the engine.
MessageResult ShowMessage(const std::string& text, const std::string& caption,
                          MessageButtons buttons = MessageButtons::Ok);
[[noreturn]] void ExitProcess(int status);

// A monotonic millisecond clock on std::chrono::steady_clock.
class SteadyClock final : public Clock {
 public:
  int64_t NowMs() override;
};

// Exits with std::exit.
class StdProcessControl final : public ProcessControl {
 public:
  [[noreturn]] void Exit(int status) override;
};

}  // namespace dt
