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

Handle SimSynchronization::CreateMutexW(const char16_t* name) {
  if (const auto fault = world_.calls.Enter("CreateMutexW", Named(name))) return Fail(*fault);
  SimKernelObjects& objects = world_.kernelObjects;
  if (const std::uint32_t existing = name ? objects.Find(name) : 0) {
    if (objects.Object(existing).isEvent) return Fail(kErrorInvalidHandle);
    world_.lastError = kErrorAlreadyExists;
    return objects.Open(existing);
  }
  const std::uint32_t object = objects.Create(SimKernelObject{}, name);
  world_.lastError = kErrorSuccess;
  return objects.Open(object);
}

Handle SimSynchronization::OpenMutexW(std::uint32_t access, bool, const char16_t* name) {
  if (const auto fault = world_.calls.Enter("OpenMutexW", Named(name))) return Fail(*fault);
  if (!name) return Fail(kErrorInvalidParameter);
  SimKernelObjects& objects = world_.kernelObjects;
  const std::uint32_t object = objects.Find(name);
  if (object == 0) return Fail(kErrorFileNotFound);
  if (objects.Object(object).isEvent) return Fail(kErrorInvalidHandle);
  if (!(access & kSynchronize)) return Fail(kErrorAccessDenied);  // it could not be waited on
  return objects.Open(object);
}

Handle SimSynchronization::CreateEventW(bool manualReset, bool initialState,
                                        const char16_t* name) {
  if (const auto fault = world_.calls.Enter("CreateEventW", Named(name))) return Fail(*fault);
  SimKernelObjects& objects = world_.kernelObjects;
  if (const std::uint32_t existing = name ? objects.Find(name) : 0) {
    if (!objects.Object(existing).isEvent) return Fail(kErrorInvalidHandle);
    world_.lastError = kErrorAlreadyExists;
    return objects.Open(existing);
  }
  SimKernelObject event;
  event.isEvent = true;
  event.manualReset = manualReset;
  event.signalled = initialState;
  const std::uint32_t object = objects.Create(event, name);
  world_.lastError = kErrorSuccess;
  return objects.Open(object);
}

std::uint32_t SimSynchronization::WaitForSingleObject(Handle handle, std::uint32_t milliseconds) {
  if (const auto fault = world_.calls.Enter("WaitForSingleObject")) {
    Fail(*fault);
    return kWaitFailed;
  }
  const auto lookup = [&] { return world_.kernelObjects.Lookup(handle); };
  SimKernelObject* object = lookup();
  if (!object) {
    Fail(kErrorInvalidHandle);
    return kWaitFailed;
  }
  if (!object->volume.empty()) return kWaitObject0;  // no request of it is ever pending
  if (!object->isEvent) {  // the one thread takes the mutex, again if it holds it
    object->owned = true;
    return kWaitObject0;
  }
  const std::uint64_t start = world_.clock.Now();
  const std::uint64_t deadline = milliseconds == kInfinite ? UINT64_MAX : start + milliseconds;
  // Time passes, and what is scheduled happens, until the event is signalled.
  while (!(object = lookup()) || !object->signalled) {
    if (!object) {
      Fail(kErrorInvalidHandle);
      return kWaitFailed;
    }
    if (!world_.clock.RunNext(deadline)) {
      if (milliseconds == kInfinite) {
        SimFault("WaitForSingleObject(INFINITE) on an event that nothing will ever signal");
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
  SimKernelObject* object = world_.kernelObjects.Lookup(mutex);
  if (!object || object->isEvent || !object->volume.empty()) return Fail(kErrorInvalidHandle);
  if (!object->owned) return Fail(kErrorNotOwner);
  object->owned = false;
  return true;
}

bool SimSynchronization::SetEvent(Handle event) {
  if (const auto fault = world_.calls.Enter("SetEvent")) return Fail(*fault);
  SimKernelObject* object = world_.kernelObjects.Lookup(event);
  if (!object || !object->isEvent) return Fail(kErrorInvalidHandle);
  object->signalled = true;
  return true;
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
