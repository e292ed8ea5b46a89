// The wizard's product: a desktop shortcut that starts Ejectra.exe with one
// drive letter, written through the shell's link object.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/owners.h"
#include "platform/shell_services.h"
#include "wizard/wizard_services.h"

namespace ejectra::wizard {

// The description of one shortcut.
struct CShortcutInfo {
  std::u16string targetPath;
  platform::ItemIdList idList = 0;  // never set by the wizard
  std::u16string arguments;
  std::u16string description;
  std::uint16_t hotkey = 0;
  std::u16string iconPath;
  int iconIndex = 0;
  int showCommand = platform::kSwShow;
  std::u16string workingDirectory;
};

// One shortcut file written through the shell's link object.
class CShortcut {
 public:
  explicit CShortcut(const CShortcutInfo& info) : info_(info) {}
  ~CShortcut();
  CShortcut(const CShortcut&) = delete;
  CShortcut& operator=(const CShortcut&) = delete;

  // Makes the link object and its IPersistFile; false when either cannot
  // be had.
  bool Initialize(platform::Com& com);
  // Gives the link every property of the info, in a fixed order, and saves
  // it as `file`, replacing a file of that name; false at the first
  // refusal.
  bool Save(const std::u16string& file);
  // Whether Save wrote the file.
  bool IsCreated() const { return created_; }

 private:
  CShortcutInfo info_;
  platform::ComPtr<platform::IShellLinkWMirror> link_;
  platform::ComPtr<platform::IPersistFileMirror> persistFile_;
  bool created_ = false;
};

// The unplug tool's folder: the InstallDirectory value of
// HKLM\SOFTWARE\Lumenfold\Ejectra (REG_SZ or REG_EXPAND_SZ, NUL-terminated,
// taken as it stands), or empty.
std::u16string GetInstallDirectory(platform::RegistryReader& registry);

// Ejectra.exe in the unplug tool's folder, joined as PathAppendW joins
// them ("Ejectra.exe" alone when there is no folder): the target of every
// shortcut and its default icon.
std::u16string DefaultTarget(platform::RegistryReader& registry);

// The current user's desktop folder; false leaves `path` as it was.
bool GetDesktopDirectory(platform::ShellFolders& shell, platform::WindowHandle owner,
                         std::u16string& path);

// Writes the shortcut for drive `drive` (1 = A:) named `name` on the
// desktop: target Ejectra.exe in the install folder, argument "E:", the
// comment, the icon (`iconPath` null: the target's icon `iconIndex`). The
// file is ShortcutFileName(desktop, name); an existing *.lnk of that name
// is replaced, any other file or folder is kept and nothing is written.
// Shows message 11001 (a forbidden character) or 12001 itself and answers
// false when it wrote nothing.
bool CreateDriveShortcut(const WizardServices& os, platform::WindowHandle owner, int drive,
                         std::u16string_view name, std::u16string_view comment,
                         const std::u16string* iconPath, int iconIndex);

// The automatic mode: one shortcut, with the default name and comment, for
// every removable drive, each drive asked about just before its shortcut is
// written. True when every one was written and there was at least one; at
// the first that fails it stops (the shortcuts written before stay, the later
// drives are not asked about) and answers false; message 11002, and false,
// when there was none to write.
bool CreateShortcutsForAllDrives(const WizardServices& os, platform::WindowHandle owner);

}  // namespace ejectra::wizard
