// The hook helper's surroundings held in memory: named mutexes, a virtual
// clock on which a test can schedule what other clients do, and the hook
// library's instance. Everything that happens is written to `events`.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/hook_services.h"

namespace ejectra::platform::sim {

class SimHookHost final : public Synchronization, public HookLibrary {
 public:
  // Mutexes that exist by name; OpenMutexW of any other fails with openError.
  std::set<std::u16string> mutexes;
  ErrorCode openError = kErrorFileNotFound;
  std::uintptr_t startAnswer = 0xC0DE;  // the hook handle Start returns
  bool stopAnswer = true;

  std::vector<std::string> events;  // "Open", "Wait", "Start", "Release", "Stop", "Close", "Sleep 300"
  std::uint64_t NowMilliseconds() const { return clock_; }
  // Runs `action` when the virtual clock reaches `milliseconds`.
  void At(std::uint64_t milliseconds, std::function<void()> action);
  std::size_t OpenHandles() const { return handles_.size(); }
  // An auto-reset event, not signalled.
  Handle CreateEvent();
  int Count(const std::string& event) const;

  Handle OpenMutexW(std::uint32_t access, bool inherit, const char16_t* name) override;
  std::uint32_t WaitForSingleObject(Handle object, std::uint32_t milliseconds) override;
  bool ReleaseMutex(Handle mutex) override;
  bool CloseHandle(Handle object) override;
  bool SetEvent(Handle event) override;
  void Sleep(std::uint32_t milliseconds) override;
  ErrorCode GetLastError() override { return lastError_; }

  std::uintptr_t Start() override;
  bool Stop() override;

 private:
  bool RunNextAction(std::uint64_t deadline);

  std::map<Handle, std::u16string> handles_;
  std::map<Handle, bool> events_;  // signalled or not
  std::multimap<std::uint64_t, std::function<void()>> scheduled_;
  Handle nextHandle_ = 0x40;
  Handle owner_ = 0;  // the handle through which the mutex is held
  std::uint64_t clock_ = 0;
  ErrorCode lastError_ = 0;
};

}  // namespace ejectra::platform::sim
