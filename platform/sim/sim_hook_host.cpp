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

Handle SimHookHost::CreateEvent() {
  const Handle handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, u"");
  events_[handle] = false;
  return handle;
}

bool SimHookHost::SetEvent(Handle event) {
  events.push_back("SetEvent");
  const auto it = events_.find(event);
  if (it == events_.end() || !handles_.count(event)) return false;  // closed or never made
  it->second = true;
  return true;
}

bool SimHookHost::RunNextAction(std::uint64_t deadline) {
  if (scheduled_.empty() || scheduled_.begin()->first > deadline) return false;
  clock_ = std::max(clock_, scheduled_.begin()->first);
  auto action = std::move(scheduled_.begin()->second);
  scheduled_.erase(scheduled_.begin());
  action();
  return true;
}

std::uint32_t SimHookHost::WaitForSingleObject(Handle object, std::uint32_t milliseconds) {
  if (const auto event = events_.find(object); event != events_.end()) {
    // Time passes until the event is signalled or the wait runs out.
    if (!handles_.count(object)) return 0xFFFFFFFF;  // WAIT_FAILED on a closed handle
    const std::uint64_t deadline =
        milliseconds == kInfinite ? UINT64_MAX : clock_ + milliseconds;
    while (!event->second) {
      if (!RunNextAction(deadline)) {
        if (milliseconds == kInfinite) return 0xFFFFFFFF;  // nothing will ever signal it
        clock_ = deadline;
        return kWaitTimeout;
      }
    }
    event->second = false;
    return kWaitObject0;
  }
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
