// The hook helper's server on a simulated world, as the tools meet it: its
// class registered (or not), and objects whose StartHook and StopHook are
// logged by name and answer S_OK unless planned to fail.
#pragma once

#include "platform/sim/sim_world.h"

namespace ejectra::testing {

// Registers the class with a LocalServer32 key; with `serves`, the world
// also runs the server's code, otherwise its program cannot start.
void InstallSimHookHelper(platform::sim::SimWorld& world, bool serves = true);

}  // namespace ejectra::testing
