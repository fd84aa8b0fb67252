#include "platform/registry/file_registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/registry/hive_text.h"

namespace veltrix::platform {
namespace {

// Enough to keep every damaged copy a user could plausibly collect.
constexpr int kMaxDamagedCopies = 10000;

long ErrorFromErrno(int error) {
  return (error == EACCES || error == EPERM || error == EROFS) ? ERROR_ACCESS_DENIED : ERROR_WRITE_FAULT;
}

std::filesystem::path WithSuffix(const std::filesystem::path& file, const std::string& suffix) {
  std::filesystem::path result = file;
  result += suffix;
  return result;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Reads the whole file; errno is left set on failure.
bool ReadAll(const std::filesystem::path& file, std::string* text) {
  int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  text->clear();
  char buffer[16384];
  while (true) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      int saved = errno;
      ::close(fd);
      errno = saved;
      return false;
    }
    if (n == 0) break;
    text->append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

// Renames without ever replacing an existing file.
int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // File systems without RENAME_NOREPLACE: a hard link also refuses an existing name.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

RegistryKey EmptyRoot() {
  RegistryKey root;
  root.name = std::string(kRootKeyName);
  return root;
}

}  // namespace

FileRegistry::FileRegistry(std::filesystem::path file, WarningSink sink)
    : file_(std::move(file)), sink_(std::move(sink)) {
  std::error_code ec;
  // Saving renames over the path: follow a symbolic link so the link itself survives.
  if (std::filesystem::is_symlink(file_, ec)) {
    std::filesystem::path target = std::filesystem::weakly_canonical(file_, ec);
    if (!ec) file_ = target;
  }
  lockFile_ = WithSuffix(file_, ".lock");
  Lock(false);
  Refresh();
  Unlock();
}

FileRegistry::~FileRegistry() {
  Unlock();
}

bool FileRegistry::Lock(bool create) {
  if (create) {
    std::error_code ec;
    std::filesystem::path folder = file_.parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  }
  // The lock file stays in place for good: removing it would let two processes lock
  // different files of the same name.
  int fd = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) fd = ::open(lockFile_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      ::close(fd);
      return false;
    }
  }
  lockFd_ = fd;
  return true;
}

void FileRegistry::Unlock() {
  if (lockFd_ < 0) return;
  ::flock(lockFd_, LOCK_UN);
  ::close(lockFd_);
  lockFd_ = -1;
}

long FileRegistry::BeginOperation(bool mutating) {
  Lock(mutating);
  Refresh();
  return ERROR_SUCCESS;
}

long FileRegistry::EndOperation(bool changed) {
  long rc = ERROR_SUCCESS;
  if (changed) {
    // Without the lock another process could be writing at the same time.
    rc = (frozen_ || lockFd_ < 0) ? ERROR_ACCESS_DENIED : Save();
  }
  Unlock();
  return rc;
}

void FileRegistry::Warn(std::string message) {
  warning_ = message;
  if (sink_) sink_(message);
}

void FileRegistry::Refresh() {
  std::string text;
  if (!ReadAll(file_, &text)) {
    int error = errno;
    if (error == ENOENT || error == ENOTDIR) {
      // No file (yet, or removed by someone else): an empty store.
      if (lastText_ || frozen_) Root() = EmptyRoot();
      lastText_.reset();
      frozen_ = false;
      return;
    }
    if (!frozen_) {
      frozen_ = true;
      Root() = EmptyRoot();
      lastText_.reset();
      Warn("The registry file " + file_.string() + " cannot be read (" + std::strerror(error) +
           "). The settings start from their defaults and changes will not be saved.");
    }
    return;
  }
  if (lastText_ && *lastText_ == text) return;
  HiveParseResult parsed = ParseHive(text);
  if (parsed.error) {
    lastText_ = text;
    SetAside("line " + std::to_string(parsed.error->line) + ": " + parsed.error->reason);
    return;
  }
  Root() = std::move(parsed.root);
  lastText_ = std::move(text);
  frozen_ = false;
}

void FileRegistry::SetAside(const std::string& reason) {
  Root() = EmptyRoot();
  std::string problem = "The registry file " + file_.string() + " is damaged (" + reason + ").";
  int error = 0;
  for (int n = 1; n <= kMaxDamagedCopies; ++n) {
    std::filesystem::path target = WithSuffix(file_, ".damaged-" + std::to_string(n));
    error = RenameNoReplace(file_, target);
    if (error == 0) {
      lastText_.reset();
      frozen_ = false;
      Warn(problem + " It was kept as " + target.string() + " and the settings start from their defaults.");
      return;
    }
    if (error != EEXIST) break;
  }
  // Keep the text in lastText_ so the same damage is not reported again on every call.
  frozen_ = true;
  Warn(problem + " It could not be moved aside (" + std::strerror(error) +
       "); the settings start from their defaults and changes will not be saved until the file is "
       "repaired or removed.");
}

long FileRegistry::Save() {
  static unsigned saveCounter = 0;
  std::string text = FormatHive(Root());
  std::filesystem::path folder = file_.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return ErrorFromErrno(ec.value());

  // A new file gets 0644 less the umask; a replaced one keeps its permissions.
  mode_t mode = 0644;
  struct stat existing {};
  bool keepMode = ::stat(file_.c_str(), &existing) == 0;
  if (keepMode) mode = existing.st_mode & 07777;

  std::filesystem::path temp =
      WithSuffix(file_, ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++saveCounter));
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return ErrorFromErrno(errno);
  bool ok = WriteAll(fd, text) && (!keepMode || ::fchmod(fd, mode) == 0) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temp.c_str(), file_.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return ErrorFromErrno(error);
  }
  // Make the rename itself durable. Some file systems cannot sync a folder; the data is
  // already on disk then.
  int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    ::fsync(folderFd);
    ::close(folderFd);
  }
  lastText_ = std::move(text);
  return ERROR_SUCCESS;
}

}  // namespace veltrix::platform
