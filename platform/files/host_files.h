#pragma once
// The host's files, opened through the safe-open rules of safe_file.h.
#include "platform/files/files.h"

namespace veltrix::platform {

class HostFilesBackend final : public Files {
 public:
  std::string PathInFolder(std::string_view folder, std::string_view name) override;
  bool FileExists(const std::string& path) override;
  std::optional<std::string> ReadTextFile(const std::string& path, std::size_t maxBytes,
                                          std::string* reason) override;
  bool AppendRecord(const std::string& path, std::string_view bytes, std::string* reason) override;
  bool RemoveFile(const std::string& path, std::string* reason) override;
};

}  // namespace veltrix::platform
