// The kernel base of a simulated world, and the kernel objects its handles
// stand for. The world holds one of each: every fake hands out handles from
// the same table, and every bundle of services closes them, reads the last
// error and sleeps through the same kernel base.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/kernel_base.h"
#include "platform/text.h"

namespace ejectra::platform::sim {

struct SimWorld;

// A mutex, an event, or a volume opened by its DOS device.
struct SimKernelObject {
  bool isEvent = false;
  bool manualReset = false;
  bool signalled = false;  // an event's state
  bool owned = false;      // a mutex's state
  // A volume's drive ("E:"), and whether this open of it holds its lock;
  // the lock goes with the object's last handle.
  std::u16string volume;
  std::uint32_t access = 0;  // as asked of CreateFileW
  bool volumeAccess = false;  // volume-management access: data access, or an administrator's open
  bool locksVolume = false;
};

// The objects by number, their names, and the handles open to them. An
// object goes with its last handle.
class SimKernelObjects {
 public:
  // A new object, named when `name` is not null; its number.
  std::uint32_t Create(const SimKernelObject& object, const char16_t* name);
  // The object of that name, or 0.
  std::uint32_t Find(std::u16string_view name) const;
  SimKernelObject& Object(std::uint32_t number) { return objects_.at(number); }
  // A new handle to object `number`.
  Handle Open(std::uint32_t number);
  // The object behind `handle`, or null.
  SimKernelObject* Lookup(Handle handle);
  // false when `handle` is not open.
  bool Close(Handle handle);

  std::size_t OpenHandles() const { return handles_.size(); }
  // Whether some mutex is held now.
  bool HoldsAMutex() const;
  // Whether an open of the volume `drive` ("E:") holds its lock.
  bool LocksVolume(std::u16string_view drive) const;

 private:
  std::map<std::uint32_t, SimKernelObject> objects_;  // by number
  std::map<std::u16string, std::uint32_t, LessIgnoringAsciiCase> names_;
  std::map<Handle, std::uint32_t> handles_;  // handle -> object number
  std::uint32_t nextObject_ = 1;
  Handle nextHandle_ = 0x40;
};

// Sleep passes the world's virtual time; CloseHandle closes a handle of the
// world's table. Both are logged and fail as planned (the last error).
class SimKernelBase final : public KernelBase {
 public:
  explicit SimKernelBase(SimWorld& world);
  SimKernelBase(const SimKernelBase&) = delete;
  SimKernelBase& operator=(const SimKernelBase&) = delete;

  ErrorCode GetLastError() override;
  void SetLastError(ErrorCode error) override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint64_t GetSystemTimeAsFileTime() override;
  bool CloseHandle(Handle object) override;

 private:
  SimWorld& world_;
};

}  // namespace ejectra::platform::sim
