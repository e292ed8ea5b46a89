// A test that runs the core against a simulated machine. Every test ends by
// checking that the core released each device set and closed each key.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/machine_builder.h"
#include "platform/sim/sim_machine.h"

namespace ejectra::testing {

class SimTest : public ::testing::Test {
 protected:
  // Replaces the machine with what `builder` describes.
  void Use(const platform::sim::MachineBuilder& builder);
  void TearDown() override;

  platform::sim::MachineBuilder builder;
  platform::sim::SimMachine machine;
  platform::CoreServices os = machine.Services();
};

// Drive number of a letter.
constexpr int Drive(char16_t letter) { return letter - u'@'; }

}  // namespace ejectra::testing
