#include "platform/registry/registry_tree.h"

#include <algorithm>

#include "platform/registry/registry.h"
#include "platform/text/text.h"

namespace veltrix::platform {
namespace {

unsigned char FoldCase(char c) {
  auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

template <class Key>
auto FindIn(Key& key, std::string_view subName) -> decltype(key.subKeys.data()) {
  auto it = std::lower_bound(
      key.subKeys.begin(), key.subKeys.end(), subName,
      [](const RegistryKey& k, std::string_view n) { return CaseInsensitiveLess{}(k.name, n); });
  if (it == key.subKeys.end() || !text::EqualsIgnoreCase(it->name, subName)) return nullptr;
  return &*it;
}

}  // namespace

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return FoldCase(x) < FoldCase(y); });
}

RegistryKey* RegistryKey::FindSubKey(std::string_view subName) {
  return FindIn(*this, subName);
}
const RegistryKey* RegistryKey::FindSubKey(std::string_view subName) const {
  return FindIn(*this, subName);
}

RegistryKey& RegistryKey::AddSubKey(std::string_view subName, bool* created) {
  auto it = std::lower_bound(
      subKeys.begin(), subKeys.end(), subName,
      [](const RegistryKey& k, std::string_view n) { return CaseInsensitiveLess{}(k.name, n); });
  bool isNew = it == subKeys.end() || !text::EqualsIgnoreCase(it->name, subName);
  if (created != nullptr) *created = isNew;
  if (!isNew) return *it;
  RegistryKey fresh;
  fresh.name = std::string(subName);
  return *subKeys.insert(it, std::move(fresh));
}

bool RegistryKey::RemoveSubKey(std::string_view subName) {
  auto it = std::lower_bound(
      subKeys.begin(), subKeys.end(), subName,
      [](const RegistryKey& k, std::string_view n) { return CaseInsensitiveLess{}(k.name, n); });
  if (it == subKeys.end() || !text::EqualsIgnoreCase(it->name, subName)) return false;
  subKeys.erase(it);
  return true;
}

void RegistryKey::SetValue(std::string_view valueName, RegistryValue value) {
  auto it = values.find(valueName);
  if (it != values.end()) {
    it->second = std::move(value);
  } else {
    values.emplace(std::string(valueName), std::move(value));
  }
}

bool IsValidKeyName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxKeyNameLength && name.find('\\') == std::string_view::npos &&
         !HasControlCharacter(name);
}

bool IsValidValueName(std::string_view name) {
  return name.size() <= kMaxValueNameLength && !HasControlCharacter(name);
}

long SplitKeyPath(std::string_view path, std::vector<std::string>* names) {
  names->clear();
  if (path.empty()) return ERROR_SUCCESS;
  if (path.back() == '\\') path.remove_suffix(1);
  std::size_t start = 0;
  while (true) {
    std::size_t end = path.find('\\', start);
    std::string_view name =
        path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (name.empty()) return ERROR_BAD_PATHNAME;
    if (!IsValidKeyName(name) || names->size() >= kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    names->emplace_back(name);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return ERROR_SUCCESS;
}

RegistryKey* FindKeyPath(RegistryKey& root, const std::vector<std::string>& names) {
  RegistryKey* key = &root;
  for (const std::string& name : names) {
    key = key->FindSubKey(name);
    if (key == nullptr) return nullptr;
  }
  return key;
}

const RegistryKey* FindKeyPath(const RegistryKey& root, const std::vector<std::string>& names) {
  return FindKeyPath(const_cast<RegistryKey&>(root), names);
}

}  // namespace veltrix::platform
