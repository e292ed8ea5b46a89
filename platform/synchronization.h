// kernel32's synchronisation objects and the hook library's instance: what
// the hook helper's sessions and its server reach, with the kernel base
// (last error, pauses, closing handles) that every caller shares.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/kernel_base.h"
#include "platform/types.h"

namespace ejectra::platform {

inline constexpr std::uint32_t kSynchronize = 0x00100000;
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitTimeout = 258;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;

class Synchronization {
 public:
  virtual ~Synchronization() = default;

  // No security attributes, not initially owned; a handle also when the
  // mutex exists already (the last error then says so).
  virtual Handle CreateMutexW(const char16_t* name) = 0;
  virtual Handle OpenMutexW(std::uint32_t access, bool inherit, const char16_t* name) = 0;
  // No security attributes.
  virtual Handle CreateEventW(bool manualReset, bool initialState, const char16_t* name) = 0;
  virtual std::uint32_t WaitForSingleObject(Handle object, std::uint32_t milliseconds) = 0;
  virtual bool ReleaseMutex(Handle mutex) = 0;
  virtual bool SetEvent(Handle event) = 0;
  // The interlocked operations on a count that threads share: Increment and
  // Decrement answer the new value, ExchangeAdd the value before.
  virtual std::int32_t InterlockedIncrement(std::atomic<std::int32_t>& addend) = 0;
  virtual std::int32_t InterlockedDecrement(std::atomic<std::int32_t>& addend) = 0;
  virtual std::int32_t InterlockedExchangeAdd(std::atomic<std::int32_t>& addend,
                                              std::int32_t value) = 0;
};

// The process's one instance of the hook library's class CPullcoreHook.
class HookLibrary {
 public:
  virtual ~HookLibrary() = default;

  virtual std::uintptr_t Start() = 0;  // the hook's handle; 0 on failure
  virtual bool Stop() = 0;
};

// What the hook helper reaches.
struct SynchronizationServices {
  Synchronization& sync;
  KernelBase& kernel;
};

}  // namespace ejectra::platform
