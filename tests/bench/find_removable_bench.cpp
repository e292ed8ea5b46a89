// The cost of one search for a removable drive on machines of growing size.
// The simulated machine answers every platform call in memory and Sleep
// advances a virtual clock, so the figures are the core's own work; the
// 10 ms pause per disk examined is reported as a counter instead.
#include <benchmark/benchmark.h>

#include "core/removal.h"
#include "platform/sim/machine_builder.h"
#include "platform/sim/sim_machine.h"

namespace {

using namespace ejectra;

// `disks` USB sticks, each with one volume; the drive asked for is the last
// one enumerated, so the scans run their whole length.
void FindRemovableDevice_LastOfN(benchmark::State& state) {
  const auto disks = static_cast<int>(state.range(0));
  platform::sim::MachineBuilder builder;
  for (int i = 0; i < disks; ++i) builder.AddUsbStick(i + 1 == disks ? u'E' : u'Y', u"Stick");
  platform::sim::SimMachine machine(builder.Build());
  const platform::CoreServices os = machine.Services();

  for (auto _ : state) {
    core::DeviceNode device, parent;
    benchmark::DoNotOptimize(core::FindRemovableDevice(os, 5, device, parent));
  }
  state.counters["virtual_pause_ms"] = static_cast<double>(machine.NowMilliseconds()) /
                                       static_cast<double>(state.iterations());
  state.SetComplexityN(disks);
}
BENCHMARK(FindRemovableDevice_LastOfN)->Arg(10)->Arg(100)->Arg(1000)->Complexity();

// A drive that only the mount record reaches: both paths run in full.
void FindRemovableDevice_MountRecordOnly(benchmark::State& state) {
  const auto disks = static_cast<int>(state.range(0));
  platform::sim::MachineBuilder builder;
  for (int i = 0; i < disks; ++i) builder.AddUsbStick(i + 1 == disks ? u'E' : u'Y', u"Stick");
  builder.DosDevice(u"E:", {u"\\Device\\Unknown"});
  platform::sim::SimMachine machine(builder.Build());
  const platform::CoreServices os = machine.Services();

  for (auto _ : state) {
    core::DeviceNode device, parent;
    benchmark::DoNotOptimize(core::FindRemovableDevice(os, 5, device, parent));
  }
  state.SetComplexityN(disks);
}
BENCHMARK(FindRemovableDevice_MountRecordOnly)->Arg(10)->Arg(100)->Arg(1000)->Complexity();

}  // namespace

BENCHMARK_MAIN();
