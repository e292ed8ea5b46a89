// The contract's harness on Windows: the real platform of the machine.
#include "platform/win32/win32_core_services.h"
#include "tests/contract/contract_platform.h"

namespace ejectra::testing {

namespace {

class Win32Harness final : public ContractHarness {
 public:
  platform::CoreServices Services() override { return services_.Services(); }

 private:
  platform::win32::Win32CoreServices services_;
};

}  // namespace

std::unique_ptr<ContractHarness> MakeContractHarness() { return std::make_unique<Win32Harness>(); }

}  // namespace ejectra::testing
