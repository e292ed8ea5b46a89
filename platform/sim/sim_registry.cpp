#include "platform/sim/sim_registry.h"

#include <cstring>
#include <functional>

#include "platform/sim/utf.h"

namespace ejectra::platform::sim {

namespace {

std::vector<std::u16string> Split(std::u16string_view path) {
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t slash = path.find(u'\\', start);
    const std::size_t end = slash == std::u16string_view::npos ? path.size() : slash;
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    if (slash == std::u16string_view::npos) break;
    start = slash + 1;
  }
  return parts;
}

}  // namespace

SimRegistry::SimRegistry() {
  roots_[kHkeyClassesRoot] = std::make_unique<SimRegKey>();
  roots_[kHkeyLocalMachine] = std::make_unique<SimRegKey>();
}

void SimRegistry::FailCall(std::string call, std::int32_t error, int skip) {
  faults_[std::move(call)] = {skip, error};
}

std::optional<std::int32_t> SimRegistry::Fault(const std::string& call) {
  const auto it = faults_.find(call);
  if (it == faults_.end()) return std::nullopt;
  if (it->second.first-- > 0) return std::nullopt;
  const std::int32_t error = it->second.second;
  faults_.erase(it);
  return error;
}

SimRegKey* SimRegistry::Resolve(RegKey key) {
  if (const auto root = roots_.find(key); root != roots_.end()) return root->second.get();
  const auto open = open_.find(key);
  return open == open_.end() ? nullptr : open->second;
}

SimRegKey* SimRegistry::Walk(SimRegKey* from, std::u16string_view path, bool create) {
  for (const std::u16string& part : Split(path)) {
    auto& child = from->subkeys[part];
    if (!child) {
      if (!create) {
        from->subkeys.erase(part);
        return nullptr;
      }
      child = std::make_unique<SimRegKey>();
    }
    from = child.get();
  }
  return from;
}

const SimRegKey* SimRegistry::Find(RegKey root, std::u16string_view path) const {
  const auto it = roots_.find(root);
  if (it == roots_.end()) return nullptr;
  const SimRegKey* key = it->second.get();
  for (const std::u16string& part : Split(path)) {
    const auto child = key->subkeys.find(part);
    if (child == key->subkeys.end()) return nullptr;
    key = child->second.get();
  }
  return key;
}

std::optional<std::u16string> SimRegistry::Text(RegKey root, std::u16string_view path,
                                                 std::u16string_view name) const {
  const SimRegKey* key = Find(root, path);
  if (!key) return std::nullopt;
  const auto value = key->values.find(std::u16string(name));
  if (value == key->values.end() || value->second.type != kRegSz) return std::nullopt;
  std::u16string text;
  const auto& data = value->second.data;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == u'\0') break;
    text += unit;
  }
  return text;
}

std::vector<std::u16string> SimRegistry::Keys(RegKey root) const {
  std::vector<std::u16string> paths;
  const std::function<void(const SimRegKey&, const std::u16string&)> visit =
      [&](const SimRegKey& key, const std::u16string& prefix) {
        for (const auto& [name, child] : key.subkeys) {
          const std::u16string path = prefix.empty() ? name : prefix + u"\\" + name;
          paths.push_back(path);
          visit(*child, path);
        }
      };
  visit(*roots_.at(root), u"");
  return paths;
}

std::int32_t SimRegistry::RegOpenKeyExW(RegKey root, const char16_t* subKey, std::uint32_t,
                                        std::uint32_t, RegKey* key) {
  if (const auto fault = Fault("RegOpenKeyExW")) return *fault;
  SimRegKey* parent = Resolve(root);
  if (!parent) return kErrorInvalidHandle;
  SimRegKey* found = Walk(parent, subKey ? subKey : u"", false);
  if (!found) return kErrorFileNotFound;
  *key = next_;
  next_ += 4;
  open_[*key] = found;
  return kErrorSuccess;
}

std::int32_t SimRegistry::RegCreateKeyExW(RegKey parent, const char16_t* subKey, std::uint32_t,
                                          RegKey* key) {
  if (const auto fault = Fault("RegCreateKeyExW")) return *fault;
  SimRegKey* from = Resolve(parent);
  if (!from) return kErrorInvalidHandle;
  *key = next_;
  next_ += 4;
  open_[*key] = Walk(from, subKey ? subKey : u"", true);
  return kErrorSuccess;
}

std::int32_t SimRegistry::RegQueryValueExW(RegKey key, const char16_t* valueName,
                                           std::uint32_t* type, void* data,
                                           std::uint32_t* size) {
  SimRegKey* found = Resolve(key);
  if (!found) return kErrorInvalidHandle;
  const auto value = found->values.find(valueName ? valueName : u"");
  if (value == found->values.end()) return kErrorFileNotFound;
  if (type) *type = value->second.type;
  if (!size) return kErrorSuccess;
  const auto needed = static_cast<std::uint32_t>(value->second.data.size());
  if (data && *size < needed) {
    *size = needed;
    return kErrorMoreData;
  }
  if (data && needed) std::memcpy(data, value->second.data.data(), needed);
  *size = needed;
  return kErrorSuccess;
}

std::int32_t SimRegistry::RegCloseKey(RegKey key) {
  return open_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

std::int32_t SimRegistry::RegSetValueExW(RegKey key, const char16_t* name, std::uint32_t type,
                                         const void* data, std::uint32_t size) {
  if (const auto fault = Fault("RegSetValueExW")) return *fault;
  SimRegKey* found = Resolve(key);
  if (!found) return kErrorInvalidHandle;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  found->values[name ? name : u""] = SimRegistryValue{type, {bytes, bytes + size}};
  return kErrorSuccess;
}

std::int32_t SimRegistry::RegDeleteValueW(RegKey key, const char16_t* name) {
  if (const auto fault = Fault("RegDeleteValueW")) return *fault;
  SimRegKey* found = Resolve(key);
  if (!found) return kErrorInvalidHandle;
  return found->values.erase(name ? name : u"") ? kErrorSuccess : kErrorFileNotFound;
}

std::int32_t SimRegistry::RegDeleteKeyW(RegKey parent, const char16_t* subKey) {
  if (const auto fault = Fault("RegDeleteKeyW")) return *fault;
  SimRegKey* from = Resolve(parent);
  if (!from || !subKey || !*subKey) return kErrorInvalidParameter;
  const auto parts = Split(subKey);
  if (parts.empty()) return kErrorInvalidParameter;
  std::u16string parentPath;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) parentPath += parts[i] + u"\\";
  SimRegKey* holder = Walk(from, parentPath, false);
  if (!holder) return kErrorFileNotFound;
  const auto it = holder->subkeys.find(parts.back());
  if (it == holder->subkeys.end()) return kErrorFileNotFound;
  if (!it->second->subkeys.empty()) return kErrorAccessDenied;
  for (auto open = open_.begin(); open != open_.end();) {  // handles to it go stale
    open = open->second == it->second.get() ? open_.erase(open) : std::next(open);
  }
  holder->subkeys.erase(it);
  return kErrorSuccess;
}

std::int32_t SimRegistry::RegEnumKeyExW(RegKey key, std::uint32_t index, std::u16string& name) {
  SimRegKey* found = Resolve(key);
  if (!found) return kErrorInvalidHandle;
  if (index >= found->subkeys.size()) return kErrorNoMoreRegItems;
  name = std::next(found->subkeys.begin(), index)->first;
  return kErrorSuccess;
}

}  // namespace ejectra::platform::sim
