// The counting behind every PullcoreHookHelper object: a process-wide
// balance of StartHook and StopHook calls, the hook started for the first
// user and stopped, after a grace period, when the balance falls back to
// zero. Start and Stop run under the named hook mutex.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/owners.h"
#include "platform/synchronization.h"

namespace ejectra::helper {

inline constexpr char16_t kHookMutexName[] = u"{40BC9581-8D3B-4ACC-8D9F-8C12E0CC13F1}";
inline constexpr std::uint32_t kGracePauses = 10;
inline constexpr std::uint32_t kGracePauseMilliseconds = 300;


// A Win32 error as an HRESULT: 0x8007xxxx for an error code, a value that is
// already an HRESULT unchanged, and E_FAIL for "no error", which a failed
// call must never report as success.
std::int32_t HresultFromWin32(platform::ErrorCode error);

// What the session objects of one process share: the count of hook users
// (g_lHookRefCount) and the hook library's instance (g_hook).
struct HookProcessState {
  std::atomic<std::int32_t>& refCount;
  platform::HookLibrary& hook;
};

// One object's part: its own handle to the hook mutex, and the two methods.
// Call order: Open once; then StartHook and StopHook in any order; then
// destruction, which closes the handle.
class HookSession {
 public:
  HookSession(platform::SynchronizationServices os, HookProcessState state)
      : os_(os), state_(state) {}
  HookSession(const HookSession&) = delete;
  HookSession& operator=(const HookSession&) = delete;

  // Opens the hook mutex by name: S_OK, or the HRESULT of the failure.
  std::int32_t Open();

  // Raises the count; the first user starts the hook. S_OK with the count,
  // E_FAIL when Start failed (the count stays raised), E_INVALIDARG for a
  // null pointer.
  std::int32_t StartHook(std::int32_t* plRefCount);
  // Lowers the count; at zero or less, waits ten pauses of 300 ms for a new
  // user and then stops the hook. S_OK with the count, E_FAIL when Stop
  // failed, E_INVALIDARG for a null pointer.
  std::int32_t StopHook(std::int32_t* plRefCount);

 private:
  template <typename Call>
  auto UnderMutex(Call call);

  platform::SynchronizationServices os_;
  HookProcessState state_;
  platform::UniqueHandle mutex_{os_.kernel};
};

}  // namespace ejectra::helper
