// The services the engine and the windows need from their surroundings: message boxes, file
// dialogs, a millisecond clock and drawing surfaces. dtcore sees only these
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

// Thrown out of a computation that was asked to stop; what it had changed is left as it is.
struct Stopped {};

// How far a computation has come. The engine reports each pass over the picture as it begins and
// each row (or column) of it as it is done; answering false asks the computation to stop.
class ProgressService {
 public:
  virtual ~ProgressService() = default;
  virtual void PassBegun() = 0;
  // `done` of the current pass's `total` rows are finished.
  virtual bool Advanced(int64_t done, int64_t total) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t NowMs() = 0;  // a monotonic clock in milliseconds
};

// One drawable picture. SetPixel is called once per pixel in the hot loops, so implementations
// write straight into their memory. SetRow sets n pixels of row y from column x on, as n calls of
// SetPixel would in turn; a whole picture redrawn goes a row at a time.
class Surface {
 public:
  virtual ~Surface() = default;
  virtual void SetPixel(int x, int y, uint32_t rgb) = 0;  // rgb = 0xRRGGBB
  virtual void SetRow(int x, int y, const uint32_t* rgb, int n) {
    for (int k = 0; k < n; ++k) SetPixel(x + k, y, rgb[k]);
  }
};

// A surface that drops every pixel: for timed runs, the command-line tool and benchmarks.
class NullSurface final : public Surface {
 public:
  void SetPixel(int, int, uint32_t) override {}
  void SetRow(int, int, const uint32_t*, int) override {}
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
  ProgressService* progress = nullptr;
};

Services& CurrentServices();
void InstallServices(const Services& services);

// Shorthands used all over the engine.
MessageResult ShowMessage(const std::string& text, const std::string& caption,
                          MessageButtons buttons = MessageButtons::Ok);

// One pass of a computation over `total` rows (or columns), reported to the progress service:
// Done(k) after the first k, which throws Stopped when the computation is asked to stop.
class Pass {
 public:
  explicit Pass(int64_t total);
  void Done(int64_t done) const;

 private:
  int64_t total_;
};

// A monotonic millisecond clock on std::chrono::steady_clock.
class SteadyClock final : public Clock {
 public:
  int64_t NowMs() override;
};

}  // namespace dt
