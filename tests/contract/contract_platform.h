// The platform behaviour the core relies on, stated once as tests and run
// against each implementation of the seam: the simulation on the host, the
// real layer under Windows or Wine. Each implementation supplies a harness.
#pragma once

#include <memory>

#include "platform/core_services.h"

namespace ejectra::testing {

class ContractHarness {
 public:
  virtual ~ContractHarness() = default;
  virtual platform::CoreServices Services() = 0;
};

// Defined by the test program of each implementation. The machine it gives
// has the drive C: with a mount record "\DosDevices\C:" of REG_BINARY type,
// and no drive Q:.
std::unique_ptr<ContractHarness> MakeContractHarness();

}  // namespace ejectra::testing
