// The contract's harness on Windows: the real platform of the machine.
#include <windows.h>

#include "platform/win32/win32_core_services.h"
#include "platform/win32/win32_kernel_base.h"
#include "platform/win32/win32_process_services.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_synchronization.h"
#include "tests/contract/contract_platform.h"

namespace ejectra::testing {

namespace {

class Win32Harness final : public ContractHarness {
 public:
  platform::CoreServices Services() override { return core_.Services(); }
  platform::Registry& Registry() override { return registry_; }
  platform::SynchronizationServices Synchronization() override {
    return platform::SynchronizationServices{synchronization_, kernel_};
  }
  platform::ProcessServices Process() override { return process_.Services(); }
  std::int32_t DeleteKeyInView(platform::RegKey parent, const char16_t* subKey,
                               std::uint32_t view) override {
    return ::RegDeleteKeyExW(reinterpret_cast<HKEY>(parent), reinterpret_cast<const wchar_t*>(subKey),
                             view, 0);
  }

 private:
  platform::win32::Win32KernelBase kernel_;
  platform::win32::Win32CoreServices core_{kernel_};
  platform::win32::Win32Registry registry_;
  platform::win32::Win32Synchronization synchronization_;
  platform::win32::Win32ProcessServices process_{kernel_};
};

}  // namespace

std::unique_ptr<ContractHarness> MakeContractHarness() { return std::make_unique<Win32Harness>(); }

}  // namespace ejectra::testing
