#include "xpm/Files.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>

#include "image/Messages.h"
#include "xpm/XpmMessages.h"

namespace dt {

namespace {

// The temporary file being written, removed by the signal handlers below when the program is
// stopped meanwhile (the target is untouched until the rename).
char pendingTemporary[PATH_MAX] = "";
std::atomic<bool> temporaryPending{false};
struct sigaction previousInterrupt {}, previousTerminate {};

extern "C" void RemoveTemporaryAndStop(int signal) {
  if (temporaryPending.load()) ::unlink(pendingTemporary);
  ::sigaction(signal, signal == SIGINT ? &previousInterrupt : &previousTerminate, nullptr);
  ::raise(signal);
}

// While it lives, a stop by SIGINT or SIGTERM removes the temporary file first.
class TemporaryGuard {
 public:
  explicit TemporaryGuard(const std::string& name) {
    std::strncpy(pendingTemporary, name.c_str(), sizeof pendingTemporary - 1);
    temporaryPending = true;
    struct sigaction remove {};
    remove.sa_handler = RemoveTemporaryAndStop;
    sigemptyset(&remove.sa_mask);
    ::sigaction(SIGINT, &remove, &previousInterrupt);
    ::sigaction(SIGTERM, &remove, &previousTerminate);
  }
  ~TemporaryGuard() {
    ::sigaction(SIGINT, &previousInterrupt, nullptr);
    ::sigaction(SIGTERM, &previousTerminate, nullptr);
    temporaryPending = false;
  }
  TemporaryGuard(const TemporaryGuard&) = delete;
  TemporaryGuard& operator=(const TemporaryGuard&) = delete;
};

bool WriteAll(int fd, std::string_view contents) {
  const char* data = contents.data();
  std::size_t left = contents.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// The largest file read as a picture: a file of n bytes may hold n pixels, which take 12 bytes
// each in the three input-sized images, so a sixteenth of the machine's memory.
int64_t LargestReadable() { return MachineMemory() / 16; }

}  // namespace

int64_t MachineMemory() {
  const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return int64_t{16} << 30;
  return int64_t{pages} * pageSize;
}

bool ReplaceFileContents(const std::string& fileName, std::string_view contents,
                         std::string_view more) {
  // A short name in the same folder (so that the rename stays on one file system), hidden and
  // unused, whatever the length of the target's name.
  const std::size_t slash = fileName.rfind('/');
  std::string temporary =
      (slash == std::string::npos ? "" : fileName.substr(0, slash + 1)) + ".dtmorph-XXXXXX";
  // A stop between the file's making and the guard's would leave the file: the stops wait until
  // the guard is in place.
  sigset_t stops, before;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  ::pthread_sigmask(SIG_BLOCK, &stops, &before);
  const int fd = ::mkstemp(temporary.data());
  std::optional<TemporaryGuard> guard;
  if (fd >= 0) guard.emplace(temporary);
  ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
  if (fd < 0) return false;
  // The permissions of the earlier file, or those a new file gets.
  struct stat earlier {};
  if (::stat(fileName.c_str(), &earlier) == 0 && S_ISREG(earlier.st_mode)) {
    ::fchmod(fd, earlier.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  bool ok = WriteAll(fd, contents) && WriteAll(fd, more) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && std::rename(temporary.c_str(), fileName.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

bool ReadWholeFile(const std::string& fileName, std::string& contents, std::string& message) {
  // Without blocking: a named pipe without a writer is refused below, not waited for.
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    message = Translate(text::cannotOpenFile);
    return false;
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    message = Translate(text::notAFile);
    return false;
  }
  const int64_t largest = LargestReadable();
  if (info.st_size > largest) {
    message = Translate(text::fileTooLarge);
    return false;
  }
  try {
    // Its size as fstat gives it, then whatever more there is (the file may grow meanwhile),
    // never beyond the largest.
    std::string data(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t filled = 0;
    char more[1 << 16];
    for (;;) {
      const bool full = filled == data.size();
      const ssize_t n = full ? ::read(fd, more, sizeof more)
                             : ::read(fd, data.data() + filled, data.size() - filled);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        message = Translate(text::cannotOpenFile);
        return false;
      }
      if (n == 0) break;
      if (full) data.append(more, static_cast<std::size_t>(n));
      filled += static_cast<std::size_t>(n);
      if (static_cast<int64_t>(filled) > largest) {
        message = Translate(text::fileTooLarge);
        return false;
      }
    }
    data.resize(filled);
    contents = std::move(data);
  } catch (const std::bad_alloc&) {
    message = Translate(text::memoryFailure);
    return false;
  }
  return true;
}

}  // namespace dt
