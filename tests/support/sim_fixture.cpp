#include "tests/support/sim_fixture.h"

namespace ejectra::testing {

void SimTest::Use(const platform::sim::MachineBuilder& from) {
  machine = platform::sim::SimMachine(from.Build());
}

void SimTest::TearDown() {
  const auto& record = machine.Record();
  EXPECT_EQ(machine.OpenSets(), 0u) << "a device information set was not released";
  EXPECT_EQ(record.setsOpened.size(), record.setsReleased.size());
  EXPECT_EQ(machine.OpenKeys(), 0u) << "a registry key was not closed";
  for (const auto owner : record.setOwners) {
    EXPECT_EQ(owner, platform::sim::SimMachine::kDesktopWindow);
  }
}

}  // namespace ejectra::testing
