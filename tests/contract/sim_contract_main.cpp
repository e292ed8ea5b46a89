// The contract's harness on the host: a small simulated world.
#include "platform/sim/machine_builder.h"
#include "platform/sim/sim_core_services.h"
#include "platform/sim/sim_process.h"
#include "platform/sim/sim_synchronization.h"
#include "platform/sim/sim_world.h"
#include "tests/contract/contract_platform.h"

namespace ejectra::testing {

namespace {

class SimHarness final : public ContractHarness {
 public:
  SimHarness() {
    platform::sim::MachineBuilder builder;
    builder.AddFixedDisk(u'C', u"Fixed disk");
    builder.MountRecordData(u'C', platform::kRegBinary, {0x4C, 0x9A, 0x11, 0x5E, 0, 0x7E, 0, 0});
    builder.AddUsbStick(u'E', u"Stick");
    world_.machine = builder.Build();
  }
  platform::CoreServices Services() override { return machine_.Services(); }
  platform::Registry& Registry() override { return registry_; }
  platform::SynchronizationServices Synchronization() override { return sync_.Services(); }
  platform::ProcessServices Process() override { return process_.Services(); }
  std::int32_t DeleteKeyInView(platform::RegKey parent, const char16_t* subKey,
                               std::uint32_t view) override {
    return registry_.DeleteKeyInView(parent, subKey, view);
  }

 private:
  platform::sim::SimWorld world_;
  platform::sim::SimCoreServices machine_{world_};
  platform::sim::SimRegistry registry_{world_};
  platform::sim::SimSynchronization sync_{world_};
  platform::sim::SimProcess process_{world_};
};

}  // namespace

std::unique_ptr<ContractHarness> MakeContractHarness() { return std::make_unique<SimHarness>(); }

}  // namespace ejectra::testing
