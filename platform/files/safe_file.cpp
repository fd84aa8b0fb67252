#include "platform/files/safe_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace veltrix::platform::files {
namespace {

std::optional<bool> gOwnerChecksOverride;

std::string ErrnoReason(int error) {
  return std::strerror(error);
}

// The reason for a failed open with O_NOFOLLOW: ELOOP means the name is a symbolic link.
Problem OpenProblem(int error) {
  if (error == ELOOP) return Problem{error, "is a symbolic link, which is not followed"};
  if (error == ENXIO) return Problem{error, "is not a regular file"};  // a FIFO without a reader
  return Problem{error, ErrnoReason(error)};
}

}  // namespace

bool Problem::IsCheck() const {
  return reason.rfind("is ", 0) == 0;
}

std::string Problem::Because() const {
  return IsCheck() ? "it " + reason : reason;
}

std::string Problem::About(const std::string& path) const {
  return IsCheck() ? path + " " + reason : path + ": " + reason;
}

void UniqueFd::Reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity id;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  id.changedNs = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
  return id;
}

bool OwnerChecksApply() {
  if (gOwnerChecksOverride) return *gOwnerChecksOverride;
  return ::geteuid() == 0;
}

void SetOwnerChecksForTesting(std::optional<bool> apply) {
  gOwnerChecksOverride = apply;
}

std::optional<std::string> OwnershipProblem(const struct stat& folder, const struct stat* file, uid_t self) {
  if (file != nullptr && file->st_uid != self) {
    return "is owned by another user (uid " + std::to_string(file->st_uid) + ")";
  }
  if (folder.st_uid != self && folder.st_uid != 0) {
    return "is in a folder owned by another user (uid " + std::to_string(folder.st_uid) + ")";
  }
  // A group of root's own cannot hand the folder to anybody else.
  const bool othersWrite =
      (folder.st_mode & S_IWOTH) != 0 || ((folder.st_mode & S_IWGRP) != 0 && folder.st_gid != 0);
  if (othersWrite) {
    // In a sticky folder (like /tmp) nobody but its owner can rename or remove a file.
    const bool sticky = (folder.st_mode & S_ISVTX) != 0;
    if (!sticky) return std::string("is in a folder other users can write");
  }
  return std::nullopt;
}

SplitPath Split(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  if (slash == 0) return {"/", path.substr(1)};
  return {path.substr(0, slash), path.substr(slash + 1)};
}

