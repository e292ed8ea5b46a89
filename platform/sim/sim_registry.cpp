#include "platform/sim/sim_registry.h"

#include <cstring>

namespace ejectra::platform::sim {

namespace {

std::u16string_view View(const char16_t* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

bool IsPredefined(RegKey key) {
  return key == kHkeyClassesRoot || key == kHkeyCurrentUser || key == kHkeyLocalMachine;
}

}  // namespace

SimRegistryKey* SimRegistry::Resolve(RegKey key, std::int32_t& status) {
  if (SimRegistryKey* root = world_.machine.registry.Root(key)) return root;
  const auto open = open_.find(key);
  if (open == open_.end()) {
    status = kErrorInvalidHandle;
    return nullptr;
  }
  if (open->second.stale) {
    status = kErrorKeyDeleted;
    return nullptr;
  }
  return open->second.key;
}

SimRegistryKey* SimRegistry::Walk(RegKey parent, const char16_t* subKey, std::uint32_t access,
                                  bool create, std::int32_t& status) {
  SimRegistryKey* from = Resolve(parent, status);
  if (!from) return nullptr;
  std::u16string path(View(subKey));
  if (IsPredefined(parent)) {
    const RegistryView view = (access & kKeyWow64_32Key)   ? RegistryView::k32
                              : (access & kKeyWow64_64Key) ? RegistryView::k64
                                                           : world_.processView;
    path = RegistryTree::Redirected(parent, path, view);
  }
  SimRegistryKey* found = RegistryTree::Walk(*from, path, create);
  if (!found) status = kErrorFileNotFound;
  return found;
}

RegKey SimRegistry::Hand(SimRegistryKey* key) {
  const RegKey handle = next_;
  next_ += 4;
  open_.emplace(handle, Handed{key});
  return handle;
}

std::int32_t SimRegistry::Open(std::string_view call, RegKey parent, const char16_t* subKey,
                               std::uint32_t access, bool create, RegKey* key) {
  if (const auto fault = world_.calls.Enter(call)) return static_cast<std::int32_t>(*fault);
  if (!key) return kErrorInvalidParameter;
  std::int32_t status = kErrorSuccess;
  SimRegistryKey* found = Walk(parent, subKey, access, create, status);
  if (!found) return status;
  *key = Hand(found);
  return kErrorSuccess;
}

std::int32_t SimRegistry::RegOpenKeyExW(RegKey root, const char16_t* subKey, std::uint32_t,
                                        std::uint32_t access, RegKey* key) {
  return Open("RegOpenKeyExW", root, subKey, access, false, key);
}

std::int32_t SimRegistry::RegCreateKeyExW(RegKey parent, const char16_t* subKey,
                                          std::uint32_t access, RegKey* key) {
  return Open("RegCreateKeyExW", parent, subKey, access, true, key);
}

std::int32_t SimRegistry::RegQueryValueExW(RegKey key, const char16_t* valueName,
                                           std::uint32_t* type, void* data,
                                           std::uint32_t* size) {
  if (const auto fault = world_.calls.Enter("RegQueryValueExW")) {
    return static_cast<std::int32_t>(*fault);
  }
  std::int32_t status = kErrorSuccess;
  const SimRegistryKey* found = Resolve(key, status);
  if (!found) return status;
  if (data && !size) return kErrorInvalidParameter;
  const auto it = found->values.find(View(valueName));
  if (it == found->values.end()) return kErrorFileNotFound;
  const SimRegistryValue& value = it->second;
  if (type) *type = value.type;
  if (!size) return kErrorSuccess;
  const auto needed = static_cast<std::uint32_t>(value.data.size());
  if (data && *size < needed) {
    *size = needed;
    return kErrorMoreData;
  }
  if (data && needed) std::memcpy(data, value.data.data(), needed);
  *size = needed;
  return kErrorSuccess;
}

std::int32_t SimRegistry::RegCloseKey(RegKey key) {
  world_.calls.Enter("RegCloseKey");
  if (world_.machine.registry.Root(key)) return kErrorSuccess;
  return open_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

std::int32_t SimRegistry::RegSetValueExW(RegKey key, const char16_t* name, std::uint32_t type,
                                         const void* data, std::uint32_t size) {
  if (const auto fault = world_.calls.Enter("RegSetValueExW")) return static_cast<std::int32_t>(*fault);
  std::int32_t status = kErrorSuccess;
  SimRegistryKey* found = Resolve(key, status);
  if (!found) return status;
  if (!data && size) return kErrorInvalidParameter;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  found->values[std::u16string(View(name))] = SimRegistryValue{type, {bytes, bytes + size}};
  return kErrorSuccess;
}

std::int32_t SimRegistry::RegDeleteValueW(RegKey key, const char16_t* name) {
  if (const auto fault = world_.calls.Enter("RegDeleteValueW")) return static_cast<std::int32_t>(*fault);
  std::int32_t status = kErrorSuccess;
  SimRegistryKey* found = Resolve(key, status);
  if (!found) return status;
  const auto value = found->values.find(View(name));
  if (value == found->values.end()) return kErrorFileNotFound;
  found->values.erase(value);
  return kErrorSuccess;
}

std::int32_t SimRegistry::RegDeleteKeyW(RegKey parent, const char16_t* subKey) {
  if (const auto fault = world_.calls.Enter("RegDeleteKeyW")) return static_cast<std::int32_t>(*fault);
  return DeleteKey(parent, subKey, 0);
}

std::int32_t SimRegistry::DeleteKeyInView(RegKey parent, const char16_t* subKey,
                                          std::uint32_t view) {
  return DeleteKey(parent, subKey, view);
}

std::int32_t SimRegistry::DeleteKey(RegKey parent, const char16_t* subKey, std::uint32_t access) {
  std::vector<std::u16string> parts = RegistryTree::Split(View(subKey));
  if (parts.empty()) return kErrorInvalidParameter;
  const std::u16string leaf = std::move(parts.back());
  parts.pop_back();
  std::u16string holderPath;
  for (const std::u16string& part : parts) holderPath += part + u"\\";
  std::int32_t status = kErrorSuccess;
  SimRegistryKey* holder = Walk(parent, holderPath.c_str(), access, false, status);
  if (!holder) return status;
  const auto it = holder->subkeys.find(leaf);
  if (it == holder->subkeys.end()) return kErrorFileNotFound;
  if (!it->second->subkeys.empty()) return kErrorAccessDenied;
  for (auto& [handle, open] : open_) {
    if (open.key == it->second.get()) open.stale = true;
  }
  holder->subkeys.erase(it);
  return kErrorSuccess;
}

std::int32_t SimRegistry::RegEnumKeyExW(RegKey key, std::uint32_t index, std::u16string& name) {
  if (const auto fault = world_.calls.Enter("RegEnumKeyExW")) return static_cast<std::int32_t>(*fault);
  std::int32_t status = kErrorSuccess;
  const SimRegistryKey* found = Resolve(key, status);
  if (!found) return status;
  if (index >= found->subkeys.size()) return kErrorNoMoreItems;
  name = std::next(found->subkeys.begin(), index)->first;
  return kErrorSuccess;
}

}  // namespace ejectra::platform::sim
