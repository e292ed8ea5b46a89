// The shell's folders on real Windows: every method forwards to the shell32
// or kernel32 call it is named after.
#pragma once

#include "platform/shell_services.h"

namespace ejectra::platform::win32 {

class Win32ShellFolders final : public ShellFolders {
 public:
  Hresult SHGetSpecialFolderLocation(WindowHandle owner, int folder, ItemIdList* list) override;
  bool SHGetPathFromIDListW(ItemIdList list, char16_t* path) override;
  void ILFree(ItemIdList list) override;
  std::uint32_t GetFileAttributesW(const char16_t* path) override;
};

}  // namespace ejectra::platform::win32
