#include "platform/sim/sim_kernel_base.h"

#include <algorithm>

#include "platform/sim/sim_world.h"

namespace ejectra::platform::sim {

std::uint32_t SimKernelObjects::Create(const SimKernelObject& object, const char16_t* name) {
  const std::uint32_t number = nextObject_++;
  objects_[number] = object;
  if (name) names_.emplace(name, number);
  return number;
}

std::uint32_t SimKernelObjects::Find(std::u16string_view name) const {
  const auto it = names_.find(name);
  return it == names_.end() ? 0 : it->second;
}

Handle SimKernelObjects::Open(std::uint32_t number) {
  const Handle handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, number);
  return handle;
}

SimKernelObject* SimKernelObjects::Lookup(Handle handle) {
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return nullptr;
  return &objects_.at(it->second);
}

bool SimKernelObjects::Close(Handle handle) {
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return false;
  const std::uint32_t number = it->second;
  handles_.erase(it);
  const bool stillHeld = std::any_of(handles_.begin(), handles_.end(),
                                     [&](const auto& entry) { return entry.second == number; });
  if (!stillHeld) {
    objects_.erase(number);
    std::erase_if(names_, [&](const auto& entry) { return entry.second == number; });
  }
  return true;
}

bool SimKernelObjects::HoldsAMutex() const {
  return std::any_of(objects_.begin(), objects_.end(),
                     [](const auto& entry) { return !entry.second.isEvent && entry.second.owned; });
}

bool SimKernelObjects::LocksVolume(std::u16string_view drive) const {
  return std::any_of(objects_.begin(), objects_.end(), [&](const auto& entry) {
    return entry.second.locksVolume && EqualsIgnoringAsciiCase(entry.second.volume, drive);
  });
}

SimKernelBase::SimKernelBase(SimWorld& world) : world_(world) {
  world.calls.Know({"CloseHandle", "GetSystemTimeAsFileTime", "Sleep"});
}

ErrorCode SimKernelBase::GetLastError() { return world_.lastError; }

void SimKernelBase::SetLastError(ErrorCode error) { world_.lastError = error; }

void SimKernelBase::Sleep(std::uint32_t milliseconds) {
  world_.calls.Enter("Sleep", std::to_string(milliseconds));
  world_.clock.Advance(milliseconds);
}

std::uint64_t SimKernelBase::GetSystemTimeAsFileTime() {
  world_.calls.Enter("GetSystemTimeAsFileTime");
  return kSimEpochFileTime + world_.clock.Now() * 10'000;
}

bool SimKernelBase::CloseHandle(Handle handle) {
  if (const auto fault = world_.calls.Enter("CloseHandle")) {
    world_.lastError = *fault;
    return false;
  }
  if (world_.kernelObjects.Close(handle)) return true;
  world_.lastError = kErrorInvalidHandle;
  return false;
}

}  // namespace ejectra::platform::sim
