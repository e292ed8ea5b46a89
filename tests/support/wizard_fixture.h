// A test that runs the shortcut wizard on a simulated world: the bundled
// sample machine, Pullcore.dll beside EjectraWizard.exe, the install folder
// in the registry, the wizard's string table, the simulated frame driven
// by a script, and a user interface that records what it was asked.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_windows.h"
#include "tests/support/tool_fixture.h"
#include "wizard/message_table.h"
#include "wizard/pages.h"

namespace ejectra::testing {

// The GDI and dialog side of the program, recorded: "SetBoldTitleFont page
// 16 1021", "RunAboutBox frame", "ShowIcon page 176 1008 C:\...\Ejectra.exe 0",
// "PickIcon page 176".
class FakeWizardUi final : public wizard::WizardUi {
 public:
  // Names the windows in the record.
  const platform::sim::SimWindows* windows = nullptr;
  std::vector<std::string> calls;
  // What the icon picker answers; nothing: the user cancels it.
  std::optional<std::pair<std::u16string, int>> pick;
  int dpi = 96;

  void RunAboutBox(platform::WindowHandle owner) override;
  void SetBoldTitleFont(platform::WindowHandle page, int id) override;
  void ShowIcon(platform::WindowHandle page, int id, const std::u16string& path,
                int index) override;
  bool PickIcon(platform::WindowHandle page, std::u16string& path, int& index) override;
  int ScreenDpi() override { return dpi; }

 private:
  std::string Name(platform::WindowHandle window) const;
};

// A shortcut on the desktop, as the pages' tests look at it.
struct WrittenShortcut {
  int drive = 0;            // from its argument, "E:"
  std::u16string name;      // its file name without ".lnk"
  std::u16string comment;
  std::u16string iconPath;
  int iconIndex = 0;
  friend bool operator==(const WrittenShortcut&, const WrittenShortcut&) = default;
};

class WizardTest : public ToolTest {
 public:
  static constexpr char16_t kWizardPath[] = u"C:\\Program Files\\Ejectra\\EjectraWizard.exe";
  static constexpr char16_t kTarget[] = u"C:\\Program Files\\Ejectra\\Ejectra.exe";
  // The buttons as a page leaves them: back, next, finish, cancel.
  static constexpr platform::sim::SimWizardButtons kOnlyNext{false, true, false, true};
  static constexpr platform::sim::SimWizardButtons kBackNext{true, true, false, true};
  static constexpr platform::sim::SimWizardButtons kOnlyBack{true, false, false, true};
  static constexpr platform::sim::SimWizardButtons kOnlyFinish{false, false, true, false};

 protected:
  WizardTest();

  // Runs the wizard once on the current world with the script; the frame's
  // result.
  std::intptr_t Run(std::vector<platform::sim::SimUserAction> script);
  // Makes the program, its windows, a frame and the sheet for a run.
  void Prepare();

  // The templates of the pages shown, in order.
  std::vector<int> Shown() const;
  int Current() const { return frame->Current(); }
  const platform::sim::SimWizardStep& Last() const { return frame->steps.back(); }
  // Control `id` of the page with template `dialog`.
  platform::sim::SimWindow& Control(int dialog, int id);
  const std::vector<platform::sim::SimMessageBox>& Boxes() const { return process->messageBoxes; }
  // The shortcuts on the desktop, in name order.
  std::vector<WrittenShortcut> Written() const;
  // The next save of a shortcut fails, and with it the write (12001).
  void FailNextShortcutWrite();

  // Given to the next run.
  std::map<std::uint32_t, std::u16string> strings = wizard::WizardMessageTable();
  std::u16string installDirectory = kProgramFolder;  // empty: no value

  // The last run.
  FakeWizardUi ui;
  std::unique_ptr<platform::sim::SimShellFolders> shell;
  std::unique_ptr<platform::sim::SimWindows> windows;
  std::unique_ptr<platform::sim::SimWizardFrame> frame;
  std::unique_ptr<wizard::WizardServices> services;
  std::unique_ptr<wizard::CEjectraSheet> sheet;
};

// Script actions, short.
using Act = platform::sim::SimUserAction;

}  // namespace ejectra::testing
