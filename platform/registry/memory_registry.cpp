#include "platform/registry/memory_registry.h"

#include <cstring>

#include "platform/registry/hive_text.h"
#include "platform/text/text.h"

namespace veltrix::platform {
namespace {

// Handle numbers grow by 4 like Win32 handles and are never reused, so a stale handle cannot
// reach a key opened later. They stay below the predefined keys (0x80000000 and up).
constexpr HKey kHandleStep = 4;
constexpr HKey kLastHandle = 0x7FFFFFF0u;

std::string_view WithoutRootPrefix(std::string_view keyPath) {
  if (keyPath.size() >= kRootKeyName.size() &&
      text::EqualsIgnoreCase(keyPath.substr(0, kRootKeyName.size()), kRootKeyName)) {
    std::string_view rest = keyPath.substr(kRootKeyName.size());
    if (rest.empty()) return rest;
    if (rest.front() == '\\') return rest.substr(1);
  }
  return keyPath;
}

bool IsPrefix(const std::vector<std::string>& prefix, const std::vector<std::string>& path) {
  if (prefix.size() > path.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (!text::EqualsIgnoreCase(prefix[i], path[i])) return false;
  }
  return true;
}

void CollectValues(const RegistryKey& key, const std::string& path, std::vector<RegistryEntry>* out) {
  for (const auto& [name, value] : key.values) out->push_back(RegistryEntry{path, name, value});
  for (const RegistryKey& sub : key.subKeys)
    CollectValues(sub, path.empty() ? sub.name : path + "\\" + sub.name, out);
}

}  // namespace

MemoryRegistry::MemoryRegistry() {
  root_.name = std::string(kRootKeyName);
}

MemoryRegistry::MemoryRegistry(RegistryKey root) : root_(std::move(root)) {
  root_.name = std::string(kRootKeyName);
}

long MemoryRegistry::BeginOperation(Access /*access*/) {
  return ERROR_SUCCESS;
}
long MemoryRegistry::EndOperation(bool /*changed*/) {
  return ERROR_SUCCESS;
}
long MemoryRegistry::BeginBatchOperation() {
  return BeginOperation(Access::kChange);
}
long MemoryRegistry::EndBatchOperation(const RegistryKey& /*before*/, bool changed) {
  return EndOperation(changed);
}

void MemoryRegistry::BeginBatch() {
  if (batchDepth_++ > 0) return;
  openedLast_ = 0;
  batchBeginRc_ = BeginBatchOperation();
  batchRoot_ = root_;
  batchHandles_ = handles_;
  batchChanged_ = false;
}

long MemoryRegistry::EndBatch() {
  if (batchDepth_ == 0) return ERROR_INVALID_PARAMETER;
  if (--batchDepth_ > 0) return ERROR_SUCCESS;
  openedLast_ = 0;
  long rc = batchBeginRc_ != ERROR_SUCCESS ? batchBeginRc_ : EndBatchOperation(batchRoot_, batchChanged_);
  if (rc != ERROR_SUCCESS) {
    root_ = std::move(batchRoot_);
    handles_ = std::move(batchHandles_);
  }
  batchRoot_ = RegistryKey{};
  batchHandles_.clear();
  return rc;
}

long MemoryRegistry::Run(Access access, const std::function<long()>& op) {
  if (access != Access::kReadAsOpened) openedLast_ = 0;
  if (batchDepth_ > 0) {
    changed_ = false;
    long rc = op();
    batchChanged_ = batchChanged_ || changed_;
    return rc;
  }
  long rc = BeginOperation(access);
  if (rc != ERROR_SUCCESS) return rc;
  std::optional<RegistryKey> savedRoot;
  std::optional<std::map<HKey, OpenKey>> savedHandles;
  if (access == Access::kChange) {
    savedRoot = root_;
    savedHandles = handles_;
  }
  changed_ = false;
  rc = op();
  long endRc = EndOperation(changed_);
  if (endRc != ERROR_SUCCESS) {
    if (savedRoot) root_ = std::move(*savedRoot);
    if (savedHandles) handles_ = std::move(*savedHandles);
    return endRc;
  }
  return rc;
}

HKey MemoryRegistry::NewHandle(std::vector<std::string> path) {
  if (nextHandle_ >= kLastHandle) return 0;
  HKey handle = nextHandle_;
  nextHandle_ += kHandleStep;
  handles_[handle] = OpenKey{std::move(path), false};
  return handle;
}

long MemoryRegistry::ResolveHandle(HKey key, std::vector<std::string>* path) const {
  if (key == HKEY_LOCAL_MACHINE) {
    path->clear();
    return ERROR_SUCCESS;
  }
  auto it = handles_.find(key);
  if (it == handles_.end()) return ERROR_INVALID_HANDLE;
  if (it->second.deleted) return ERROR_KEY_DELETED;
  *path = it->second.path;
  return ERROR_SUCCESS;
}

long MemoryRegistry::ResolveKey(HKey key, RegistryKey** found) {
  std::vector<std::string> path;
  long rc = ResolveHandle(key, &path);
  if (rc != ERROR_SUCCESS) return rc;
  *found = FindKeyPath(root_, path);
  // Another user of the same store may have deleted the key.
  return *found == nullptr ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

long MemoryRegistry::OpenOrCreate(HKey parent, std::string_view subKey, bool create, HKey* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  std::vector<std::string> names;
  long rc = SplitKeyPath(subKey, &names);
  if (rc != ERROR_SUCCESS) return rc;
  HKey opened = 0;
  // Creating a key that is already there changes nothing: it is opened like any key, which a
  // backing store can do without taking its lock.
  rc = OpenKeyPath(parent, names, false, &opened);
  if (rc == ERROR_FILE_NOT_FOUND && create) rc = OpenKeyPath(parent, names, true, &opened);
  if (rc == ERROR_SUCCESS) {
    *result = opened;
    openedLast_ = opened;
  }
  return rc;
}

long MemoryRegistry::OpenKeyPath(HKey parent, const std::vector<std::string>& names, bool create,
                                 HKey* opened) {
  return Run(create ? Access::kChange : Access::kRead, [&]() -> long {
    std::vector<std::string> path;
    long resolved = ResolveHandle(parent, &path);
    if (resolved != ERROR_SUCCESS) return resolved;
    RegistryKey* key = FindKeyPath(root_, path);
    if (key == nullptr) return ERROR_KEY_DELETED;
    for (const std::string& name : names) {
      RegistryKey* next = key->FindSubKey(name);
      if (next == nullptr) {
        if (!create) return ERROR_FILE_NOT_FOUND;
        next = &key->AddSubKey(name);
        changed_ = true;
      }
      // Keep the stored spelling so the handle's path names what is really there.
      path.push_back(next->name);
      key = next;
    }
    *opened = NewHandle(std::move(path));
    return *opened == 0 ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
  });
}

long MemoryRegistry::RegOpenKeyA(HKey parent, std::string_view subKey, HKey* result) {
  return OpenOrCreate(parent, subKey, false, result);
}

long MemoryRegistry::RegCreateKeyA(HKey parent, std::string_view subKey, HKey* result) {
  return OpenOrCreate(parent, subKey, true, result);
}

long MemoryRegistry::RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t* size) {
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  const Access access = key != 0 && key == openedLast_ ? Access::kReadAsOpened : Access::kRead;
  return Run(access, [&]() -> long {
    RegistryKey* found = nullptr;
    long rc = ResolveKey(key, &found);
    if (rc != ERROR_SUCCESS) return rc;
    auto it = found->values.find(name);
    if (it == found->values.end()) return ERROR_FILE_NOT_FOUND;
    const RegistryValue& value = it->second;
    auto needed = static_cast<std::uint32_t>(value.data.size());
    if (type != nullptr) *type = value.type;
    if (data != nullptr) {
      if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
      }
      if (needed != 0) std::memcpy(data, value.data.data(), needed);
    }
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
  });
}

