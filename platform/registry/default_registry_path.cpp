#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/registry/file_registry.h"

namespace veltrix::platform {

std::filesystem::path DefaultRegistryPath() {
  std::filesystem::path tail = std::filesystem::path("veltrix") / "registry.reg";
  // A relative XDG_CONFIG_HOME is invalid by the base-directory rules and is ignored.
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') {
    return std::filesystem::path(config) / tail;
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
    return std::filesystem::path(home) / ".config" / tail;
  }
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return std::filesystem::path(entry->pw_dir) / ".config" / tail;
  }
  return tail;
}

}  // namespace veltrix::platform
