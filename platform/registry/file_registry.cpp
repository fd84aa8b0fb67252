#include "platform/registry/file_registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

#include "platform/registry/hive_text.h"
#include "platform/registry/registry_merge.h"

namespace veltrix::platform {

// One read of the store file, through its folder and without following a link.
struct StoreRead {
  enum Kind { kText, kGone, kRefused } kind = kGone;
  std::string text;
  files::FileIdentity identity;
  std::string what;  // kRefused: why
};

namespace {

// Enough to keep every damaged copy a user could plausibly collect.
constexpr int kMaxDamagedCopies = 10000;
// File times are only as fine as the file system's clock tick (often several milliseconds, a
// second or two on some): a file read this soon after it changed is read again next time.
constexpr std::int64_t kRecentChangeNs = 2'000'000'000;

long ErrorFromErrno(int error) {
  return (error == EACCES || error == EPERM || error == EROFS) ? ERROR_ACCESS_DENIED : ERROR_WRITE_FAULT;
}

RegistryKey EmptyRoot() {
  RegistryKey root;
  root.name = std::string(kRootKeyName);
  return root;
}

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

bool RecentlyChanged(const files::FileIdentity& identity) {
  const std::int64_t now = NowNs();
  return now - identity.modifiedNs < kRecentChangeNs || now - identity.changedNs < kRecentChangeNs;
}

// "is a symbolic link, which is not followed" or "cannot be read (Permission denied)".
std::string Describe(const files::Problem& problem) {
  return problem.IsCheck() ? problem.reason : "cannot be read (" + problem.reason + ")";
}

StoreRead ReadStore(const std::string& folderPath, const std::string& name) {
  StoreRead read;
  files::Problem problem;
  auto refuse = [&] {
    if (problem.error == ENOENT || problem.error == ENOTDIR) {
      read.kind = StoreRead::kGone;
    } else {
      read.kind = StoreRead::kRefused;
      read.what = Describe(problem);
    }
    return read;
  };
  std::optional<files::Folder> folder = files::Folder::Open(folderPath, false, &problem);
  if (!folder) return refuse();
  struct stat status {};
  std::optional<files::UniqueFd> fd = folder->OpenForReading(name, &status, &problem);
  if (!fd) return refuse();
  read.identity = files::IdentityOf(status);
  if (!files::ReadAllLimited(fd->Get(), kMaxRegistryFileBytes, &read.text, &problem)) return refuse();
  read.kind = StoreRead::kText;
  return read;
}

// "<pid>-<n>" of a temporary file's name; the pid, or 0 when the name is not of that form.
pid_t TemporaryFilePid(std::string_view rest) {
  const std::size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == rest.size() || dash > 9) return 0;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (i != dash && (rest[i] < '0' || rest[i] > '9')) return 0;
  }
  return static_cast<pid_t>(std::stol(std::string(rest.substr(0, dash))));
}

}  // namespace

FileRegistry::FileRegistry(std::filesystem::path file, WarningSink sink, FileRegistryOptions options)
    : file_(std::move(file)), sink_(std::move(sink)), options_(options) {
  // The path is used as given: a symbolic link in its last name is refused, never followed.
  const files::SplitPath where = files::Split(file_.string());
  folderPath_ = where.folder;
  name_ = where.name;
  Check();
  starting_ = false;
}

FileRegistry::~FileRegistry() {
  Unlock();
}

bool FileRegistry::Lock(bool create) {
  if (lockFd_.Valid()) return true;
  files::Problem problem;
  std::optional<files::Folder> folder = files::Folder::Open(folderPath_, create, &problem);
  if (!folder) return false;
  // The lock file stays in place for good: removing it would let two processes lock
  // different files of the same name.
  const std::string lockName = name_ + ".lock";
  std::optional<files::UniqueFd> fd = folder->OpenForWriting(lockName, O_RDWR, 0644, nullptr, &problem);
  // In a read-only folder an existing lock file still locks (for reading).
  if (!fd && !problem.IsCheck()) fd = folder->OpenForReading(lockName, nullptr, &problem);
  if (!fd) {
    if (problem.IsCheck()) {
      std::string message = "The lock file " + folder->PathOf(lockName) + " " + problem.reason +
                            "; changes to the settings cannot be saved.";
      if (message != lockWarning_) {
        lockWarning_ = message;
        Warn(message);
      }
    }
    return false;
  }
  while (::flock(fd->Get(), LOCK_EX) != 0) {
    if (errno != EINTR) return false;
  }
  lockFd_ = std::move(*fd);
  lockFolder_ = std::move(folder);
  return true;
}

void FileRegistry::Unlock() {
  if (!lockFd_.Valid()) return;
  ::flock(lockFd_.Get(), LOCK_UN);
  lockFd_.Reset();
  lockFolder_.reset();
}

long FileRegistry::BeginOperation(Access access) {
  if (access == Access::kReadAsOpened) return ERROR_SUCCESS;
  if (access == Access::kChange) Lock(true);
  Check();
  return ERROR_SUCCESS;
}

