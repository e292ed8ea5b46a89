#include "platform/sim/sim_synchronization.h"

#include <algorithm>

#include "platform/sim/utf.h"

namespace ejectra::platform::sim {

namespace {

std::string Named(const char16_t* name) { return name ? Utf16ToUtf8(name) : std::string(); }

}  // namespace

Handle SimSynchronization::Fail(ErrorCode error) {
  world_.lastError = error;
  return 0;
}

Handle SimSynchronization::Hand(std::uint32_t object) {
  const Handle handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, object);
  return handle;
}

SimSynchronization::Object* SimSynchronization::Lookup(Handle handle) {
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return nullptr;
  return &objects_.at(it->second);
}

bool SimSynchronization::HoldsAMutex() const {
  return std::any_of(objects_.begin(), objects_.end(),
                     [](const auto& entry) { return !entry.second.isEvent && entry.second.owned; });
}

Handle SimSynchronization::CreateMutexW(const char16_t* name) {
  if (const auto fault = world_.calls.Enter("CreateMutexW", Named(name))) return Fail(*fault);
  if (name) {
    if (const auto it = names_.find(std::u16string_view(name)); it != names_.end()) {
      if (objects_.at(it->second).isEvent) return Fail(kErrorInvalidHandle);
      world_.lastError = kErrorAlreadyExists;
      return Hand(it->second);
    }
  }
  const std::uint32_t object = nextObject_++;
  objects_[object] = Object{};
  if (name) names_.emplace(name, object);
  world_.lastError = kErrorSuccess;
  return Hand(object);
}

Handle SimSynchronization::OpenMutexW(std::uint32_t access, bool, const char16_t* name) {
  if (const auto fault = world_.calls.Enter("OpenMutexW", Named(name))) return Fail(*fault);
  if (!name) return Fail(kErrorInvalidParameter);
  const auto it = names_.find(std::u16string_view(name));
  if (it == names_.end()) return Fail(kErrorFileNotFound);
  if (objects_.at(it->second).isEvent) return Fail(kErrorInvalidHandle);
  if (!(access & kSynchronize)) return Fail(kErrorAccessDenied);  // it could not be waited on
  return Hand(it->second);
}

Handle SimSynchronization::CreateEventW(bool manualReset, bool initialState,
                                        const char16_t* name) {
  if (const auto fault = world_.calls.Enter("CreateEventW", Named(name))) return Fail(*fault);
  if (name) {
    if (const auto it = names_.find(std::u16string_view(name)); it != names_.end()) {
      if (!objects_.at(it->second).isEvent) return Fail(kErrorInvalidHandle);
      world_.lastError = kErrorAlreadyExists;
      return Hand(it->second);
    }
  }
  const std::uint32_t object = nextObject_++;
  objects_[object] = Object{true, manualReset, initialState, false};
  if (name) names_.emplace(name, object);
  world_.lastError = kErrorSuccess;
  return Hand(object);
}

std::uint32_t SimSynchronization::WaitForSingleObject(Handle handle, std::uint32_t milliseconds) {
  if (const auto fault = world_.calls.Enter("WaitForSingleObject")) {
    Fail(*fault);
    return kWaitFailed;
  }
  Object* object = Lookup(handle);
  if (!object) {
    Fail(kErrorInvalidHandle);
    return kWaitFailed;
  }
  if (!object->isEvent) {  // the one thread takes the mutex, again if it holds it
    object->owned = true;
    return kWaitObject0;
  }
  const std::uint64_t start = world_.clock.Now();
  const std::uint64_t deadline = milliseconds == kInfinite ? UINT64_MAX : start + milliseconds;
  // Time passes, and what is scheduled happens, until the event is signalled.
  while (!(object = Lookup(handle)) || !object->signalled) {
    if (!object) {
      Fail(kErrorInvalidHandle);
      return kWaitFailed;
    }
    if (!world_.clock.RunNext(deadline)) {
      if (milliseconds == kInfinite) {  // nothing will ever signal it: the wait cannot end
        Fail(kErrorInvalidHandle);
        return kWaitFailed;
      }
      world_.clock.Advance(deadline - world_.clock.Now());
      return kWaitTimeout;
    }
  }
  if (!object->manualReset) object->signalled = false;
  return kWaitObject0;
}

bool SimSynchronization::ReleaseMutex(Handle mutex) {
  if (const auto fault = world_.calls.Enter("ReleaseMutex")) return Fail(*fault);
  Object* object = Lookup(mutex);
  if (!object || object->isEvent) return Fail(kErrorInvalidHandle);
  if (!object->owned) return Fail(kErrorNotOwner);
  object->owned = false;
  return true;
}

bool SimSynchronization::SetEvent(Handle event) {
  if (const auto fault = world_.calls.Enter("SetEvent")) return Fail(*fault);
  Object* object = Lookup(event);
  if (!object || !object->isEvent) return Fail(kErrorInvalidHandle);
  object->signalled = true;
  return true;
}

bool SimSynchronization::CloseHandle(Handle handle) {
  if (const auto fault = world_.calls.Enter("CloseHandle")) return Fail(*fault);
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return Fail(kErrorInvalidHandle);
  const std::uint32_t object = it->second;
  handles_.erase(it);
  const bool stillHeld = std::any_of(handles_.begin(), handles_.end(),
                                     [&](const auto& entry) { return entry.second == object; });
  if (!stillHeld) {
    objects_.erase(object);
    std::erase_if(names_, [&](const auto& entry) { return entry.second == object; });
  }
  return true;
}

void SimSynchronization::Sleep(std::uint32_t milliseconds) {
  world_.calls.Enter("Sleep", std::to_string(milliseconds));
  world_.clock.Advance(milliseconds);
}

std::int32_t SimSynchronization::InterlockedIncrement(std::atomic<std::int32_t>& addend) {
  world_.calls.Enter("InterlockedIncrement");
  return ++addend;
}

std::int32_t SimSynchronization::InterlockedDecrement(std::atomic<std::int32_t>& addend) {
  world_.calls.Enter("InterlockedDecrement");
  return --addend;
}

std::int32_t SimSynchronization::InterlockedExchangeAdd(std::atomic<std::int32_t>& addend,
                                                        std::int32_t value) {
  world_.calls.Enter("InterlockedExchangeAdd");
  return addend.fetch_add(value);
}

std::uintptr_t SimHookLibrary::Start() {
  const auto fault =
      world_.calls.Enter("CPullcoreHook::Start", sync_.HoldsAMutex() ? "mutex held" : "no mutex");
  return fault ? 0 : kHook;
}

bool SimHookLibrary::Stop() {
  return !world_.calls.Enter("CPullcoreHook::Stop", sync_.HoldsAMutex() ? "mutex held" : "no mutex");
}

}  // namespace ejectra::platform::sim
