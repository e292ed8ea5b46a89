// Any text as a machine description: parsed, written back (with its System
// log, when it carries a valid one), parsed again, and asked about every drive.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/pullcore.h"
#include "platform/sim/machine_file.h"
#include "platform/sim/sim_core_services.h"

using namespace ejectra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto machine = platform::sim::ParseMachine(text);
  if (!machine) return 0;
  const std::string written = platform::sim::WriteMachine(*machine);
  const auto again = platform::sim::ParseMachine(written);
  if (!again || platform::sim::WriteMachine(*again) != written) __builtin_trap();
  if (const auto log = platform::sim::ParseSystemLog(text)) {
    const std::string withLog = platform::sim::WriteMachine(*machine, *log);
    const auto logAgain = platform::sim::ParseSystemLog(withLog);
    if (!logAgain || platform::sim::WriteMachine(*again, *logAgain) != withLog) __builtin_trap();
  }

  platform::sim::SimWorld world(*std::move(machine));
  platform::sim::SimCoreServices sim(world);
  const platform::CoreServices os = sim.Services();
  for (int drive = 1; drive <= 26; ++drive) {
    char16_t name[256], description[256];
    core::IsRemovableHardwareDriveExW(os, drive, name, 256, description, 256);
    core::RemoveHardwareDrive(os, drive);
    core::EjectDriveMedia(os, drive);
  }
  if (sim.OpenSets() != 0 || sim.OpenKeys() != 0) __builtin_trap();
  if (world.kernelObjects.OpenHandles() != 0) __builtin_trap();
  return 0;
}
