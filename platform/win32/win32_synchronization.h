// Synchronisation objects on real Windows: every method forwards to the
// kernel32 call it is named after.
#pragma once

#include "platform/hook_services.h"

namespace ejectra::platform::win32 {

class Win32Synchronization final : public Synchronization {
 public:
  Handle OpenMutexW(std::uint32_t access, bool inherit, const char16_t* name) override;
  std::uint32_t WaitForSingleObject(Handle object, std::uint32_t milliseconds) override;
  bool ReleaseMutex(Handle mutex) override;
  bool CloseHandle(Handle object) override;
  bool SetEvent(Handle event) override;
  void Sleep(std::uint32_t milliseconds) override;
  ErrorCode GetLastError() override;
};

}  // namespace ejectra::platform::win32
