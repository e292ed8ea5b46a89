// The registry on real Windows: every method forwards to the advapi32 call
// it is named after (the reads through Win32RegistryReader).
#pragma once

#include "platform/registry_services.h"
#include "platform/win32/win32_registry_reader.h"

namespace ejectra::platform::win32 {

class Win32Registry final : public Registry {
 public:
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
  Win32RegistryReader reader_;
};

}  // namespace ejectra::platform::win32
