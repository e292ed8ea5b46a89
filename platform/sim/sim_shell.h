// The shell on a simulated world: the current user's desktop folder, which
// files and folders exist, and the shell's link class, whose objects save
// shortcuts into the world's files. Calls are logged by name and fail as
// planned: with the planned HRESULT, false for SHGetPathFromIDListW, and
// the planned last error for GetFileAttributesW.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/shell_services.h"
#include "platform/sim/sim_world.h"

namespace ejectra::platform::sim {

class SimShellFolders final : public ShellFolders {
 public:
  explicit SimShellFolders(SimWorld& world) : world_(world) {
    world.calls.Know({"GetFileAttributesW", "ILFree", "SHGetPathFromIDListW", "SHGetSpecialFolderLocation"});
  }
  SimShellFolders(const SimShellFolders&) = delete;
  SimShellFolders& operator=(const SimShellFolders&) = delete;

  // The item ID lists handed out and not yet freed.
  std::size_t LiveIdLists() const { return lists_.size(); }

  // Knows CSIDL_DESKTOPDIRECTORY only.
  Hresult SHGetSpecialFolderLocation(WindowHandle owner, int folder, ItemIdList* list) override;
  bool SHGetPathFromIDListW(ItemIdList list, char16_t* path) override;
  void ILFree(ItemIdList list) override;
  // A file of the world's, or a folder that the desktop or a file lies in.
  std::uint32_t GetFileAttributesW(const char16_t* path) override;

 private:
  bool IsFolder(std::u16string_view path) const;

  SimWorld& world_;
  std::map<ItemIdList, std::u16string> lists_;  // the folder each list stands for
  ItemIdList nextList_ = 0x3000;
};

// Registers the shell's link class (an InprocServer32 key in both registry
// views) and gives the world its code: objects with IShellLinkW and
// IPersistFile whose calls are logged as "IShellLinkW::SetPath" (the value
// as the detail) and so on, and whose Save writes the shortcut to the
// world's files. Without it the class is not registered.
void InstallSimShellLink(SimWorld& world);

}  // namespace ejectra::platform::sim
