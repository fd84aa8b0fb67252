#pragma once
// The default registry store: one text file (see hive_text.h and docs/registry-file.md).
//
// Every call that changes the store saves the whole file before it returns: the text goes to a
// temporary file in the same folder, is flushed to disk, renamed over the store and the folder
// is flushed, so a crash leaves either the old or the new file, never a mixture.
//
// Two processes (the monitor and the clean-up tool) may share the file. Each call holds an
// advisory lock (flock on "<file>.lock") and first re-reads the file when its contents differ
// from what this store last read or wrote, so no process writes back a stale copy over the
// other's changes.
//
// A batch (BeginBatch/EndBatch) holds the lock from its start to its end and saves once at the
// end; keep batches short, the other process waits for the lock meanwhile.
//
// Failures never claim success: when a change cannot be saved (folder not writable, disk full,
// lock not available) the call returns ERROR_ACCESS_DENIED or ERROR_WRITE_FAULT and the store
// in memory is rolled back to what the file holds, so memory and disk always agree.
//
// A file that cannot be parsed is never discarded silently: it is renamed to
// "<file>.damaged-<N>" (N = 1, 2, ... never overwriting an earlier one), a message naming the
// file, the line and the reason goes to the warning sink and to LoadWarning(), and the store
// continues empty so the program starts from its defaults. If the damaged file cannot be moved
// aside (or cannot be read at all), the store stays empty and refuses every change with
// ERROR_ACCESS_DENIED so the file is never overwritten.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/registry/memory_registry.h"

namespace veltrix::platform {

// $XDG_CONFIG_HOME/veltrix/registry.reg, else $HOME/.config/veltrix/registry.reg.
std::filesystem::path DefaultRegistryPath();

class FileRegistry : public MemoryRegistry {
 public:
  using WarningSink = std::function<void(const std::string& message)>;

  // Reads the file at once (a missing file or folder is an empty store, created on the first
  // change). Damage found now or later is reported through the sink and LoadWarning().
  explicit FileRegistry(std::filesystem::path file, WarningSink sink = {});
  ~FileRegistry() override;
  FileRegistry(const FileRegistry&) = delete;
  FileRegistry& operator=(const FileRegistry&) = delete;

  const std::filesystem::path& File() const { return file_; }
  // The most recent message about a damaged or unreadable file, if any.
  const std::optional<std::string>& LoadWarning() const { return warning_; }

 protected:
  long BeginOperation(bool mutating) override;
  long EndOperation(bool changed) override;

 private:
  bool Lock(bool create);
  void Unlock();
  // Re-reads the file when it differs from the text last read or written.
  void Refresh();
  void SetAside(const std::string& reason);
  void Warn(std::string message);
  long Save();

  std::filesystem::path file_;
  std::filesystem::path lockFile_;
  WarningSink sink_;
  std::optional<std::string> warning_;
  std::optional<std::string> lastText_;  // file contents as last read or written; none = no file
  int lockFd_ = -1;
  bool frozen_ = false;  // a file we could not read or move aside: never write over it
};

}  // namespace veltrix::platform
