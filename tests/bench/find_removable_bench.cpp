// The cost of one search for a removable drive on machines of growing size.
// The simulated machine answers every platform call in memory and Sleep
// advances a virtual clock, so the figures are the core's own work; the
// 10 ms pause per disk examined is reported as a counter instead.
#include <benchmark/benchmark.h>

#include "core/removable_device.h"
#include "platform/sim/machine_builder.h"
#include "platform/sim/sim_core_services.h"

namespace {

using namespace ejectra;

// `disks` USB sticks, each with one volume; the drive asked for is the last
// one enumerated, so the scans run their whole length.
platform::sim::MachineBuilder Sticks(int disks) {
  platform::sim::MachineBuilder builder;
  for (int i = 0; i < disks; ++i) builder.AddUsbStick(i + 1 == disks ? u'E' : u'Y', u"Stick");
  return builder;
}

// Searches for drive E: of `machine` as often as the benchmark asks; the
// virtual pause per search is reported as a counter.
void SearchDriveE(benchmark::State& state, platform::sim::MachineState machine) {
  platform::sim::SimWorld world(std::move(machine));
  world.calls.KeepLog(false);
  platform::sim::SimCoreServices sim(world);
  const platform::CoreServices os = sim.Services();
  for (auto _ : state) {
    core::DeviceNode device, parent;
    benchmark::DoNotOptimize(core::FindRemovableDevice(os, *Drive::FromNumber(5), device, parent));
  }
  state.counters["virtual_pause_ms"] = static_cast<double>(world.clock.Now()) /
                                       static_cast<double>(state.iterations());
  state.SetComplexityN(state.range(0));
}

void FindRemovableDevice_LastOfN(benchmark::State& state) {
  SearchDriveE(state, Sticks(static_cast<int>(state.range(0))).Build());
}
BENCHMARK(FindRemovableDevice_LastOfN)->Arg(10)->Arg(100)->Arg(1000)->Complexity();

// A drive that only the mount record reaches: both paths run in full.
void FindRemovableDevice_MountRecordOnly(benchmark::State& state) {
  platform::sim::MachineBuilder builder = Sticks(static_cast<int>(state.range(0)));
  builder.DosDevice(u"E:", {u"\\Device\\Unknown"});
  SearchDriveE(state, builder.Build());
}
BENCHMARK(FindRemovableDevice_MountRecordOnly)->Arg(10)->Arg(100)->Arg(1000)->Complexity();

}  // namespace

BENCHMARK_MAIN();
