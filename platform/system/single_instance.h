#pragma once
// One running program per user: an exclusive advisory lock (flock) on a lock file in a folder
// only that user can write. The lock lives as long as the object (for the program: until the
// process ends); the kernel drops it when the process dies, so a crash never leaves a stale
// lock behind.
//
// The folder is the first of: $XDG_RUNTIME_DIR, when it is the user's own folder that nobody
// else can write (under sudo it is often another user's, and then it is passed over);
// /run/user/<uid> on the same terms; else a folder "veltrix-<uid>" made for the purpose with
// mode 0700 in /run (writable by root alone) or, for other users, in /tmp. A folder that is a
// symbolic link, belongs to someone else or can be written by others is never used, so no
// other user can hold the lock to keep this user's program from starting.
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/system/locale_names.h"
#include "platform/system/system.h"

namespace veltrix::platform {

// Why a folder may not hold this user's lock; nothing when it may.
std::optional<std::string> PrivateFolderProblem(const std::string& folder, uid_t user);

// Where the lock of `user` lives: the folder, or why there is none.
struct RuntimeFolder {
  std::string path;     // empty when none could be found
  std::string problem;  // then: why
};
struct RuntimeFolderPlaces {
  std::string userRuntimeBase = "/run/user";                       // + "/<uid>"
  std::vector<std::string> privateFolderBases = {"/run", "/tmp"};  // + "/veltrix-<uid>", made when missing
};
RuntimeFolder FindRuntimeFolder(const EnvLookup& environment, uid_t user,
                                const RuntimeFolderPlaces& places = {});

class SingleInstanceLock {
 public:
  // The lock file at `path` (its folder must exist).
  explicit SingleInstanceLock(std::string path) : path_(std::move(path)) {}
  // "veltrix.lock" in the user's runtime folder, found when Acquire first runs.
  SingleInstanceLock() = default;
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // kAcquired while this object holds the lock (again on repeated calls once held),
  // kHeldByAnother when another holder has it, kUnavailable (with the reason) when the lock
  // cannot be taken at all: no private folder, a lock file that is a link, no permission.
  SingleInstanceResult Acquire();
  bool Held() const { return fd_ >= 0; }
  void Release();
  // The lock file; empty until Acquire found the runtime folder.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace veltrix::platform
