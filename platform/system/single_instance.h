#pragma once
// One running program per user: an exclusive advisory lock (flock) on a lock file. The
// lock lives as long as the object (for the program: until the process ends); the kernel
// drops it when the process dies, so a crash never leaves a stale lock behind.
#include <string>

namespace veltrix::platform {

// $XDG_RUNTIME_DIR/veltrix.lock, or /tmp/veltrix-<uid>.lock without a runtime folder.
std::string DefaultSingleInstanceLockPath();

class SingleInstanceLock {
 public:
  explicit SingleInstanceLock(std::string path) : path_(std::move(path)) {}
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // True when this object holds the lock (again true on repeated calls once held). False
  // when another holder has it or the file cannot be opened.
  bool Acquire();
  bool Held() const { return fd_ >= 0; }
  void Release();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace veltrix::platform
