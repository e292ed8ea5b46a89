// A test that runs an unplug tool as a program on a simulated world: the
// bundled sample machine unless the test builds its own, the tool's own
// string table and version resource, and Pullcore.dll beside the program.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/sim/machine_builder.h"
#include "platform/sim/sim_core_services.h"
#include "platform/sim/sim_process.h"
#include "platform/sim/sim_world.h"
#include "tests/support/sim_pullcore.h"

namespace ejectra::testing {

class ToolTest : public ::testing::Test {
 public:
  static constexpr char16_t kProgramFolder[] = u"C:\\Program Files\\Ejectra";
  static constexpr char16_t kLibraryPath[] = u"C:\\Program Files\\Ejectra\\PULLCORE.DLL";

 protected:
  ToolTest();
  // A fresh world (and process) for the next run, with or without
  // Pullcore.dll beside the program.
  void UseMachine(platform::sim::MachineState state, bool withLibrary = true);
  // Places a simulated Pullcore.dll with the given exports at `path`.
  void InstallPullcore(std::u16string path, unsigned exports = kExportAll);

  // Runs ejectrac or Ejectra with the arguments; returns the exit code.
  int RunConsole(std::u16string_view arguments);
  int RunWindowless(std::u16string_view arguments);

  std::u16string Stdout() const { return process->StdoutText(); }
  // Standard output after the banner.
  std::u16string Said() const;
  std::vector<platform::DevInst> Ejected() const;

  static platform::sim::MachineState SampleMachine();

  std::unique_ptr<platform::sim::SimWorld> world;
  std::unique_ptr<platform::sim::SimCoreServices> machine;
  std::unique_ptr<platform::sim::SimProcess> process;
};

// The console banner of the version resource the fixture gives ejectrac.
inline constexpr char16_t kBanner[] =
    u"Ejectra (Console) Version 1.10\nCopyright (C) 2026 Lumenfold. All rights reserved.\n\n\n";

}  // namespace ejectra::testing
