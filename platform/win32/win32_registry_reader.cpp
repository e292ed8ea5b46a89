#include "platform/win32/win32_registry_reader.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace ejectra::platform::win32 {

static_assert(kRegSz == REG_SZ && kRegBinary == REG_BINARY && kRegDword == REG_DWORD);
static_assert(kKeyRead == KEY_READ && kKeyAllAccess == KEY_ALL_ACCESS);
static_assert(kKeyWow64_64Key == KEY_WOW64_64KEY && kKeyWow64_32Key == KEY_WOW64_32KEY);

// The predefined keys cast to whatever HKEY names where they are used; here
// that is the portable key type, so the header's own values are compared.
namespace checked {
using HKEY = RegKey;
static_assert(kHkeyClassesRoot == HKEY_CLASSES_ROOT && kHkeyCurrentUser == HKEY_CURRENT_USER &&
              kHkeyLocalMachine == HKEY_LOCAL_MACHINE);
}  // namespace checked

namespace {

HKEY Key(RegKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

std::int32_t Win32RegistryReader::RegOpenKeyExW(RegKey root, const char16_t* subKey,
                                          std::uint32_t options, std::uint32_t access,
                                          RegKey* key) {
  HKEY opened = nullptr;
  const LSTATUS status = ::RegOpenKeyExW(Key(root), Wide(subKey), options, access, &opened);
  if (status == ERROR_SUCCESS) *key = reinterpret_cast<RegKey>(opened);
  return status;
}

std::int32_t Win32RegistryReader::RegQueryValueExW(RegKey key, const char16_t* valueName,
                                             std::uint32_t* type, void* data,
                                             std::uint32_t* size) {
  DWORD nativeType = 0, nativeSize = size ? *size : 0;
  const LSTATUS status =
      ::RegQueryValueExW(Key(key), Wide(valueName), nullptr, type ? &nativeType : nullptr,
                         static_cast<BYTE*>(data), size ? &nativeSize : nullptr);
  if (type) *type = nativeType;
  if (size) *size = nativeSize;
  return status;
}

std::int32_t Win32RegistryReader::RegCloseKey(RegKey key) { return ::RegCloseKey(Key(key)); }

}  // namespace ejectra::platform::win32