long FileRegistry::EndOperation(bool changed) {
  long rc = ERROR_SUCCESS;
  if (changed) {
    // Without the lock another process could be writing at the same time.
    rc = (frozen_ || !lockFd_.Valid()) ? ERROR_ACCESS_DENIED : Save();
  }
  Unlock();
  return rc;
}

long FileRegistry::BeginBatchOperation() {
  // The batch works on memory; the lock is taken only to save at its end.
  Check();
  return ERROR_SUCCESS;
}

long FileRegistry::EndBatchOperation(const RegistryKey& before, bool changed) {
  if (!changed) return ERROR_SUCCESS;
  if (!Lock(true)) return ERROR_ACCESS_DENIED;
  RegistryKey ours = Root();
  const std::uint64_t loadsBefore = loads_;
  Check();
  long rc = ERROR_SUCCESS;
  if (frozen_) {
    rc = ERROR_ACCESS_DENIED;
  } else {
    // Another process changed the file during the batch: the batch's changes go onto it.
    if (loads_ != loadsBefore) ApplyChanges(before, ours, &Root());
    rc = Save();
  }
  if (rc != ERROR_SUCCESS && !frozen_) {
    // Memory goes back to where the batch began; read the file afresh at the next call. (A
    // refused file stays known, so its refusal is not reported twice.)
    known_.reset();
    trusted_ = false;
  }
  Unlock();
  return rc;
}

void FileRegistry::Warn(const std::string& message) {
  warning_ = message;
  if (sink_) sink_(message);
}

void FileRegistry::Check() {
  struct stat status {};
  if (::fstatat(AT_FDCWD, file_.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) {
      Gone();
      return;
    }
    Refuse(std::string("cannot be read (") + std::strerror(error) + ")", std::nullopt);
    return;
  }
  const files::FileIdentity seen = files::IdentityOf(status);
  if (known_ && *known_ == seen && trusted_) return;
  if (S_ISLNK(status.st_mode)) {
    Refuse("is a symbolic link, which is not followed", seen);
    return;
  }
  if (!S_ISREG(status.st_mode)) {
    Refuse("cannot be read (it is not a regular file)", seen);
    return;
  }
  Load();
}

void FileRegistry::Gone() {
  // No file (yet, or removed by someone else): an empty store.
  if (known_ || frozen_) {
    Root() = EmptyRoot();
    ++loads_;
  }
  known_.reset();
  lastText_.reset();
  frozen_ = false;
}

