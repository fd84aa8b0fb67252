#pragma once
// The registry held in memory: the store for tests and the base of the file hive.
//
// Handles name a key by its path, so they stay valid when a file-backed store re-reads its
// file. A handle whose key was deleted answers ERROR_KEY_DELETED (closing it still succeeds).
// HKEY_LOCAL_MACHINE is predefined and never closes. Key and value names are compared
// case-insensitively and keep the spelling first used. Not thread-safe: one thread (the
// program's user-interface thread) uses a store.
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"
#include "platform/registry/registry_tree.h"

namespace veltrix::platform {

struct RegistryEntry {
  std::string keyPath;  // below HKEY_LOCAL_MACHINE, e.g. "SYSTEM\CurrentControlSet\Services"
  std::string name;     // "" is the default value
  RegistryValue value;
};

class MemoryRegistry : public Registry {
 public:
  MemoryRegistry();
  explicit MemoryRegistry(RegistryKey root);

  long RegOpenKeyA(HKey parent, std::string_view subKey, HKey* result) override;
  long RegCreateKeyA(HKey parent, std::string_view subKey, HKey* result) override;
  long RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size) override;
  long RegSetValueExA(HKey key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t size) override;
  long RegDeleteValueA(HKey key, std::string_view name) override;
  long RegDeleteKeyA(HKey parent, std::string_view subKey) override;
  long RegCloseKey(HKey key) override;
  long RegQueryInfoKeyA(HKey key, std::uint32_t* subKeys, std::uint32_t* values) override;
  void BeginBatch() override;
  long EndBatch() override;

  // Read access for tests and tools. Key paths are below HKEY_LOCAL_MACHINE; a leading
  // "HKEY_LOCAL_MACHINE\" is accepted too.
  bool KeyExists(std::string_view keyPath);
  std::optional<RegistryValue> ReadValue(std::string_view keyPath, std::string_view name);
  std::vector<std::string> SubKeyNames(std::string_view keyPath);
  // Every value of the store, keys parents-first in name order.
  std::vector<RegistryEntry> AllValues();
  // The whole store in the hive file's text form.
  std::string Dump();
  RegistryKey Snapshot();
  // Handles opened and not yet closed (HKEY_LOCAL_MACHINE not counted): a leak check.
  std::size_t OpenHandleCount() const { return handles_.size(); }

 protected:
  // What a call is about to do, for a backing store deciding what to check first.
  enum class Access {
    kRead,  // reads the tree
    // A query through the handle the latest open or create returned, with no other call in
    // between: the tree is as that open found it (the program's open, query, close pattern).
    kReadAsOpened,
    kChange,  // may change the tree
  };

  // Hooks around every call for a backing store. BeginOperation runs before the tree is
  // touched (a non-zero result fails the call with that code, nothing changed); EndOperation
  // after it, told whether the tree changed. When EndOperation fails, the tree and the handle
  // table are put back as they were and the call returns that code.
  virtual long BeginOperation(Access access);
  virtual long EndOperation(bool changed);
  // The same around a whole batch. `before` is the tree as the batch found it; the tree now
  // holds the batch's changes. By default a batch is one long changing operation.
  virtual long BeginBatchOperation();
  virtual long EndBatchOperation(const RegistryKey& before, bool changed);

  RegistryKey& Root() { return root_; }

 private:
  struct OpenKey {
    std::vector<std::string> path;
    bool deleted = false;
  };

  long Run(Access access, const std::function<long()>& op);
  long OpenKeyPath(HKey parent, const std::vector<std::string>& names, bool create, HKey* opened);
  // The path of an open handle; ERROR_INVALID_HANDLE or ERROR_KEY_DELETED.
  long ResolveHandle(HKey key, std::vector<std::string>* path) const;
  long ResolveKey(HKey key, RegistryKey** found);
  long OpenOrCreate(HKey parent, std::string_view subKey, bool create, HKey* result);
  HKey NewHandle(std::vector<std::string> path);

  RegistryKey root_;
  std::map<HKey, OpenKey> handles_;
  HKey nextHandle_ = 0x100;
  HKey openedLast_ = 0;  // the handle of the latest open or create, while nothing else ran
  bool changed_ = false;
  // An open batch keeps the backing store's operation open from BeginBatch to EndBatch.
  int batchDepth_ = 0;
  long batchBeginRc_ = ERROR_SUCCESS;
  bool batchChanged_ = false;
  RegistryKey batchRoot_;
  std::map<HKey, OpenKey> batchHandles_;
};

}  // namespace veltrix::platform
