#pragma once
// The default registry store: one text file (see hive_text.h and docs/registry-file.md).
//
// Every call that changes the store saves the whole file before it returns: the text goes to a
// new temporary file in the same folder, is flushed to disk, renamed over the store and the
// folder is flushed, so a crash leaves either the old or the new file, never a mixture.
// Temporary files that a killed process left behind are removed by the next save.
//
// Two processes (the monitor and the clean-up tool) may share the file. Changes are made under
// an advisory lock (flock on "<file>.lock"), after re-reading the file when another process
// changed it, so no process writes back a stale copy over the other's changes. Reads take no
// lock: saves replace the file whole, so a reader sees the old or the new file.
//
// Reading is cheap while nobody else writes: the file's identity (device, inode), size and
// modification and change times are compared with what was last read or written, and the file
// is read again only when they differ. Opening or creating a key checks; so does every read
// except a query through the handle the latest open returned, with no other call in between
// (the program opens a key, queries it and closes it, so a change by another process is seen
// at the next open). A file changed less than two seconds before it was read is read again at
// the next check, since coarse file times could hide a second change within the same tick.
//
// A batch (BeginBatch/EndBatch) works on memory and saves once at its end, under the lock: if
// the file changed meanwhile, the batch's own changes are applied to what the file holds now.
//
// Failures never claim success: when a change cannot be saved (folder not writable, disk full,
// lock not available, the text over the size limit) the call returns ERROR_ACCESS_DENIED,
// ERROR_WRITE_FAULT or ERROR_NOT_ENOUGH_QUOTA and the store in memory is rolled back to what the
// file holds, so memory and disk always agree.
//
// Safety for a program that runs as root: the file, its lock and its temporary files are never
// reached through a symbolic link, must be regular files, and (as root) must be root's own in a
// folder no other user can write. A file that breaks these rules is refused with a message and
// never renamed or replaced; the store then stays as it was and refuses every change.
//
// A file that cannot be parsed is read again a few times (an editor may be half-way through
// writing it); the store meanwhile keeps what it holds and writes nothing. Only a file that
// stays damaged is renamed to "<file>.damaged-<N>" (N = 1, 2, ... never overwriting an earlier
// one) — and only when it is still the very file that was read — with a message naming the
// file, the line and the reason (the warning sink and LoadWarning()). Found at start-up, the
// store starts empty (the program's defaults); found while the program runs, the settings in
// use are kept and saved to a new file, so the stored limits are never lost.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/files/safe_file.h"
#include "platform/registry/memory_registry.h"

namespace veltrix::platform {

// $XDG_CONFIG_HOME/veltrix/registry.reg, else $HOME/.config/veltrix/registry.reg.
std::filesystem::path DefaultRegistryPath();

// The largest store file read or written (a store of the program's settings is a few KiB).
inline constexpr std::size_t kMaxRegistryFileBytes = 4 * 1024 * 1024;

struct StoreRead;  // one read of the file (file_registry.cpp)

struct FileRegistryOptions {
  // How often a file found damaged is read again before it is set aside, and the pause before
  // each read.
  int damageRereads = 4;
  std::chrono::milliseconds damagePause{50};
};

class FileRegistry : public MemoryRegistry {
 public:
  using WarningSink = std::function<void(const std::string& message)>;

  // Reads the file at once (a missing file or folder is an empty store, created on the first
  // change). Damage found now or later is reported through the sink and LoadWarning().
  explicit FileRegistry(std::filesystem::path file, WarningSink sink = {}, FileRegistryOptions options = {});
  ~FileRegistry() override;
  FileRegistry(const FileRegistry&) = delete;
  FileRegistry& operator=(const FileRegistry&) = delete;

  const std::filesystem::path& File() const { return file_; }
  // The most recent message about a damaged, refused or unreadable file, if any.
  const std::optional<std::string>& LoadWarning() const { return warning_; }

 protected:
  long BeginOperation(Access access) override;
  long EndOperation(bool changed) override;
  long BeginBatchOperation() override;
  long EndBatchOperation(const RegistryKey& before, bool changed) override;

 private:
  bool Lock(bool create);
  void Unlock();
  // Brings the tree in line with the file when the file changed since it was last read or
  // written.
  void Check();
  // Reads and parses the file; damage goes to Damaged.
  void Load();
  void Gone();
  // Handles a read that found no file or a refused one; false when there is text to parse.
  bool Unusable(const StoreRead& read);
  void Damaged(const std::string& reason, const files::FileIdentity& identity);
  bool SetAside(const std::string& problem, const files::FileIdentity& identity);
  void Refuse(const std::string& what, const std::optional<files::FileIdentity>& identity);
  void Adopt(std::string text, RegistryKey root, const files::FileIdentity& identity);
  void Warn(const std::string& message);
  long Save();
  void RemoveStaleTemporaryFiles(const files::Folder& folder) const;

  std::filesystem::path file_;
  std::string folderPath_;
  std::string name_;
  WarningSink sink_;
  FileRegistryOptions options_;
  std::optional<std::string> warning_;
  std::string lockWarning_;  // the last lock problem reported, so it is not repeated

  // The file version the tree reflects (read, written, or refused/kept as damaged); none = no
  // file. `trusted_` is false while its times are too recent to prove the next change.
  std::optional<files::FileIdentity> known_;
  bool trusted_ = false;
  std::optional<std::string> lastText_;  // file contents as last read or written
  std::uint64_t loads_ = 0;              // how often the tree was replaced from the file
  bool starting_ = true;                 // the first read, in the constructor
  bool frozen_ = false;                  // a file we could not read or move aside: never write over it

  files::UniqueFd lockFd_;
  std::optional<files::Folder> lockFolder_;  // the folder, held open while the lock is
};

}  // namespace veltrix::platform
