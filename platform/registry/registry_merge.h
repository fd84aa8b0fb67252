#pragma once
// Putting one user's changes onto a tree another user changed meanwhile.
#include "platform/registry/registry_tree.h"

namespace veltrix::platform {

// Applies to `theirs` what changed from `before` to `ours`: values set or changed, values
// deleted, keys created (with their contents) and keys deleted. What `ours` left as it was
// stays as `theirs` has it. A deleted key that has gained sub-keys in `theirs` stays, as a key
// with sub-keys is never deleted.
void ApplyChanges(const RegistryKey& before, const RegistryKey& ours, RegistryKey* theirs);

}  // namespace veltrix::platform
