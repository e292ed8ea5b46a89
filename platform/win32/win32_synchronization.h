// Synchronisation objects on real Windows: every method forwards to the
// kernel32 call it is named after.
#pragma once

#include "platform/synchronization.h"

namespace ejectra::platform::win32 {

class Win32Synchronization final : public Synchronization {
 public:
  Handle CreateMutexW(const char16_t* name) override;
  Handle OpenMutexW(std::uint32_t access, bool inherit, const char16_t* name) override;
  Handle CreateEventW(bool manualReset, bool initialState, const char16_t* name) override;
  std::uint32_t WaitForSingleObject(Handle object, std::uint32_t milliseconds) override;
  bool ReleaseMutex(Handle mutex) override;
  bool SetEvent(Handle event) override;
  std::int32_t InterlockedIncrement(std::atomic<std::int32_t>& addend) override;
  std::int32_t InterlockedDecrement(std::atomic<std::int32_t>& addend) override;
  std::int32_t InterlockedExchangeAdd(std::atomic<std::int32_t>& addend,
                                      std::int32_t value) override;
};

}  // namespace ejectra::platform::win32