bool FileRegistry::Unusable(const StoreRead& read) {
  if (read.kind == StoreRead::kGone) {
    Gone();
    return true;
  }
  if (read.kind == StoreRead::kRefused) {
    struct stat status {};
    std::optional<files::FileIdentity> seen;
    if (::fstatat(AT_FDCWD, file_.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0)
      seen = files::IdentityOf(status);
    Refuse(read.what, seen);
    return true;
  }
  return false;
}

void FileRegistry::Load() {
  StoreRead read = ReadStore(folderPath_, name_);
  if (Unusable(read)) return;
  trusted_ = !RecentlyChanged(read.identity);
  if (lastText_ && *lastText_ == read.text && !frozen_) {
    known_ = read.identity;
    return;
  }
  HiveParseResult parsed = ParseHive(read.text);
  if (parsed.error) {
    Damaged("line " + std::to_string(parsed.error->line) + ": " + parsed.error->reason, read.identity);
    return;
  }
  Adopt(std::move(read.text), std::move(parsed.root), read.identity);
}

void FileRegistry::Adopt(std::string text, RegistryKey root, const files::FileIdentity& identity) {
  Root() = std::move(root);
  ++loads_;
  lastText_ = std::move(text);
  known_ = identity;
  frozen_ = false;
}

void FileRegistry::Refuse(const std::string& what, const std::optional<files::FileIdentity>& identity) {
  const bool reported = frozen_ && known_ == identity;
  frozen_ = true;
  known_ = identity;
  trusted_ = true;
  lastText_.reset();
  if (starting_) {
    Root() = EmptyRoot();
    ++loads_;
  }
  if (reported) return;
  Warn("The registry file " + file_.string() + " " + what + "." +
       (starting_ ? " The settings start from their defaults" : " The settings in use are kept") +
       " and changes will not be saved until the file is repaired or removed.");
}

void FileRegistry::Damaged(const std::string& reason, const files::FileIdentity& identity) {
  // Another program may be writing the file in place right now: look again a few times before
  // deciding anything. Meanwhile the tree stays as it is and nothing is written.
  std::string lastReason = reason;
  files::FileIdentity lastIdentity = identity;
  for (int attempt = 0; attempt < options_.damageRereads; ++attempt) {
    std::this_thread::sleep_for(options_.damagePause);
    StoreRead read = ReadStore(folderPath_, name_);
    if (Unusable(read)) return;
    HiveParseResult parsed = ParseHive(read.text);
    if (!parsed.error) {
      trusted_ = !RecentlyChanged(read.identity);
      Adopt(std::move(read.text), std::move(parsed.root), read.identity);
      return;
    }
    lastReason = "line " + std::to_string(parsed.error->line) + ": " + parsed.error->reason;
    lastIdentity = read.identity;
  }

  // It stays damaged. At start-up there is nothing yet; later, the settings in use are kept.
  if (starting_) {
    Root() = EmptyRoot();
    ++loads_;
  }
  const std::string problem = "The registry file " + file_.string() + " is damaged (" + lastReason + ").";
  const bool locked = lockFd_.Valid();
  if (!locked && !Lock(true)) {
    frozen_ = true;
    known_ = lastIdentity;
    trusted_ = true;
    Warn(problem + " It could not be moved aside (the lock cannot be taken); changes will not be saved " +
         "until the file is repaired or removed.");
    return;
  }
  SetAside(problem, lastIdentity);
  if (!locked) Unlock();
}

bool FileRegistry::SetAside(const std::string& problem, const files::FileIdentity& identity) {
  const files::Folder& folder = *lockFolder_;
  // Only the very file that was read is moved: if it changed again meanwhile, it is read anew
  // at the next call.
  const std::optional<struct stat> now = folder.StatName(name_);
  if (!now || !S_ISREG(now->st_mode) || !(files::IdentityOf(*now) == identity)) {
    known_.reset();
    trusted_ = false;
    return false;
  }
  int error = 0;
  for (int n = 1; n <= kMaxDamagedCopies; ++n) {
    const std::string copy = name_ + ".damaged-" + std::to_string(n);
    error = folder.RenameNoReplace(name_, copy);
    if (error == 0) {
      known_.reset();
      trusted_ = false;
      lastText_.reset();
      frozen_ = false;
      const std::string kept = " It was kept as " + folder.PathOf(copy);
      if (starting_) {
        Warn(problem + kept + " and the settings start from their defaults.");
      } else if (long rc = Save(); rc == ERROR_SUCCESS) {
        Warn(problem + kept + "; the settings in use were saved to a new " + file_.string() + ".");
      } else {
        Warn(problem + kept + "; the settings in use are kept but could not be saved (error " +
             std::to_string(rc) + ").");
      }
      return true;
    }
    if (error != EEXIST) break;
  }
  // Remember the file so the same damage is not reported again on every call.
  frozen_ = true;
  known_ = identity;
  trusted_ = true;
  Warn(problem + " It could not be moved aside (" + std::strerror(error) + "); " +
       (starting_ ? "the settings start from their defaults and " : "the settings in use are kept but ") +
       "changes will not be saved until the file is repaired or removed.");
  return false;
}

void FileRegistry::RemoveStaleTemporaryFiles(const files::Folder& folder) const {
  const int fd = ::openat(folder.Fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return;
  }
  const std::string prefix = name_ + ".tmp-";
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) continue;
    const pid_t pid = TemporaryFilePid(name.substr(prefix.size()));
    if (pid <= 0) continue;
    // Saves are made under the lock, which this process holds: a temporary file of a process
    // that is gone (or of an earlier process with this one's id) is what a kill left behind.
    const bool gone = pid == self || (::kill(pid, 0) != 0 && errno == ESRCH);
    if (gone) ::unlinkat(folder.Fd(), entry->d_name, 0);
  }
  ::closedir(dir);
}

long FileRegistry::Save() {
  static unsigned saveCounter = 0;
  if (!lockFolder_) return ERROR_ACCESS_DENIED;
  std::string text = FormatHive(Root());
  // A store the program could not read back is never written.
  if (text.size() > kMaxRegistryFileBytes) return ERROR_NOT_ENOUGH_QUOTA;
  const files::Folder& folder = *lockFolder_;

  // A new file gets 0644 less the umask; a replaced one keeps its permissions.
  mode_t mode = 0644;
  const std::optional<struct stat> existing = folder.StatName(name_);
  const bool keepMode = existing && S_ISREG(existing->st_mode);
  if (keepMode) mode = existing->st_mode & 07777;

  RemoveStaleTemporaryFiles(folder);
  const std::string temp = name_ + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++saveCounter);
  files::Problem problem;
  std::optional<files::UniqueFd> fd = folder.CreateNew(temp, mode, &problem);
  if (!fd) return ErrorFromErrno(problem.error);
  bool ok = files::WriteAll(fd->Get(), text) && (!keepMode || ::fchmod(fd->Get(), mode) == 0) &&
            ::fsync(fd->Get()) == 0;
  int error = errno;
  if (::close(fd->Release()) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok) {
    if (int renameError = folder.RenameOver(temp, name_); renameError != 0) {
      ok = false;
      error = renameError;
    }
  }
  if (!ok) {
    folder.Unlink(temp);
    return ErrorFromErrno(error);
  }
  // Make the rename itself durable. Some file systems cannot sync a folder; the data is
  // already on disk then.
  folder.Sync();
  const std::optional<struct stat> written = folder.StatName(name_);
  if (written) {
    known_ = files::IdentityOf(*written);
  } else {
    known_.reset();
  }
  trusted_ = false;  // just written: its times cannot tell a change in the same tick
  lastText_ = std::move(text);
  return ERROR_SUCCESS;
}

}  // namespace veltrix::platform
