// The platform one export call of a Pullcore.dll runs on, for the length of
// the call. The shipped library's is the real platform; the simulated one's
// is the machine described by the file that EJECTRA_SIM_MACHINE names, read
// for the call and written back when the call removed devices or changed a volume.
#pragma once

#include <memory>

#include "platform/core_services.h"

namespace ejectra::dll {

class PlatformSession {
 public:
  PlatformSession() noexcept;
  ~PlatformSession();
  PlatformSession(const PlatformSession&) = delete;
  PlatformSession& operator=(const PlatformSession&) = delete;

  // Null when no platform could be had.
  const platform::CoreServices* Services() const noexcept { return services_.get(); }

 private:
  struct State;
  std::unique_ptr<State> state_;
  std::unique_ptr<platform::CoreServices> services_;
};

}  // namespace ejectra::dll
