#include "tests/support/sim_fixture.h"

#include "platform/sim/utf.h"

namespace ejectra::testing {

using namespace platform::sim;

void SimTest::Use(const MachineBuilder& from) { machine.State() = from.Build(); }

void SimTest::TearDown() {
  EXPECT_EQ(machine.OpenSets(), 0u) << "a device information set was not released";
  EXPECT_EQ(machine.OpenKeys(), 0u) << "a registry key was not closed";
  EXPECT_EQ(machine.OpenEventHandles(), 0u) << "an event-log handle was not closed";
  EXPECT_EQ(world.calls.Pending(), std::vector<std::string>{}) << "a planned failure never came";
  for (const std::string& owner : world.calls.Details("SetupDiGetClassDevsW")) {
    EXPECT_EQ(owner, "owner 0x10010") << "a set was not owned by the desktop window";
  }
}

std::vector<platform::DevInst> Ejected(const SimWorld& world) {
  std::vector<platform::DevInst> nodes;
  for (const std::string& id : world.calls.Details("CM_Request_Device_EjectW")) {
    nodes.push_back(world.machine.Find(Utf8ToUtf16(id).value_or(u"")));
  }
  return nodes;
}

}  // namespace ejectra::testing
