// The platform behaviour the suite relies on, stated once as tests and run
// against each implementation of the seam: the simulation on the host, the
// real layer under Windows or Wine. Each implementation supplies a harness.
#pragma once

#include <memory>

#include "platform/core_services.h"
#include "platform/process_services.h"
#include "platform/registry_services.h"
#include "platform/synchronization.h"

namespace ejectra::testing {

class ContractHarness {
 public:
  virtual ~ContractHarness() = default;
  virtual platform::CoreServices Services() = 0;
  virtual platform::Registry& Registry() = 0;
  virtual platform::SynchronizationServices Synchronization() = 0;
  virtual platform::ProcessServices Process() = 0;
  // The tests' own clean-up, which no program makes: RegDeleteKeyExW, the
  // only way a 32-bit program deletes a key of the 64-bit view.
  virtual std::int32_t DeleteKeyInView(platform::RegKey parent, const char16_t* subKey,
                                       std::uint32_t view) = 0;
};

// Every bundle a harness gives refers to the same kernel base.

// Defined by the test program of each implementation. The machine it gives
// has the drive C: with a mount record "\DosDevices\C:" of REG_BINARY type,
// and no drive Q:; the running program's folder holds no PULLCORE.DLL. It is
// 64-bit Windows, with a 32-bit and a 64-bit registry view, and the program
// may write below HKLM\SOFTWARE and HKCR\CLSID.
std::unique_ptr<ContractHarness> MakeContractHarness();

}  // namespace ejectra::testing
