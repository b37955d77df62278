#include "xpm/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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

}  // namespace dt
