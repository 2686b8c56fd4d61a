#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace sortelia {

InstanceLock::InstanceLock(const std::string& folder, const std::string& name)
    : path_(folder + "/sortelia-" + name + ".lock") {}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

LockResult InstanceLock::tryAcquire() {
  using Outcome = LockResult::Outcome;
  if (fd_ >= 0) return {Outcome::Acquired, 0};
  int fd = -1;
  do {
    fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return {Outcome::OpenFailed, errno};
  int rc = 0;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int error = errno;
    ::close(fd);
    // Only a lock that is taken means another copy runs; anything else (no lock support on
    // this file system, no memory for lock records) says nothing about other copies.
    if (error == EWOULDBLOCK) return {Outcome::HeldByAnother, 0};
    return {Outcome::LockFailed, error};
  }
  fd_ = fd;
  return {Outcome::Acquired, 0};
}

}  // namespace sortelia
