// The registry as the hook helper's registration writes it: every method
// named after and behaving as the advapi32 call it forwards, returning the
// LSTATUS.
#pragma once

#include <cstdint>
#include <string>

#include "platform/core_services.h"

namespace ejectra::platform {

class Registry : public RegistryReader {
 public:
  virtual std::int32_t RegCreateKeyExW(RegKey parent, const char16_t* subKey,
                                       std::uint32_t access, RegKey* key) = 0;
  // `name` null or empty: the key's default value.
  virtual std::int32_t RegSetValueExW(RegKey key, const char16_t* name, std::uint32_t type,
                                      const void* data, std::uint32_t size) = 0;
  virtual std::int32_t RegDeleteValueW(RegKey key, const char16_t* name) = 0;
  // Refuses a key that has subkeys. A 32-bit program's RegDeleteKeyW is
  // redirected to the 32-bit view even below a key opened in the 64-bit one.
  virtual std::int32_t RegDeleteKeyW(RegKey parent, const char16_t* subKey) = 0;
  // The name of subkey `index`; ERROR_NO_MORE_ITEMS past the last.
  virtual std::int32_t RegEnumKeyExW(RegKey key, std::uint32_t index, std::u16string& name) = 0;
};

}  // namespace ejectra::platform
