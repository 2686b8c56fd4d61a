// A per-user lock that only one running process can hold at a time.
#pragma once

#include <string>

namespace sortelia {

// What an attempt to take the instance lock came to.
struct LockResult {
  enum class Outcome {
    Acquired,       // this process holds the lock now
    HeldByAnother,  // another process holds it
    OpenFailed,     // the lock file could not be opened or created; error is the errno
    LockFailed,     // the lock file is open but cannot be locked at all; error is the errno
  };
  Outcome outcome = Outcome::Acquired;
  int error = 0;

  bool acquired() const { return outcome == Outcome::Acquired; }
  bool heldByAnother() const { return outcome == Outcome::HeldByAnother; }
  // Neither taken nor refused: the lock cannot be used here, whether another copy runs is
  // unknown.
  bool failed() const { return outcome == Outcome::OpenFailed || outcome == Outcome::LockFailed; }
};

class InstanceLock {
 public:
  // The lock file is folder + "/sortelia-" + name + ".lock".
  InstanceLock(const std::string& folder, const std::string& name);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock. Only a lock that another process holds gives HeldByAnother; a lock file
  // that cannot be opened (folder missing or not a folder, no permission, read-only file
  // system) or locked gives OpenFailed or LockFailed with the errno. The lock is held until
  // this object is destroyed or the process ends (the system releases it even after a crash).
  LockResult tryAcquire();
  bool held() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace sortelia
