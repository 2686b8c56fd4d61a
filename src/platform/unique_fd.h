// A file descriptor owned by one scope.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace sortelia::fs {

// Closes the descriptor when it leaves scope; -1 holds nothing.
class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int get() const { return fd_; }
  // Closes now; the errno of close, 0 on success.
  int close() {
    const int f = fd_;
    fd_ = -1;
    return (f >= 0 && ::close(f) != 0) ? errno : 0;
  }

 private:
  int fd_;
};

// Opens path for reading a regular file: -1 with errno set otherwise (EISDIR for a folder,
// EINVAL for anything else). The open itself never waits: a FIFO or a device without a writer
// would block open() and every read, and would freeze whoever reads a picture's bytes.
inline int openForReading(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st {};
  int error = 0;
  if (::fstat(fd, &st) != 0) {
    error = errno;
  } else if (S_ISDIR(st.st_mode)) {
    error = EISDIR;
  } else if (!S_ISREG(st.st_mode)) {
    error = EINVAL;
  } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    error = errno;
  }
  if (error == 0) return fd;
  ::close(fd);
  errno = error;
  return -1;
}

}  // namespace sortelia::fs
