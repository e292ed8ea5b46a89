#include "tests/support/tool_fixture.h"

#include <fstream>
#include <sstream>

#include "platform/sim/machine_file.h"
#include "tests/support/sim_fixture.h"
#include "tools/console/console_unplug_tool.h"
#include "tools/message_table.h"
#include "tools/windowless/windowless_unplug_tool.h"

namespace ejectra::testing {

using namespace platform::sim;

ToolTest::ToolTest() { UseMachine(SampleMachine()); }

MachineState ToolTest::SampleMachine() {
  std::ifstream file(EJECTRA_SAMPLE_MACHINE, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  auto state = ParseMachine(text.str());
  EXPECT_TRUE(state) << "the sample machine does not parse";
  return state ? *std::move(state) : MachineState{};
}

void ToolTest::UseMachine(MachineState state, bool withLibrary) {
  process.reset();
  machine.reset();
  world = std::make_unique<SimWorld>();
  world->machine = std::move(state);
  machine = std::make_unique<SimCoreServices>(*world);
  process = std::make_unique<SimProcess>(*world);
  if (withLibrary) InstallPullcore(kLibraryPath);
}

void ToolTest::InstallPullcore(std::u16string path, unsigned exports) {
  world->libraries[std::move(path)] = SimPullcoreLibrary(*machine, exports);
}

std::vector<platform::DevInst> ToolTest::Ejected() const { return testing::Ejected(*world); }

namespace {

void Prepare(SimProcess& process, std::u16string_view program, std::u16string_view arguments,
             const tools::MessageTable& table) {
  process.programPath = std::u16string(ToolTest::kProgramFolder) + u"\\" + std::u16string(program);
  process.commandLine = u"\"" + process.programPath + u"\"";
  if (!arguments.empty()) process.commandLine += u" " + std::u16string(arguments);
  process.strings = table;
  SimVersionResource version;
  version.fixed.dwSignature = 0xFEEF04BD;
  version.fixed.dwFileVersionMS = 0x0001000A;  // 1.10
  version.fixed.dwFileVersionLS = 0x00700000;  // .112.0
  version.translations = {0x04B00411};
  version.strings[u"\\StringFileInfo\\041104b0\\LegalCopyright"] =
      u"Copyright (C) 2026 Lumenfold. All rights reserved.";
  process.versions[process.programPath] = version;
}

}  // namespace

int ToolTest::RunConsole(std::u16string_view arguments) {
  Prepare(*process, u"ejectrac.exe", arguments, tools::ConsoleMessageTable());
  return tools::RunConsoleTool(process->Services());
}

int ToolTest::RunWindowless(std::u16string_view arguments) {
  Prepare(*process, u"Ejectra.exe", arguments, tools::WindowlessMessageTable());
  return tools::RunWindowlessTool(process->Services());
}

std::u16string ToolTest::Said() const {
  const std::u16string all = Stdout();
  const std::u16string_view banner = kBanner;
  EXPECT_EQ(all.substr(0, banner.size()), banner);
  return all.substr(std::min(all.size(), banner.size()));
}

}  // namespace ejectra::testing
