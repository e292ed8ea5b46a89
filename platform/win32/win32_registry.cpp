#include "platform/win32/win32_registry.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace ejectra::platform::win32 {

namespace {

HKEY Key(RegKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

std::int32_t Win32Registry::RegOpenKeyExW(RegKey root, const char16_t* subKey,
                                          std::uint32_t options, std::uint32_t access,
                                          RegKey* key) {
  return reader_.RegOpenKeyExW(root, subKey, options, access, key);
}

std::int32_t Win32Registry::RegQueryValueExW(RegKey key, const char16_t* valueName,
                                             std::uint32_t* type, void* data,
                                             std::uint32_t* size) {
  return reader_.RegQueryValueExW(key, valueName, type, data, size);
}

std::int32_t Win32Registry::RegCloseKey(RegKey key) { return reader_.RegCloseKey(key); }

std::int32_t Win32Registry::RegCreateKeyExW(RegKey parent, const char16_t* subKey,
                                            std::uint32_t access, RegKey* key) {
  HKEY created = nullptr;
  const LSTATUS status = ::RegCreateKeyExW(Key(parent), Wide(subKey), 0, nullptr, 0, access,
                                           nullptr, &created, nullptr);
  if (status == ERROR_SUCCESS) *key = reinterpret_cast<RegKey>(created);
  return status;
}

std::int32_t Win32Registry::RegSetValueExW(RegKey key, const char16_t* name, std::uint32_t type,
                                           const void* data, std::uint32_t size) {
  return ::RegSetValueExW(Key(key), (name && *name) ? Wide(name) : nullptr, 0, type,
                          static_cast<const BYTE*>(data), size);
}

std::int32_t Win32Registry::RegDeleteValueW(RegKey key, const char16_t* name) {
  return ::RegDeleteValueW(Key(key), Wide(name));
}

std::int32_t Win32Registry::RegDeleteKeyW(RegKey parent, const char16_t* subKey) {
  return ::RegDeleteKeyW(Key(parent), Wide(subKey));
}

std::int32_t Win32Registry::RegEnumKeyExW(RegKey key, std::uint32_t index, std::u16string& name) {
  wchar_t buffer[256];  // a key name has at most 255 characters
  DWORD length = 256;
  const LSTATUS status =
      ::RegEnumKeyExW(Key(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) name.assign(Utf16(buffer), length);
  return status;
}

}  // namespace ejectra::platform::win32
