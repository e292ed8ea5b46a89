// The hook helper's platform seams on real Windows: synchronisation objects
// and the registry, each method forwarding to the call it is named after.
#pragma once

#include "platform/hook_services.h"
#include "platform/registry_services.h"

namespace ejectra::platform::win32 {

class Win32Synchronization final : public Synchronization {
 public:
  Handle OpenMutexW(std::uint32_t access, bool inherit, const char16_t* name) override;
  std::uint32_t WaitForSingleObject(Handle object, std::uint32_t milliseconds) override;
  bool ReleaseMutex(Handle mutex) override;
  bool CloseHandle(Handle object) override;
  bool SetEvent(Handle event) override;
  void Sleep(std::uint32_t milliseconds) override;
  ErrorCode GetLastError() override;
};

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
};

}  // namespace ejectra::platform::win32
