// A registry held in memory as a tree of keys, with the failures of the real
// one: deleting a key that has subkeys is refused, a missing key or value
// is ERROR_FILE_NOT_FOUND, and any call can be made to fail on request.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_services.h"
#include "platform/sim/machine_state.h"

namespace ejectra::platform::sim {

struct SimRegKey {
  std::map<std::u16string, SimRegistryValue, LessIgnoringAsciiCase> values;  // "" = default
  std::map<std::u16string, std::unique_ptr<SimRegKey>, LessIgnoringAsciiCase> subkeys;
};

class SimRegistry final : public Registry {
 public:
  SimRegistry();

  // The key at `path` below a root ("CLSID\{...}\LocalServer32"), or null.
  const SimRegKey* Find(RegKey root, std::u16string_view path) const;
  // The REG_SZ text of a value ("" for the default), if there is one.
  std::optional<std::u16string> Text(RegKey root, std::u16string_view path,
                                     std::u16string_view name = u"") const;
  // Every key below `root` as a path, depth first, in name order.
  std::vector<std::u16string> Keys(RegKey root) const;
  std::size_t OpenKeys() const { return open_.size(); }

  // The (skip + 1)-th next call named `call` ("RegSetValueExW", ...) fails with `error`.
  void FailCall(std::string call, std::int32_t error, int skip = 0);

  std::int32_t RegOpenKeyExW(RegKey root, const char16_t* subKey, std::uint32_t options,
                             std::uint32_t access, RegKey* key) override;
  std::int32_t RegQueryValueExW(RegKey key, const char16_t* valueName, std::uint32_t* type,
                                void* data, std::uint32_t* size) override;
  std::int32_t RegCloseKey(RegKey key) override;
  std::int32_t RegCreateKeyExW(RegKey parent, const char16_t* subKey, std::uint32_t access,
                               RegKey* key) override;
  std::int32_t RegSetValueExW(RegKey key, const char16_t* name, std::uint32_t type,
                              const void* data, std::uint32_t size) override;
  std::int32_t RegDeleteValueW(RegKey key, const char16_t* name) override;
  std::int32_t RegDeleteKeyW(RegKey parent, const char16_t* subKey) override;
  std::int32_t RegEnumKeyExW(RegKey key, std::uint32_t index, std::u16string& name) override;

 private:
  std::optional<std::int32_t> Fault(const std::string& call);
  SimRegKey* Resolve(RegKey key);
  SimRegKey* Walk(SimRegKey* from, std::u16string_view path, bool create);

  std::map<RegKey, std::unique_ptr<SimRegKey>> roots_;
  std::map<RegKey, SimRegKey*> open_;
  std::map<std::string, std::pair<int, std::int32_t>> faults_;
  RegKey next_ = 0x3000;
};

}  // namespace ejectra::platform::sim
