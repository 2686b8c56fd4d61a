// A per-user lock that only one running process can hold at a time.
#pragma once

#include <string>

namespace sortelia {

class InstanceLock {
 public:
  // The lock file is folder + "/sortelia-" + name + ".lock".
  InstanceLock(const std::string& folder, const std::string& name);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock; false when another process holds it. The lock is held until this object
  // is destroyed or the process ends (the system releases it even after a crash).
  bool tryAcquire();
  bool held() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace sortelia
