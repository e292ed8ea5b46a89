// A test that runs the core against a simulated world. Every test ends by
// checking that the core released each device set and closed each key, and
// that every planned failure came.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/machine_builder.h"
#include "platform/sim/sim_core_services.h"
#include "shared/drive.h"
#include "platform/sim/sim_world.h"

namespace ejectra::testing {

class SimTest : public ::testing::Test {
 protected:
  // Replaces the machine with what `builder` describes.
  void Use(const platform::sim::MachineBuilder& builder);
  void TearDown() override;

  platform::sim::MachineBuilder builder;
  platform::sim::SimWorld world;
  platform::sim::SimCoreServices machine{world};
  platform::CoreServices os = machine.Services();
};

// The nodes whose eject was asked for, in order.
std::vector<platform::DevInst> Ejected(const platform::sim::SimWorld& world);

// Drive number of a letter.
constexpr int DriveNumber(char16_t letter) { return letter - u'@'; }
// The drive of a letter, as the core's inner steps take it.
constexpr ejectra::Drive DriveOf(char16_t letter) { return *ejectra::Drive::FromLetter(letter); }

}  // namespace ejectra::testing
