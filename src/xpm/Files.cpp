#include "xpm/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>

#include "image/Messages.h"
#include "xpm/XpmMessages.h"

namespace dt {

namespace {

// A name in the same folder (so that the rename stays on one file system), hidden and unused.
std::string TemporaryName(const std::string& fileName, int attempt) {
  const std::size_t slash = fileName.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : fileName.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  return folder + "." + base + ".tmp-" + std::to_string(::getpid()) + "-" +
         std::to_string(attempt);
}

bool WriteAll(int fd, const std::string& contents) {
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

}  // namespace

bool ReplaceFileContents(const std::string& fileName, const std::string& contents) {
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = TemporaryName(fileName, attempt);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  struct stat earlier {};
  if (::stat(fileName.c_str(), &earlier) == 0 && S_ISREG(earlier.st_mode))
    ::fchmod(fd, earlier.st_mode & 07777);

  bool ok = WriteAll(fd, contents) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && std::rename(temporary.c_str(), fileName.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

bool ReadWholeFile(const std::string& fileName, std::string& contents, std::string& message) {
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file(std::fopen(fileName.c_str(), "rb"));
  if (!file) {
    message = text::cannotOpenFile;
    return false;
  }
  try {
    std::string data;
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) data.append(buffer, n);
    if (std::ferror(file.get())) {  // a folder, say, opens but cannot be read
      message = text::cannotOpenFile;
      return false;
    }
    contents = std::move(data);
  } catch (const std::bad_alloc&) {
    message = text::memoryFailure;
    return false;
  }
  return true;
}

}  // namespace dt
