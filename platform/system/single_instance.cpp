#include "platform/system/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace veltrix::platform {

std::string DefaultSingleInstanceLockPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] != '\0') return std::string(runtime) + "/veltrix.lock";
  return "/tmp/veltrix-" + std::to_string(getuid()) + ".lock";
}

SingleInstanceLock::~SingleInstanceLock() {
  Release();
}

bool SingleInstanceLock::Acquire() {
  if (fd_ >= 0) return true;
  // Close-on-exec: programs this one starts must not keep the lock alive after it ends.
  int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void SingleInstanceLock::Release() {
  if (fd_ < 0) return;
  // Closing the only descriptor drops the lock; the file stays, it holds nothing.
  close(fd_);
  fd_ = -1;
}

}  // namespace veltrix::platform
