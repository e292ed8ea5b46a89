// A test that runs the wizard's shortcut logic as EjectraWizard on a
// simulated world: the bundled sample machine with Pullcore.dll beside the
// program, Ejectra's InstallDirectory value, the shell with its link class,
// and the wizard's string table. Every test ends by checking that each key
// was closed, each item ID list freed and each planned failure came.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_shell.h"
#include "tests/support/tool_fixture.h"
#include "wizard/wizard_services.h"

namespace ejectra::testing {

class ShortcutTest : public ToolTest {
 public:
  static constexpr char16_t kInstallDirectory[] = u"C:\\Program Files\\Ejectra\\";
  static constexpr char16_t kTarget[] = u"C:\\Program Files\\Ejectra\\Ejectra.exe";
  static constexpr char16_t kDesktop[] = u"C:\\Users\\user\\Desktop";
  static constexpr platform::WindowHandle kOwner = 0x20020;

 protected:
  ShortcutTest();
  void TearDown() override;
  // A fresh world as ToolTest's, made ready for the wizard again.
  void UseMachine(platform::sim::MachineState state, bool withLibrary = true);

  // The InstallDirectory value as raw data of `type`.
  void SetInstallValue(std::uint32_t type, std::vector<std::uint8_t> data);
  wizard::WizardServices Os();
  const std::vector<platform::sim::SimMessageBox>& Boxes() const { return process->messageBoxes; }

  std::unique_ptr<platform::sim::SimShellFolders> shell;

 private:
  void PrepareWizard();
};

// The file at `path` as a shortcut, or null.
const platform::sim::SimShortcut* ShortcutAt(const platform::sim::SimWorld& world,
                                             std::u16string_view path);

}  // namespace ejectra::testing
