// A file descriptor owned by one scope.
#pragma once

#include <unistd.h>

#include <cerrno>

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

}  // namespace sortelia::fs