std::optional<Folder> Folder::Open(const std::string& path, bool create, Problem* problem) {
  const std::string where = path.empty() ? "." : path;
  if (create) {
    std::error_code ec;
    std::filesystem::create_directories(where, ec);
  }
  UniqueFd fd(::open(where.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.Valid()) {
    *problem = Problem{errno, ErrnoReason(errno)};
    return std::nullopt;
  }
  struct stat status {};
  if (::fstat(fd.Get(), &status) != 0) {
    *problem = Problem{errno, ErrnoReason(errno)};
    return std::nullopt;
  }
  // The owner rule is applied to each file opened in it, together with the file's own owner.
  return Folder(std::move(fd), where, status);
}

std::string Folder::PathOf(std::string_view name) const {
  std::string path;
  path.reserve(path_.size() + 1 + name.size());
  if (path_ != "/") path = path_;
  path += '/';
  path += name;
  return path;
}

std::optional<struct stat> Folder::StatName(const std::string& name) const {
  struct stat st {};
  if (::fstatat(fd_.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return st;
}

bool Folder::Acceptable(int fd, const std::string& /*name*/, struct stat* status, Problem* problem) const {
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    *problem = Problem{errno, ErrnoReason(errno)};
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    *problem = Problem{0, "is not a regular file"};
    return false;
  }
  if (OwnerChecksApply()) {
    if (auto why = OwnershipProblem(status_, &st, ::geteuid())) {
      *problem = Problem{EACCES, *why};
      return false;
    }
  }
  if (status != nullptr) *status = st;
  return true;
}

std::optional<UniqueFd> Folder::OpenForReading(const std::string& name, struct stat* status,
                                               Problem* problem) const {
  UniqueFd fd(::openat(fd_.Get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.Valid()) {
    *problem = OpenProblem(errno);
    return std::nullopt;
  }
  if (!Acceptable(fd.Get(), name, status, problem)) return std::nullopt;
  return fd;
}

std::optional<UniqueFd> Folder::OpenForWriting(const std::string& name, int flags, mode_t mode,
                                               struct stat* status, Problem* problem) const {
  if (OwnerChecksApply()) {
    // Refused before anything is created in a folder that is not safe to write in.
    if (auto why = OwnershipProblem(status_, nullptr, ::geteuid())) {
      *problem = Problem{EACCES, *why};
      return std::nullopt;
    }
  }
  // O_NONBLOCK keeps a FIFO planted under the name from blocking the open; it changes
  // nothing for a regular file.
  UniqueFd fd(::openat(fd_.Get(), name.c_str(),
                       flags | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode));
  if (!fd.Valid()) {
    *problem = OpenProblem(errno);
    return std::nullopt;
  }
  if (!Acceptable(fd.Get(), name, status, problem)) return std::nullopt;
  return fd;
}

std::optional<UniqueFd> Folder::CreateNew(const std::string& name, mode_t mode, Problem* problem) const {
  if (OwnerChecksApply()) {
    if (auto why = OwnershipProblem(status_, nullptr, ::geteuid())) {
      *problem = Problem{EACCES, *why};
      return std::nullopt;
    }
  }
  UniqueFd fd(::openat(fd_.Get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
  if (!fd.Valid()) {
    *problem = OpenProblem(errno);
    return std::nullopt;
  }
  return fd;
}

int Folder::RenameNoReplace(const std::string& from, const std::string& to) const {
  if (::renameat2(fd_.Get(), from.c_str(), fd_.Get(), to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // File systems without RENAME_NOREPLACE: a hard link also refuses an existing name.
  if (::linkat(fd_.Get(), from.c_str(), fd_.Get(), to.c_str(), 0) != 0) return errno;
  ::unlinkat(fd_.Get(), from.c_str(), 0);
  return 0;
}

int Folder::RenameOver(const std::string& from, const std::string& to) const {
  if (auto existing = StatName(to)) {
    if (S_ISLNK(existing->st_mode)) return ELOOP;
    if (!S_ISREG(existing->st_mode)) return EISDIR;
    if (OwnerChecksApply() && OwnershipProblem(status_, &*existing, ::geteuid())) return EACCES;
  }
  if (::renameat(fd_.Get(), from.c_str(), fd_.Get(), to.c_str()) != 0) return errno;
  return 0;
}

int Folder::Unlink(const std::string& name) const {
  return ::unlinkat(fd_.Get(), name.c_str(), 0) == 0 ? 0 : errno;
}

void Folder::Sync() const {
  ::fsync(fd_.Get());
}

bool ReadAllLimited(int fd, std::size_t limit, std::string* text, Problem* problem) {
  text->clear();
  char buffer[16384];
  while (true) {
    // Never ask for more than one byte past the limit: that byte alone proves the file too big.
    const std::size_t room = limit + 1 - text->size();
    const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, room));
    if (n < 0) {
      if (errno == EINTR) continue;
      *problem = Problem{errno, ErrnoReason(errno)};
      return false;
    }
    if (n == 0) return true;
    text->append(buffer, static_cast<std::size_t>(n));
    if (text->size() > limit) {
      *problem = Problem{EFBIG, "is larger than the limit of " + DescribeSize(limit)};
      text->clear();
      return false;
    }
  }
}

ReadResult ReadRegularFile(const std::string& path, std::size_t limit, Links links) {
  ReadResult result;
  const int noFollow = links == Links::kRefuse ? O_NOFOLLOW : 0;
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | noFollow));
  if (!fd.Valid()) {
    result.problem =
        errno == ELOOP && links == Links::kRefuse
            ? Problem{ELOOP, "is a symbolic link, which is not followed"}
            : Problem{errno, ErrnoReason(errno)};
    return result;
  }
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) {
    result.problem = Problem{errno, ErrnoReason(errno)};
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.problem = Problem{0, "is not a regular file"};
    return result;
  }
  if (static_cast<std::uint64_t>(st.st_size) > limit) {
    result.problem = Problem{EFBIG, "is larger than the limit of " + DescribeSize(limit)};
    return result;
  }
  result.identity = IdentityOf(st);
  std::string text;
  text.reserve(static_cast<std::size_t>(st.st_size));
  if (!ReadAllLimited(fd.Get(), limit, &text, &result.problem)) return result;
  result.text = std::move(text);
  return result;
}

bool WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string DescribeSize(std::size_t bytes) {
  constexpr std::size_t kKiB = 1024;
  constexpr std::size_t kMiB = kKiB * kKiB;
  if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
  if (bytes >= kKiB && bytes % kKiB == 0) return std::to_string(bytes / kKiB) + " KiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace veltrix::platform::files
