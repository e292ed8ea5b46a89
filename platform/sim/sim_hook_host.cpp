#include "platform/sim/sim_hook_host.h"

#include <algorithm>

namespace ejectra::platform::sim {

void SimHookHost::At(std::uint64_t milliseconds, std::function<void()> action) {
  scheduled_.emplace(milliseconds, std::move(action));
}

int SimHookHost::Count(const std::string& event) const {
  return static_cast<int>(std::count(events.begin(), events.end(), event));
}

Handle SimHookHost::OpenMutexW(std::uint32_t access, bool, const char16_t* name) {
  events.push_back("Open");
  if (access != kSynchronize || !name || !mutexes.count(name)) {
    lastError_ = openError;
    return 0;
  }
  const Handle handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, name);
  return handle;
}

std::uint32_t SimHookHost::WaitForSingleObject(Handle object, std::uint32_t) {
  events.push_back("Wait");
  if (!handles_.count(object)) return 0xFFFFFFFF;  // WAIT_FAILED
  owner_ = object;
  return kWaitObject0;
}

bool SimHookHost::ReleaseMutex(Handle mutex) {
  events.push_back("Release");
  if (owner_ != mutex || !mutex) return false;
  owner_ = 0;
  return true;
}

bool SimHookHost::CloseHandle(Handle object) {
  events.push_back("Close");
  return handles_.erase(object) == 1;
}

void SimHookHost::Sleep(std::uint32_t milliseconds) {
  events.push_back("Sleep " + std::to_string(milliseconds));
  clock_ += milliseconds;
  while (!scheduled_.empty() && scheduled_.begin()->first <= clock_) {
    auto action = std::move(scheduled_.begin()->second);
    scheduled_.erase(scheduled_.begin());
    action();
  }
}

std::uintptr_t SimHookHost::Start() {
  events.push_back(owner_ ? "Start" : "Start without the mutex");
  return startAnswer;
}

bool SimHookHost::Stop() {
  events.push_back(owner_ ? "Stop" : "Stop without the mutex");
  return stopAnswer;
}

}  // namespace ejectra::platform::sim
