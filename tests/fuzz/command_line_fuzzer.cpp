// Any command line: split by the platform's rules, then parsed by the tools'
// grammar.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sim/command_line.h"
#include "tools/unplug_tool.h"

using namespace ejectra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string line;
  for (std::size_t i = 0; i + 1 < size; i += 2) line.push_back(char16_t(data[i] | data[i + 1] << 8));
  const auto args = platform::sim::SplitCommandLine(line);
  if (args.empty()) __builtin_trap();

  tools::UnplugOptions options;
  const bool parsed = tools::ParseArguments(args, options);
  if (options.driveMask >> 26) __builtin_trap();  // only A: to Z:
  if (options.driveMask && options.mode != tools::UnplugMode::ModeDrives) __builtin_trap();
  if (!options.deviceName.empty() && options.mode != tools::UnplugMode::ModeDevice) __builtin_trap();
  if (parsed && args.size() == 1) __builtin_trap();  // nothing asked is the usage

  for (const auto& arg : args) {
    std::uint32_t mask = 0xFFFFFFFF;
    if (tools::ParseDriveList(arg, mask) && (mask >> 26)) __builtin_trap();
  }
  return 0;
}
