#include "platform/registry/registry_merge.h"

namespace veltrix::platform {
namespace {

// Removes, below `parent`, the key `was` names and what of its sub-keys `was` knew.
void RemoveDeleted(const RegistryKey& was, RegistryKey* parent) {
  RegistryKey* target = parent->FindSubKey(was.name);
  if (target == nullptr) return;
  for (const RegistryKey& sub : was.subKeys) RemoveDeleted(sub, target);
  if (target->subKeys.empty()) parent->RemoveSubKey(was.name);
}

}  // namespace

void ApplyChanges(const RegistryKey& before, const RegistryKey& ours, RegistryKey* theirs) {
  for (const auto& [name, value] : ours.values) {
    auto was = before.values.find(name);
    if (was == before.values.end() || !(was->second == value)) theirs->SetValue(name, value);
  }
  for (const auto& [name, value] : before.values) {
    if (ours.values.find(name) == ours.values.end()) theirs->values.erase(name);
  }
  static const RegistryKey kNothing;
  for (const RegistryKey& sub : ours.subKeys) {
    const RegistryKey* was = before.FindSubKey(sub.name);
    if (was != nullptr && *was == sub) continue;  // left as it was
    bool created = false;
    RegistryKey& target = theirs->AddSubKey(sub.name, &created);
    // A key the other user deleted comes back whole when this user changed something in it.
    ApplyChanges(was != nullptr && !created ? *was : kNothing, sub, &target);
  }
  for (const RegistryKey& sub : before.subKeys) {
    if (ours.FindSubKey(sub.name) == nullptr) RemoveDeleted(sub, theirs);
  }
}

}  // namespace veltrix::platform
