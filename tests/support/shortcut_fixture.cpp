#include "tests/support/shortcut_fixture.h"

#include <variant>

#include "wizard/message_table.h"

namespace ejectra::testing {

using namespace platform;
using namespace platform::sim;

namespace {

// The shortcut logic reaches neither the pages' windows nor the program's
// own UI: every call fails.
class NoWindows final : public Windows {
 public:
  bool PostMessageW(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) override { return false; }
  WindowHandle GetParent(WindowHandle) override { return 0; }
  WindowHandle GetDlgItem(WindowHandle, int) override { return 0; }
  bool EnableWindow(WindowHandle, bool) override { return false; }
  bool CheckRadioButton(WindowHandle, int, int, int) override { return false; }
  std::uint32_t IsDlgButtonChecked(WindowHandle, int) override { return 0; }
  std::u16string GetDlgItemTextW(WindowHandle, int) override { return {}; }
  bool SetDlgItemTextW(WindowHandle, int, const char16_t*) override { return false; }
  void Edit_LimitText(WindowHandle, int) override {}
  bool LockWindowUpdate(WindowHandle) override { return false; }
  std::uint32_t ListView_GetExtendedListViewStyle(WindowHandle) override { return 0; }
  void ListView_SetExtendedListViewStyle(WindowHandle, std::uint32_t) override {}
  int ListView_InsertColumn(WindowHandle, int, const char16_t*, int, int) override { return -1; }
  bool ListView_DeleteAllItems(WindowHandle) override { return false; }
  int ListView_GetItemCount(WindowHandle) override { return 0; }
  int ListView_InsertItem(WindowHandle, int, const char16_t*) override { return -1; }
  bool ListView_SetItemParam(WindowHandle, int, std::intptr_t) override { return false; }
  std::intptr_t ListView_GetItemParam(WindowHandle, int) override { return 0; }
  bool ListView_SetItemText(WindowHandle, int, int, const char16_t*) override { return false; }
  std::u16string ListView_GetItemText(WindowHandle, int, int) override { return {}; }
  std::uint32_t ListView_GetSelectedCount(WindowHandle) override { return 0; }
  int ListView_GetNextItem(WindowHandle, int, std::uint32_t) override { return -1; }
};

class NoWizardUi final : public wizard::WizardUi {
 public:
  void RunAboutBox(WindowHandle) override {}
  void SetBoldTitleFont(WindowHandle, int) override {}
  void ShowIcon(WindowHandle, int, const std::u16string&, int) override {}
  bool PickIcon(WindowHandle, std::u16string&, int&) override { return false; }
  int ScreenDpi() override { return 96; }
};

NoWindows noWindows;
NoWizardUi noUi;

}  // namespace

ShortcutTest::ShortcutTest() { PrepareWizard(); }

void ShortcutTest::UseMachine(MachineState state, bool withLibrary) {
  shell.reset();
  ToolTest::UseMachine(std::move(state), withLibrary);
  PrepareWizard();
}

void ShortcutTest::PrepareWizard() {
  process->programPath = std::u16string(kProgramFolder) + u"\\EjectraWizard.exe";
  process->commandLine = u"\"" + process->programPath + u"\"";
  process->strings = wizard::WizardMessageTable();
  shell = std::make_unique<SimShellFolders>(*world);
  InstallSimShellLink(*world);
  SetInstallValue(kRegSz, EncodeUtf16le(kInstallDirectory, true));
}

void ShortcutTest::SetInstallValue(std::uint32_t type, std::vector<std::uint8_t> data) {
  world->machine.registry.Create(kHkeyLocalMachine, u"SOFTWARE\\Lumenfold\\Ejectra", world->processView)
      .values[u"InstallDirectory"] = SimRegistryValue{type, std::move(data)};
}

wizard::WizardServices ShortcutTest::Os() {
  return wizard::WizardServices{process->Services(), machine->Services().registry, *shell,
                                noWindows, noUi};
}

void ShortcutTest::TearDown() {
  EXPECT_EQ(machine->OpenKeys(), 0u) << "a registry key was not closed";
  EXPECT_EQ(shell->LiveIdLists(), 0u) << "an item ID list was not freed";
  EXPECT_EQ(world->calls.Pending(), std::vector<std::string>{}) << "a planned failure never came";
}

const SimShortcut* ShortcutAt(const SimWorld& world, std::u16string_view path) {
  const auto file = world.files.find(path);
  return file == world.files.end() ? nullptr : std::get_if<SimShortcut>(&file->second);
}

}  // namespace ejectra::testing
