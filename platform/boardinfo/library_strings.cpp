#include "platform/boardinfo/library_strings.h"

#include <cstring>

namespace veltrix::platform {

void WriteLibraryString(char* buffer, int size, std::string_view text) {
  if (buffer == nullptr || size <= 0) return;
  std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
  for (std::size_t i = 0; i < n; ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    buffer[i] = (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
  }
  buffer[n] = '\0';
}

std::optional<std::string> ReadLibraryString(const char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return std::nullopt;
  const void* nul = std::memchr(buffer, '\0', static_cast<std::size_t>(size));
  if (nul == nullptr) return std::nullopt;
  return std::string(buffer, static_cast<const char*>(nul));
}

}  // namespace veltrix::platform
