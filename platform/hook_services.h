// The platform seam of the hook helper's session objects: the named hook
// mutex, pauses, the thread's last error, and the hook library's instance.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace ejectra::platform {

using Handle = std::uintptr_t;  // HANDLE; 0 = none

inline constexpr std::uint32_t kSynchronize = 0x00100000;
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitTimeout = 258;

// kernel32: synchronisation objects and pauses.
class Synchronization {
 public:
  virtual ~Synchronization() = default;

  virtual Handle OpenMutexW(std::uint32_t access, bool inherit, const char16_t* name) = 0;
  virtual std::uint32_t WaitForSingleObject(Handle object, std::uint32_t milliseconds) = 0;
  virtual bool ReleaseMutex(Handle mutex) = 0;
  virtual bool CloseHandle(Handle object) = 0;
  virtual bool SetEvent(Handle event) = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  virtual ErrorCode GetLastError() = 0;
};

// The process's one instance of the hook library's class CPullcoreHook.
class HookLibrary {
 public:
  virtual ~HookLibrary() = default;

  virtual std::uintptr_t Start() = 0;  // the hook's handle; 0 on failure
  virtual bool Stop() = 0;
};

}  // namespace ejectra::platform
