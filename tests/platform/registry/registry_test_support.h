#pragma once
// Small helpers shared by the registry tests: a scratch folder and byte-string shorthands.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace veltrix::platform::testing {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "veltrix-registry-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

inline std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& file, std::string_view text) {
  std::ofstream out(file, std::ios::binary);
  out << text;
}

inline long SetValue(Registry& reg, HKey key, std::string_view name, std::uint32_t type,
                     const std::vector<std::uint8_t>& data) {
  return reg.RegSetValueExA(key, name, type, data.data(), static_cast<std::uint32_t>(data.size()));
}

// Reads a value the way the program does: size first, then the data.
inline long QueryValue(Registry& reg, HKey key, std::string_view name, std::uint32_t* type,
                       std::vector<std::uint8_t>* data) {
  std::uint32_t size = 0;
  long rc = reg.RegQueryValueExA(key, name, type, nullptr, &size);
  if (rc != ERROR_SUCCESS) return rc;
  data->assign(size, 0xCC);
  return reg.RegQueryValueExA(key, name, type, data->data(), &size);
}

}  // namespace veltrix::platform::testing
