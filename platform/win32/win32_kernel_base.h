// The kernel base on real Windows: every method forwards to the call it is
// named after. A program makes one and hands it to each of its bundles.
#pragma once

#include "platform/kernel_base.h"

namespace ejectra::platform::win32 {

class Win32KernelBase final : public KernelBase {
 public:
  ErrorCode GetLastError() override;
  void SetLastError(ErrorCode error) override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint64_t GetSystemTimeAsFileTime() override;
  bool CloseHandle(Handle object) override;
};

}  // namespace ejectra::platform::win32
