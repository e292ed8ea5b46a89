// Mutexes, events and interlocked counts on a simulated world, and the hook
// library's instance; their handles are the world's (SimKernelObjects). There is one thread: a wait on a mutex takes
// it, a wait on an event lets the world's clock run (and what is scheduled
// on it happen) until the event is signalled or the time is up. What other
// threads do comes from the clock's schedule or from actions run on a call
// (SimCalls::On).
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/sim/sim_world.h"
#include "platform/synchronization.h"

namespace ejectra::platform::sim {

class SimSynchronization final : public Synchronization {
 public:
  explicit SimSynchronization(SimWorld& world) : world_(world) {
    world.calls.Know({"CPullcoreHook::Start", "CPullcoreHook::Stop", "CreateEventW", "CreateMutexW", "InterlockedDecrement", "InterlockedExchangeAdd", "InterlockedIncrement", "OpenMutexW", "ReleaseMutex", "SetEvent", "WaitForSingleObject"});
  }
  SimSynchronization(const SimSynchronization&) = delete;
  SimSynchronization& operator=(const SimSynchronization&) = delete;

  std::size_t OpenHandles() const { return world_.kernelObjects.OpenHandles(); }
  // Whether some handle holds a mutex now.
  bool HoldsAMutex() const { return world_.kernelObjects.HoldsAMutex(); }
  SynchronizationServices Services() { return SynchronizationServices{*this, world_.kernel}; }

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

 private:
  Handle Fail(ErrorCode error);

  SimWorld& world_;
};

// The hook library's instance: Start answers a hook handle (0 when the
// call "CPullcoreHook::Start" is planned to fail), Stop answers true (false
// when "CPullcoreHook::Stop" is). Each call is logged with whether a mutex
// was held ("mutex held" or "no mutex").
class SimHookLibrary final : public HookLibrary {
 public:
  static constexpr std::uintptr_t kHook = 0xC0DE;

  SimHookLibrary(SimWorld& world, const SimSynchronization& sync) : world_(world), sync_(sync) {}

  std::uintptr_t Start() override;
  bool Stop() override;

 private:
  SimWorld& world_;
  const SimSynchronization& sync_;
};

}  // namespace ejectra::platform::sim
