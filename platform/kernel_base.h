// kernelbase: what every caller of the seams shares, whichever system
// library it otherwise reaches: the thread's last error (through which the
// calls of the other seams report), pauses and the time, and the closing of the kernel
// handles those seams hand out. One instance serves a whole world: every
// bundle of services refers to the same one.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace ejectra::platform {

using Handle = std::uintptr_t;  // HANDLE; 0 = none

class KernelBase {
 public:
  virtual ~KernelBase() = default;

  virtual ErrorCode GetLastError() = 0;
  virtual void SetLastError(ErrorCode error) = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // The time now, in 100 ns since 1601 (UTC), as a FILETIME holds it.
  virtual std::uint64_t GetSystemTimeAsFileTime() = 0;
  virtual bool CloseHandle(Handle object) = 0;
};

}  // namespace ejectra::platform
