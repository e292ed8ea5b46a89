// The platform one export call of a Pullcore.dll runs on, for the length of
// the call. The shipped library's is the real platform; the simulated one's
// is the machine described by the file that EJECTRA_SIM_MACHINE names, read
// for the call and written back when the call removed devices or changed a
// volume; the host tests' is the simulated process's machine, where the
// call is logged by its export and drive and may be planned to fail.
#pragma once

#include <memory>

#include "platform/core_services.h"

namespace ejectra::dll {

// The exports, in the order of their ordinals.
enum class Export { IsRemovableHardwareDrive, IsRemovableHardwareDriveExW, RemoveHardwareDrive,
                    RemoveHardwareDriveExW, EjectDriveMedia };

class PlatformSession {
 public:
  // `call` and `drive` are the export and the drive it was asked about.
  PlatformSession(Export call, int drive) noexcept;
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