long MemoryRegistry::RegSetValueExA(HKey key, std::string_view name, std::uint32_t type,
                                    const std::uint8_t* data, std::uint32_t size) {
  if (data == nullptr && size != 0) return ERROR_INVALID_PARAMETER;
  if (!IsValidValueName(name)) return ERROR_INVALID_PARAMETER;
  return Run(Access::kChange, [&]() -> long {
    RegistryKey* found = nullptr;
    long rc = ResolveKey(key, &found);
    if (rc != ERROR_SUCCESS) return rc;
    RegistryValue value;
    value.type = type;
    if (size != 0) value.data.assign(data, data + size);
    auto it = found->values.find(name);
    if (it != found->values.end() && it->second == value) return ERROR_SUCCESS;
    found->SetValue(name, std::move(value));
    changed_ = true;
    return ERROR_SUCCESS;
  });
}

long MemoryRegistry::RegDeleteValueA(HKey key, std::string_view name) {
  return Run(Access::kChange, [&]() -> long {
    RegistryKey* found = nullptr;
    long rc = ResolveKey(key, &found);
    if (rc != ERROR_SUCCESS) return rc;
    auto it = found->values.find(name);
    if (it == found->values.end()) return ERROR_FILE_NOT_FOUND;
    found->values.erase(it);
    changed_ = true;
    return ERROR_SUCCESS;
  });
}

