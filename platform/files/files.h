#pragma once
// The file system as the program uses it: checking that a picture is there, reading a text
// file, appending records to a log and deleting a file. The program never opens files itself;
// it goes through this interface (reached as Program::Files()), whose host backend opens
// every file safely (see safe_file.h).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace veltrix::platform {

class Files {
 public:
  virtual ~Files() = default;

  // The folder joined with a file name by the platform's own separator.
  virtual std::string PathInFolder(std::string_view folder, std::string_view name) = 0;

  // True when a regular file (or a link to one) is there.
  virtual bool FileExists(const std::string& path) = 0;

  // The whole text of a regular file of at most `maxBytes` bytes; nothing when it is missing,
  // too big, not a regular file, a symbolic link (never followed) or unreadable, with the
  // reason in `reason` (when not null).
  virtual std::optional<std::string> ReadTextFile(const std::string& path, std::size_t maxBytes,
                                                  std::string* reason) = 0;

  // Appends `bytes` as one record, creating the file when missing. A record is written whole
  // or not at all: when a write fails part-way (a full disk), the file is cut back to where it
  // ended before. False with the reason when nothing was written. The file is never reached
  // through a symbolic link.
  virtual bool AppendRecord(const std::string& path, std::string_view bytes, std::string* reason) = 0;

  // Deletes the file (a symbolic link in its place is removed itself, never what it points
  // to). False when nothing was deleted.
  virtual bool RemoveFile(const std::string& path, std::string* reason) = 0;
};

// The files of the machine the program runs on.
Files& HostFiles();

}  // namespace veltrix::platform
