// The contract's harness on the host: a small simulated machine.
#include "platform/sim/machine_builder.h"
#include "platform/sim/sim_machine.h"
#include "tests/contract/contract_platform.h"

namespace ejectra::testing {

namespace {

class SimHarness final : public ContractHarness {
 public:
  SimHarness() : machine_(Machine()) {}
  platform::CoreServices Services() override { return machine_.Services(); }

 private:
  static platform::sim::MachineState Machine() {
    platform::sim::MachineBuilder builder;
    builder.AddFixedDisk(u'C', u"Fixed disk");
    builder.MountRecordData(u'C', platform::kRegBinary, {0x4C, 0x9A, 0x11, 0x5E, 0, 0x7E, 0, 0});
    builder.AddUsbStick(u'E', u"Stick");
    return builder.Build();
  }
  platform::sim::SimMachine machine_;
};

}  // namespace

std::unique_ptr<ContractHarness> MakeContractHarness() { return std::make_unique<SimHarness>(); }

}  // namespace ejectra::testing
