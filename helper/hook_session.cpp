#include "helper/hook_session.h"

namespace ejectra::helper {

using namespace platform;

std::int32_t HresultFromWin32(ErrorCode error) {
  const auto value = static_cast<std::int32_t>(error);
  if (value == 0) return kEFail;
  if (value < 0) return value;
  return static_cast<std::int32_t>(0x80070000u | (error & 0xFFFFu));
}

std::int32_t HookSession::Open() {
  mutex_.reset(os_.sync.OpenMutexW(kSynchronize, false, kHookMutexName));
  return mutex_ ? kSOk : HresultFromWin32(os_.kernel.GetLastError());
}

template <typename Call>
auto HookSession::UnderMutex(Call call) {
  os_.sync.WaitForSingleObject(mutex_.get(), kInfinite);  // abandoned or not, the call goes on
  const auto result = call();
  os_.sync.ReleaseMutex(mutex_.get());
  return result;
}

std::int32_t HookSession::StartHook(std::int32_t* plRefCount) {
  if (!plRefCount) return kEInvalidArg;
  const std::int32_t users = os_.sync.InterlockedIncrement(state_.refCount);
  if (users == 1 && UnderMutex([&] { return state_.hook.Start(); }) == 0) return kEFail;
  *plRefCount = users;
  return kSOk;
}

std::int32_t HookSession::StopHook(std::int32_t* plRefCount) {
  if (!plRefCount) return kEInvalidArg;
  const std::int32_t users = os_.sync.InterlockedDecrement(state_.refCount);
  if (users > 0) {
    *plRefCount = users;
    return kSOk;
  }
  // Grace period: a new user within it, or one the final read finds, keeps the hook.
  std::int32_t seen = users;
  for (std::uint32_t read = 0; read <= kGracePauses; ++read) {
    if (read < kGracePauses) os_.kernel.Sleep(kGracePauseMilliseconds);
    seen = os_.sync.InterlockedExchangeAdd(state_.refCount, 0);
    if (seen > 0) {
      *plRefCount = seen;
      return kSOk;
    }
  }
  if (!UnderMutex([&] { return state_.hook.Stop(); })) return kEFail;
  *plRefCount = seen;
  return kSOk;
}

}  // namespace ejectra::helper
