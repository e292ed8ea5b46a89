// Drive types and volumes of a simulated machine. A volume is opened by its
// DOS device ("\\.\E:") into the world's kernel object table, so the kernel
// base closes it and a close gives up its lock. A disc drive refuses an open
// for writing, and a volume kept to administrators an open by a program
// that is not elevated (ERROR_ACCESS_DENIED). Its control requests act on
// the drive's volume record: the lock is refused while the volume is held
// (its volume device has holders, or another open holds the lock) and when
// no medium is in; a file system that checks it refuses the lock and the
// dismount to an open without volume-management access; an eject leaves the
// slot empty and every device in place, or fails as the drive's record
// says. Every call is logged by its name (a request with its code's name)
// and fails as planned with that last error. The storage requests need an
// open for reading; an open's sharing and creation are logged, not checked.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/core_services.h"
#include "platform/sim/sim_world.h"

namespace ejectra::platform::sim {

class SimVolumes final : public Volumes {
 public:
  explicit SimVolumes(SimWorld& world) : world_(world) {
    world.calls.Know({"CreateFileW", "DeviceIoControl", "GetDriveTypeW"});
  }
  SimVolumes(const SimVolumes&) = delete;
  SimVolumes& operator=(const SimVolumes&) = delete;

  std::uint32_t GetDriveTypeW(const char16_t* rootPath) override;
  Handle CreateFileW(const char16_t* name, std::uint32_t access, std::uint32_t share,
                     std::uint32_t creation, std::uint32_t flags) override;
  bool DeviceIoControl(Handle device, std::uint32_t code, const void* in, std::uint32_t inSize,
                       void* out, std::uint32_t outSize, std::uint32_t* returned) override;

 private:
  bool Fail(ErrorCode error);
  // Whether a process holds the device behind the drive's DOS name.
  bool Held(std::u16string_view drive) const;
  bool Lock(SimKernelObject& open, SimVolume& volume);

  SimWorld& world_;
};

// The drive ("E:") that a root path ("E:\") or a volume's DOS device path
// ("\\.\E:") names, or nothing.
std::optional<std::u16string> DriveOfRoot(std::u16string_view rootPath);
std::optional<std::u16string> DriveOfDevicePath(std::u16string_view name);

}  // namespace ejectra::platform::sim
