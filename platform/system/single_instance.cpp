#include "platform/system/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files/safe_file.h"

namespace veltrix::platform {
namespace {

constexpr const char* kLockName = "veltrix.lock";

}  // namespace

std::optional<std::string> PrivateFolderProblem(const std::string& folder, uid_t user) {
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) return folder + ": " + std::strerror(errno);
  if (S_ISLNK(st.st_mode)) return folder + " is a symbolic link";
  if (!S_ISDIR(st.st_mode)) return folder + " is not a folder";
  if (st.st_uid != user) return folder + " is owned by another user (uid " + std::to_string(st.st_uid) + ")";
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) return folder + " can be written by other users";
  return std::nullopt;
}

RuntimeFolder FindRuntimeFolder(const EnvLookup& environment, uid_t user, const RuntimeFolderPlaces& places) {
  // The session's runtime folder when it really is this user's private one.
  if (const std::optional<std::string> runtime = environment("XDG_RUNTIME_DIR");
      runtime && !runtime->empty() && runtime->front() == '/' && !PrivateFolderProblem(*runtime, user)) {
    return {*runtime, ""};
  }
  const std::string userRuntime = places.userRuntimeBase + "/" + std::to_string(user);
  if (!PrivateFolderProblem(userRuntime, user)) return {userRuntime, ""};

  // A folder of its own, made with no access for anybody else. One that is already there but
  // not private (someone else made it first) is a problem to report, not to work around.
  std::string problem = "no runtime folder of this user was found";
  for (const std::string& base : places.privateFolderBases) {
    const std::string folder = base + "/veltrix-" + std::to_string(user);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
      problem = "cannot make " + folder + " (" + std::strerror(errno) + ")";
      continue;  // a base this user cannot write in: try the next
    }
    if (std::optional<std::string> why = PrivateFolderProblem(folder, user)) return {"", *why};
    return {folder, ""};
  }
  return {"", problem};
}

SingleInstanceLock::~SingleInstanceLock() {
  Release();
}

SingleInstanceResult SingleInstanceLock::Acquire() {
  if (fd_ >= 0) return {InstanceLockState::kAcquired, ""};
  const uid_t user = ::geteuid();
  std::string folderPath;
  std::string name;
  if (path_.empty()) {
    const RuntimeFolder runtime = FindRuntimeFolder(ProcessEnvironment(), user);
    if (runtime.path.empty()) return {InstanceLockState::kUnavailable, runtime.problem};
    folderPath = runtime.path;
    name = kLockName;
    path_ = folderPath + "/" + name;
  } else {
    const files::SplitPath where = files::Split(path_);
    folderPath = where.folder;
    name = where.name;
  }
  files::Problem problem;
  std::optional<files::Folder> folder = files::Folder::Open(folderPath, false, &problem);
  if (!folder) return {InstanceLockState::kUnavailable, problem.About(folderPath)};
  // Close-on-exec (added by OpenForWriting): programs this one starts must not keep the lock
  // alive after it ends.
  struct stat status {};
  std::optional<files::UniqueFd> fd = folder->OpenForWriting(name, O_RDWR, 0600, &status, &problem);
  if (!fd) return {InstanceLockState::kUnavailable, problem.About(path_)};
  if (status.st_uid != user) {
    return {InstanceLockState::kUnavailable,
            path_ + " is owned by another user (uid " + std::to_string(status.st_uid) + ")"};
  }
  while (::flock(fd->Get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) return {InstanceLockState::kHeldByAnother, ""};
    return {InstanceLockState::kUnavailable, path_ + ": " + std::strerror(errno)};
  }
  fd_ = fd->Release();
  return {InstanceLockState::kAcquired, ""};
}

void SingleInstanceLock::Release() {
  if (fd_ < 0) return;
  // Closing the only descriptor drops the lock; the file stays, it holds nothing.
  ::close(fd_);
  fd_ = -1;
}

}  // namespace veltrix::platform
