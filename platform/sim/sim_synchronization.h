// Mutexes, events, pauses and interlocked counts on a simulated world, and
// the hook library's instance. There is one thread: a wait on a mutex takes
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
  explicit SimSynchronization(SimWorld& world) : world_(world) {}
  SimSynchronization(const SimSynchronization&) = delete;
  SimSynchronization& operator=(const SimSynchronization&) = delete;

  std::size_t OpenHandles() const { return handles_.size(); }
  // Whether some handle holds a mutex now.
  bool HoldsAMutex() const;

  Handle CreateMutexW(const char16_t* name) override;
  Handle OpenMutexW(std::uint32_t access, bool inherit, const char16_t* name) override;
  Handle CreateEventW(bool manualReset, bool initialState, const char16_t* name) override;
  std::uint32_t WaitForSingleObject(Handle object, std::uint32_t milliseconds) override;
  bool ReleaseMutex(Handle mutex) override;
  bool SetEvent(Handle event) override;
  bool CloseHandle(Handle object) override;
  void Sleep(std::uint32_t milliseconds) override;
  std::int32_t InterlockedIncrement(std::atomic<std::int32_t>& addend) override;
  std::int32_t InterlockedDecrement(std::atomic<std::int32_t>& addend) override;
  std::int32_t InterlockedExchangeAdd(std::atomic<std::int32_t>& addend,
                                      std::int32_t value) override;
  ErrorCode GetLastError() override { return world_.lastError; }
  void SetLastError(ErrorCode error) override { world_.lastError = error; }

 private:
  struct Object {
    bool isEvent = false;
    bool manualReset = false;
    bool signalled = false;  // an event's state
    bool owned = false;      // a mutex's state
  };

  Handle Hand(std::uint32_t object);
  Object* Lookup(Handle handle);
  Handle Fail(ErrorCode error);

  SimWorld& world_;
  std::map<std::uint32_t, Object> objects_;           // by number
  std::map<std::u16string, std::uint32_t, LessIgnoringAsciiCase> names_;
  std::map<Handle, std::uint32_t> handles_;            // handle -> object number
  std::uint32_t nextObject_ = 1;
  Handle nextHandle_ = 0x40;
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
