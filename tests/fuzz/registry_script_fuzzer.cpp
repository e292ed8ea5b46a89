// Any text as a registration script: parsed, written to a simulated
// registry, and removed again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "helper/registry_script.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_world.h"

using namespace ejectra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string text(data, data + size);  // the scripts are ASCII
  const auto keys = helper::ParseRegistryScript(text, {{u"APPID", u"{A}"}, {u"MODULE", u"\"C:\\x.exe\""}});
  if (!keys) return 0;
  platform::sim::SimWorld world;
  platform::sim::SimRegistry registry(world);
  if (helper::WriteRegistryScript(registry, *keys) == 0) {
    helper::RemoveRegistryScript(registry, *keys);
  }
  if (registry.OpenKeys() != 0) __builtin_trap();
  return 0;
}