long MemoryRegistry::RegDeleteKeyA(HKey parent, std::string_view subKey) {
  std::vector<std::string> names;
  long rc = SplitKeyPath(subKey, &names);
  if (rc != ERROR_SUCCESS) return rc;
  // Deleting the handle's own key through an empty path is not offered.
  if (names.empty()) return ERROR_INVALID_PARAMETER;
  return Run(Access::kChange, [&]() -> long {
    std::vector<std::string> path;
    long resolved = ResolveHandle(parent, &path);
    if (resolved != ERROR_SUCCESS) return resolved;
    if (FindKeyPath(root_, path) == nullptr) return ERROR_KEY_DELETED;
    path.insert(path.end(), names.begin(), names.end());
    std::vector<std::string> parentPath(path.begin(), path.end() - 1);
    RegistryKey* owner = FindKeyPath(root_, parentPath);
    RegistryKey* victim = owner == nullptr ? nullptr : owner->FindSubKey(path.back());
    if (victim == nullptr) return ERROR_FILE_NOT_FOUND;
    if (!victim->subKeys.empty()) return ERROR_ACCESS_DENIED;
    owner->RemoveSubKey(path.back());
    changed_ = true;
    for (auto& [handle, open] : handles_) {
      if (IsPrefix(path, open.path)) open.deleted = true;
    }
    return ERROR_SUCCESS;
  });
}

long MemoryRegistry::RegQueryInfoKeyA(HKey key, std::uint32_t* subKeys, std::uint32_t* values) {
  return Run(Access::kRead, [&]() -> long {
    RegistryKey* found = nullptr;
    long rc = ResolveKey(key, &found);
    if (rc != ERROR_SUCCESS) return rc;
    if (subKeys != nullptr) *subKeys = static_cast<std::uint32_t>(found->subKeys.size());
    if (values != nullptr) *values = static_cast<std::uint32_t>(found->values.size());
    return ERROR_SUCCESS;
  });
}

long MemoryRegistry::RegCloseKey(HKey key) {
  if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
  if (key == openedLast_) openedLast_ = 0;
  return handles_.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

bool MemoryRegistry::KeyExists(std::string_view keyPath) {
  std::vector<std::string> names;
  if (SplitKeyPath(WithoutRootPrefix(keyPath), &names) != ERROR_SUCCESS) return false;
  bool exists = false;
  Run(Access::kRead, [&]() -> long {
    exists = FindKeyPath(root_, names) != nullptr;
    return ERROR_SUCCESS;
  });
  return exists;
}

std::optional<RegistryValue> MemoryRegistry::ReadValue(std::string_view keyPath, std::string_view name) {
  std::vector<std::string> names;
  if (SplitKeyPath(WithoutRootPrefix(keyPath), &names) != ERROR_SUCCESS) return std::nullopt;
  std::optional<RegistryValue> result;
  Run(Access::kRead, [&]() -> long {
    const RegistryKey* key = FindKeyPath(root_, names);
    if (key == nullptr) return ERROR_FILE_NOT_FOUND;
    auto it = key->values.find(name);
    if (it != key->values.end()) result = it->second;
    return ERROR_SUCCESS;
  });
  return result;
}

std::vector<std::string> MemoryRegistry::SubKeyNames(std::string_view keyPath) {
  std::vector<std::string> names;
  std::vector<std::string> result;
  if (SplitKeyPath(WithoutRootPrefix(keyPath), &names) != ERROR_SUCCESS) return result;
  Run(Access::kRead, [&]() -> long {
    const RegistryKey* key = FindKeyPath(root_, names);
    if (key != nullptr) {
      for (const RegistryKey& sub : key->subKeys) result.push_back(sub.name);
    }
    return ERROR_SUCCESS;
  });
  return result;
}

std::vector<RegistryEntry> MemoryRegistry::AllValues() {
  std::vector<RegistryEntry> result;
  Run(Access::kRead, [&]() -> long {
    CollectValues(root_, "", &result);
    return ERROR_SUCCESS;
  });
  return result;
}

std::string MemoryRegistry::Dump() {
  std::string text;
  Run(Access::kRead, [&]() -> long {
    text = FormatHive(root_);
    return ERROR_SUCCESS;
  });
  return text;
}

RegistryKey MemoryRegistry::Snapshot() {
  RegistryKey copy;
  Run(Access::kRead, [&]() -> long {
    copy = root_;
    return ERROR_SUCCESS;
  });
  return copy;
}

}  // namespace veltrix::platform
