#include "app/vanquil/vanquil_app.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/registry/file_registry.h"
#include "removal/module_vanquil.h"

namespace veltrix::app {
namespace {

using platform::HKey;

// A settings file marked read-only: it is read, never changed. Every change is refused as a
// write to it would be.
class ReadOnlyRegistry : public platform::Registry {
 public:
  explicit ReadOnlyRegistry(platform::Registry& inner) : inner_(inner) {}
  long RegOpenKeyA(HKey parent, std::string_view subKey, HKey* result) override {
    return inner_.RegOpenKeyA(parent, subKey, result);
  }
  long RegCreateKeyA(HKey, std::string_view, HKey*) override { return platform::ERROR_ACCESS_DENIED; }
  long RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size) override {
    return inner_.RegQueryValueExA(key, name, type, data, size);
  }
  long RegSetValueExA(HKey, std::string_view, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
    return platform::ERROR_ACCESS_DENIED;
  }
  long RegDeleteValueA(HKey key, std::string_view name) override {
    // A value that is not there is "not found", as from any store.
    const long rc = inner_.RegQueryValueExA(key, name, nullptr, nullptr, nullptr);
    return rc == platform::ERROR_SUCCESS ? platform::ERROR_ACCESS_DENIED : rc;
  }
  long RegDeleteKeyA(HKey parent, std::string_view subKey) override {
    HKey key = 0;
    const long opened = inner_.RegOpenKeyA(parent, subKey, &key);
    if (opened != platform::ERROR_SUCCESS) return opened;
    inner_.RegCloseKey(key);
    return platform::ERROR_ACCESS_DENIED;
  }
  long RegCloseKey(HKey key) override { return inner_.RegCloseKey(key); }
  long RegQueryInfoKeyA(HKey key, std::uint32_t* subKeys, std::uint32_t* values) override {
    return inner_.RegQueryInfoKeyA(key, subKeys, values);
  }

 private:
  platform::Registry& inner_;
};

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) {
    if (!text.empty()) text += ", ";
    text += item;
  }
  return text;
}

}  // namespace

int CleanUpSettings(const std::filesystem::path& file, platform::System& system, std::ostream& err) {
  // Look at the path itself: a link is never followed to whatever it points at.
  struct stat st {};
  if (::lstat(file.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return 0;  // nothing was ever stored
    err << "vanquil: cannot reach the settings file " << file.string() << " (" << std::strerror(errno)
        << "); nothing was removed\n";
    return 1;
  }
  if (S_ISLNK(st.st_mode)) {
    err << "vanquil: the settings file " << file.string()
        << " is a symbolic link; it is not followed and nothing was removed\n";
    return 1;
  }
  if (!S_ISREG(st.st_mode)) {
    err << "vanquil: the settings file " << file.string() << " is not a regular file; nothing was removed\n";
    return 1;
  }
  // Marked read-only (even for root, who could write it anyway), or not writable by us.
  const bool readOnly = (st.st_mode & 0222) == 0 || ::access(file.c_str(), W_OK) != 0;

  std::vector<std::string> problems;
  platform::FileRegistry store(file,
                               [&problems](const std::string& message) { problems.push_back(message); });
  ReadOnlyRegistry guarded(store);
  platform::Registry& registry = readOnly ? static_cast<platform::Registry&>(guarded) : store;
  const removal::RemovalReport report = removal::RemoveSettings(registry, system);

  if (report.notRemoved.empty() && problems.empty()) return 0;
  err << "vanquil: ";
  if (!report.notRemoved.empty()) {
    err << "could not remove " << Joined(report.notRemoved) << " from " << file.string();
    err << (readOnly ? " (the file is read-only)" : " (the file could not be written)");
    if (!problems.empty()) err << "; ";
  }
  err << Joined(problems) << '\n';
  return 1;
}

}  // namespace veltrix::app
