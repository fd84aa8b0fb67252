#pragma once
// Opening files safely for a program that may run as root in folders a user controls.
//
// Every file the program writes (the settings store, its lock, the data log, the
// single-instance lock) goes through this module:
// - the file's own name is never followed when it is a symbolic link (O_NOFOLLOW, and names
//   are opened relative to an open folder descriptor, so the folder cannot be swapped between
//   a check and the open);
// - only regular files are accepted (a FIFO, a device or a folder is refused at once);
// - when the process runs as root, a file owned by another user, or one in a folder another
//   user can write (group- or world-writable, unless the folder is sticky and the file is
//   root's own), is refused: such a user could otherwise make root write where they choose;
// - new files are created with O_CREAT|O_EXCL, and a file is renamed or replaced only after
//   checking that it is the very file (device and inode) the program examined.
//
// Inputs are read whole only up to a stated limit, which is checked before and while reading.
// Every refusal comes with a sentence a user can act on ("… is a symbolic link, which Veltrix
// does not follow").
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrix::platform::files {

// An owned file descriptor (closed when the object goes).
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset(int fd = -1);

 private:
  int fd_ = -1;
};

// Why something could not be done: the errno value (0 when a check, not the system, refused)
// and the reason: the system's text for the errno value ("Permission denied"), or what a check
// found, put after the file's name ("is a symbolic link, which is not followed").
struct Problem {
  int error = 0;
  std::string reason;

  // Whether a check (not the system) refused.
  bool IsCheck() const;
  // For "cannot … (<here>)": "No space left on device", "it is a symbolic link, …".
  std::string Because() const;
  // "<path> is a symbolic link, …" or "<path>: Permission denied".
  std::string About(const std::string& path) const;
};

// What identifies one version of a file: a replaced file has another inode, an edited one
// another size or time.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;
  bool operator==(const FileIdentity&) const = default;
};
FileIdentity IdentityOf(const struct stat& st);

// Whether the root checks apply: true when the effective user is root. Tests may force
// either answer; nullopt goes back to asking the system.
bool OwnerChecksApply();
void SetOwnerChecksForTesting(std::optional<bool> apply);

// The ownership rule for root, on the folder's and the file's status (file may be null for a
// file still to be created). `self` is the effective user. Nothing when acceptable.
std::optional<std::string> OwnershipProblem(const struct stat& folder, const struct stat* file, uid_t self);

// "folder/name" split of a path: the folder ("." when none) and the last name.
struct SplitPath {
  std::string folder;
  std::string name;
};
SplitPath Split(const std::string& path);

// An open folder, the anchor for opening, creating and renaming the files in it.
class Folder {
 public:
  // Opens the folder (following links in its own path, which the user chose). With
  // `create`, missing folders are made first (mode 0755 less the umask). When the owner
  // checks apply, a folder another user can write is refused.
  static std::optional<Folder> Open(const std::string& path, bool create, Problem* problem);

  int Fd() const { return fd_.Get(); }
  const std::string& Path() const { return path_; }
  const struct stat& Status() const { return status_; }
  std::string PathOf(std::string_view name) const;

  // Status of a name in the folder without following a link; nullopt with errno set.
  std::optional<struct stat> StatName(const std::string& name) const;

  // Opens an existing regular file for reading (never through a symbolic link).
  std::optional<UniqueFd> OpenForReading(const std::string& name, struct stat* status,
                                         Problem* problem) const;
  // Opens a regular file for writing or appending, creating it with `mode` when missing
  // (flags: O_WRONLY or O_RDWR, O_APPEND; O_CREAT, O_NOFOLLOW and O_CLOEXEC are added).
  std::optional<UniqueFd> OpenForWriting(const std::string& name, int flags, mode_t mode, struct stat* status,
                                         Problem* problem) const;
  // Creates a new file that must not exist yet (O_CREAT|O_EXCL).
  std::optional<UniqueFd> CreateNew(const std::string& name, mode_t mode, Problem* problem) const;

  // Renames `from` to `to` within the folder, refusing to replace an existing `to`.
  // Returns 0 or the errno value.
  int RenameNoReplace(const std::string& from, const std::string& to) const;
  // Renames over `to` (which, when present, must be a regular file this program may replace).
  int RenameOver(const std::string& from, const std::string& to) const;
  int Unlink(const std::string& name) const;
  // Flushes the folder itself, so a rename in it survives a crash. Some file systems cannot.
  void Sync() const;

 private:
  Folder(UniqueFd fd, std::string path, const struct stat& status)
      : fd_(std::move(fd)), path_(std::move(path)), status_(status) {}
  // Checks an opened file: regular, and acceptable to the owner rule.
  bool Acceptable(int fd, const std::string& name, struct stat* status, Problem* problem) const;

  UniqueFd fd_;
  std::string path_;
  struct stat status_ {};
};

// The whole of a regular file of at most `limit` bytes: checked on the file's size before
// reading and on what arrives while reading (a file that grows is still cut off). A FIFO, a
// device or a folder is refused without blocking. Inputs a person names on the command line
// may be symbolic links (kFollow); files the program finds by itself are read only when the
// name is the file itself (kRefuse).
enum class Links { kFollow, kRefuse };
struct ReadResult {
  std::optional<std::string> text;  // nothing on failure
  Problem problem;
  FileIdentity identity;
};
ReadResult ReadRegularFile(const std::string& path, std::size_t limit, Links links = Links::kFollow);
// The same for an open descriptor (the caller has checked what it is).
bool ReadAllLimited(int fd, std::size_t limit, std::string* text, Problem* problem);

// Writes everything (retrying short writes); false with errno set.
bool WriteAll(int fd, std::string_view bytes);

// "1 MiB", "4 MiB", "512 KiB": limits as the messages name them.
std::string DescribeSize(std::size_t bytes);

}  // namespace veltrix::platform::files
