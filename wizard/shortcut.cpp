#include "wizard/shortcut.h"

#include <array>
#include <vector>

#include "platform/text.h"
#include "shared/drive.h"
#include "shared/message_format.h"
#include "shared/pullcore_library.h"
#include "shared/removable_drives.h"
#include "wizard/message_ids.h"
#include "wizard/shortcut_path.h"

namespace ejectra::wizard {

using namespace platform;

namespace {

constexpr char16_t kInstallKey[] = u"SOFTWARE\\Lumenfold\\Ejectra";
constexpr char16_t kInstallValue[] = u"InstallDirectory";
constexpr char16_t kUnplugProgram[] = u"Ejectra.exe";
constexpr int kTrue = 1;

bool IsText(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz; }

void ShowMessage(const WizardServices& os, WindowHandle owner, MessageId id, std::uint32_t style) {
  const std::u16string text = os.process.modules.LoadStringW(id);
  const std::u16string caption = os.process.modules.LoadStringW(kMsgProductName);
  os.process.output.MessageBoxW(owner, text.c_str(), caption.c_str(), style);
}

// Whether saving as `file` would replace what is not a shortcut: a folder,
// or a file under any name but *.lnk, such as the user's own document that
// the extension rule left as typed ("report.txt").
bool WouldReplaceOtherFile(ShellFolders& shell, std::u16string_view file) {
  const std::uint32_t attributes = shell.GetFileAttributesW(std::u16string(file).c_str());
  if (attributes == kInvalidFileAttributes) return false;
  const bool isLink = file.size() >= 4 && EqualsIgnoringAsciiCase(file.substr(file.size() - 4), u".lnk");
  return (attributes & kFileAttributeDirectory) != 0 || !isLink;
}

// Everything CreateDriveShortcut does but its messages.
bool WriteDriveShortcut(const WizardServices& os, WindowHandle owner, int drive,
                        std::u16string_view name, std::u16string_view comment,
                        const std::u16string* iconPath, int iconIndex) {
  const std::optional<Drive> letter = Drive::FromNumber(drive);
  if (!letter) return false;
  CShortcutInfo info;
  info.targetPath = DefaultTarget(os.registry);
  info.arguments = letter->Name();
  info.description = comment;
  info.iconPath = iconPath ? *iconPath : info.targetPath;
  info.iconIndex = iconIndex;
  info.workingDirectory = GetInstallDirectory(os.registry);

  // The file lands on the desktop or nowhere: without the desktop folder the
  // name alone would put it in whatever folder is current. An empty name or
  // one of dots and blanks fails here too, as a failed write (message
  // 12001): message 11001 would blame characters it does not hold.
  std::u16string desktop;
  if (!GetDesktopDirectory(os.shell, owner, desktop)) return false;
  const std::optional<std::u16string> file = ShortcutFileName(desktop, name);
  if (!file || WouldReplaceOtherFile(os.shell, *file)) return false;

  CShortcut shortcut(info);
  return shortcut.Initialize(os.process.com) && shortcut.Save(*file);
}

}  // namespace

CShortcut::~CShortcut() {
  // The IPersistFile goes before the IShellLinkW it was asked of.
  persistFile_.reset();
  link_.reset();
}

bool CShortcut::Initialize(Com& com) {
  return com.CoCreateInstance(kClsidShellLink, kClsctxAll, kIidIShellLinkW, link_.put_void()) >= 0 &&
         link_ && link_->QueryInterface(kIidIPersistFile, persistFile_.put_void()) >= 0 &&
         persistFile_;
}

bool CShortcut::Save(const std::u16string& file) {
  if (!link_ || !persistFile_) return false;
  IShellLinkWMirror& link = *link_.get();
  const bool described =
      (info_.idList ? link.SetIDList(info_.idList) : link.SetPath(info_.targetPath.c_str())) >= 0 &&
      link.SetWorkingDirectory(info_.workingDirectory.c_str()) >= 0 &&
      link.SetIconLocation(info_.iconPath.c_str(), info_.iconIndex) >= 0 &&
      link.SetDescription(info_.description.c_str()) >= 0 &&
      link.SetArguments(info_.arguments.c_str()) >= 0 &&
      link.SetHotkey(info_.hotkey) >= 0 &&
      link.SetShowCmd(info_.showCommand) >= 0;
  created_ = described && persistFile_->Save(file.c_str(), kTrue) >= 0;
  return created_;
}

std::u16string GetInstallDirectory(RegistryReader& registry) {
  UniqueRegKey key(registry);
  if (registry.RegOpenKeyExW(kHkeyLocalMachine, kInstallKey, 0, kKeyRead, key.put()) != kErrorSuccess) {
    return {};
  }
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (registry.RegQueryValueExW(key.get(), kInstallValue, &type, nullptr, &size) != kErrorSuccess ||
      !IsText(type)) {
    return {};
  }
  std::vector<char16_t> text(size / 2 + 1, u'\0');
  std::uint32_t read = static_cast<std::uint32_t>(text.size() * sizeof(char16_t));
  if (registry.RegQueryValueExW(key.get(), kInstallValue, &type, text.data(), &read) != kErrorSuccess ||
      !IsText(type)) {
    return {};
  }
  // Whole 16-bit units, the last of them NUL.
  if (read % 2 != 0 || read == 0 || text[read / 2 - 1] != u'\0') return {};
  return TextUpToNul(text.data(), read / 2);
}

std::u16string DefaultTarget(RegistryReader& registry) {
  return PathAppend(GetInstallDirectory(registry), kUnplugProgram);
}

bool GetDesktopDirectory(ShellFolders& shell, WindowHandle owner, std::u16string& path) {
  UniqueItemIdList list(shell);
  if (shell.SHGetSpecialFolderLocation(owner, kCsidlDesktopDirectory, list.put()) < 0) return false;
  std::array<char16_t, kMaxPath> buffer{};
  if (!shell.SHGetPathFromIDListW(list.get(), buffer.data())) return false;
  path = TextUpToNul(buffer.data(), buffer.size());
  return true;
}

bool CreateDriveShortcut(const WizardServices& os, WindowHandle owner, int drive,
                         std::u16string_view name, std::u16string_view comment,
                         const std::u16string* iconPath, int iconIndex) {
  if (HasForbiddenCharacter(name)) {
    ShowMessage(os, owner, kMsgForbiddenCharacter, kMbIconError);
    return false;
  }
  if (!WriteDriveShortcut(os, owner, drive, name, comment, iconPath, iconIndex)) {
    ShowMessage(os, owner, kMsgShortcutFailed, kMbIconError);
    return false;
  }
  return true;
}

bool CreateShortcutsForAllDrives(const WizardServices& os, WindowHandle owner) {
  const CPullcoreLibrary library(os.process, true);
  if (!library.IsLoaded()) return false;
  Modules& modules = os.process.modules;
  RemovableDriveScan scan(os.process.process.GetLogicalDrives(), library);
  int written = 0;
  while (const auto found = scan.Next()) {
    const std::u16string name =
        FormatMessageTemplate(modules.LoadStringW(kMsgShortcutName), {found->drive.Letter()});
    const std::u16string comment = FormatMessageTemplate(
        modules.LoadStringW(kMsgShortcutComment), {found->name, found->description});
    if (!CreateDriveShortcut(os, owner, found->drive.Number(), name, comment, nullptr, 0)) {
      return false;  // the shortcuts written so far stay; the later drives are not asked
    }
    ++written;
  }
  if (written == 0) {
    ShowMessage(os, owner, kMsgNoRemovableDrive, kMbOk);
    return false;
  }
  return true;
}

}  // namespace ejectra::wizard
