// The registry calls on a simulated world's registry, with the failures of
// the real ones: a missing key or value is ERROR_FILE_NOT_FOUND, deleting a
// key that has subkeys is refused, a deleted key's handles go stale, a
// value that does not fit answers ERROR_MORE_DATA with its size. Each call
// is logged by its name, and fails with a planned LSTATUS.
#pragma once

#include <map>

#include "platform/registry_services.h"
#include "platform/sim/sim_world.h"

namespace ejectra::platform::sim {

class SimRegistry final : public Registry {
 public:
  explicit SimRegistry(SimWorld& world) : world_(world) {
    world.calls.Know({"RegCloseKey", "RegCreateKeyExW", "RegDeleteKeyW", "RegDeleteValueW", "RegEnumKeyExW", "RegOpenKeyExW", "RegQueryValueExW", "RegSetValueExW"});
  }
  SimRegistry(const SimRegistry&) = delete;
  SimRegistry& operator=(const SimRegistry&) = delete;

  std::size_t OpenKeys() const { return open_.size(); }

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
  // RegDeleteKeyExW, which no program calls, for a test's clean-up: the
  // key in the view `view` names; not logged, never fails by plan.
  std::int32_t DeleteKeyInView(RegKey parent, const char16_t* subKey, std::uint32_t view);
  std::int32_t RegEnumKeyExW(RegKey key, std::uint32_t index, std::u16string& name) override;

 private:
  struct Handed {
    SimRegistryKey* key;
    bool stale = false;  // the key was deleted
  };

  // The key a handle or predefined key stands for; null when there is none.
  SimRegistryKey* Resolve(RegKey key, std::int32_t& status);
  // The key `subKey` below `parent`, through the view `access` asks for.
  SimRegistryKey* Walk(RegKey parent, const char16_t* subKey, std::uint32_t access, bool create,
                       std::int32_t& status);
  RegKey Hand(SimRegistryKey* key);
  // RegOpenKeyExW, or with `create` RegCreateKeyExW.
  std::int32_t Open(std::string_view call, RegKey parent, const char16_t* subKey,
                    std::uint32_t access, bool create, RegKey* key);
  std::int32_t DeleteKey(RegKey parent, const char16_t* subKey, std::uint32_t access);

  SimWorld& world_;
  std::map<RegKey, Handed> open_;
  RegKey next_ = 0x2000;
};

}  // namespace ejectra::platform::sim
