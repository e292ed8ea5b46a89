// Read access to the registry on real Windows: the three advapi32 calls a
// reader needs and no more, so that a program that only reads links no
// call that writes or deletes.
#pragma once

#include "platform/core_services.h"

namespace ejectra::platform::win32 {

class Win32RegistryReader final : public RegistryReader {
 public:
  std::int32_t RegOpenKeyExW(RegKey root, const char16_t* subKey, std::uint32_t options,
                             std::uint32_t access, RegKey* key) override;
  std::int32_t RegQueryValueExW(RegKey key, const char16_t* valueName, std::uint32_t* type,
                                void* data, std::uint32_t* size) override;
  std::int32_t RegCloseKey(RegKey key) override;
};

}  // namespace ejectra::platform::win32
