// PullcoreHelper.exe: the COM local server of class PullcoreHookHelper. It
// registers or unregisters itself when asked to, and otherwise serves its
// class until it has been idle for five seconds.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>

#include "PullcoreHelper.h"  // made by widl from PullcoreHelper.idl
#include "helper/hook/pullcore_hook.h"
#include "helper/hook_session.h"
#include "helper/server/hook_helper_object.h"
#include "helper/server/registration.h"
#include "helper/server_lifetime.h"
#include "platform/owners.h"
#include "platform/win32/win32_kernel_base.h"
#include "platform/win32/win32_synchronization.h"

namespace {

using namespace ejectra;

// The process: made before the hook and everything else, gone after them.
// COM is uninitialised before its members go, so an object COM lets go of
// at the end still finds the lock count, and the shutdown event stays open
// until then: a release that comes late may still signal it.
struct ServerModule {
  ServerModule() : mainThread(GetCurrentThreadId()), initFailed(FAILED(CoInitialize(nullptr))) {}
  ~ServerModule() {
    if (!initFailed) CoUninitialize();
  }
  const DWORD mainThread;
  const bool initFailed;
  platform::win32::Win32KernelBase kernel;
  platform::win32::Win32Synchronization sync;
  const platform::SynchronizationServices os{sync, kernel};
  platform::UniqueHandle shutdownEvent{kernel};
  std::optional<helper::ServerLocks> locks;
  std::optional<helper::HookHelperFactory> factory;
};

ServerModule g_module;

}  // namespace

// Shared by every object of the process: the balance of StartHook and
// StopHook calls, and the hook.
std::atomic<std::int32_t> g_lHookRefCount{0};
CPullcoreHook g_hook;

namespace {

helper::PullcoreHookLibrary g_hookLibrary(g_hook);

// Waits and posts only: nothing in it can throw.
DWORD WINAPI Monitor(void* locks) noexcept {
  static_cast<helper::ServerLocks*>(locks)->RunShutdownMonitor(
      [] { PostThreadMessageW(g_module.mainThread, WM_QUIT, 0, 0); });
  return 0;
}

HRESULT Serve(bool forActivation) {
  ServerModule& module = g_module;
  module.shutdownEvent.reset(module.sync.CreateEventW(false, false, nullptr));
  if (!module.shutdownEvent) return E_FAIL;
  module.locks.emplace(module.sync, module.shutdownEvent.get());
  if (forActivation) module.locks->ArmIdleShutdown();
  module.factory.emplace(module.os, helper::HookProcessState{g_lHookRefCount, g_hookLibrary},
                         *module.locks);
  DWORD cookie = 0;
  HRESULT result = CoRegisterClassObject(CLSID_PullcoreHookHelper, &*module.factory,
                                         CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie);
  if (FAILED(result)) return result;
  const platform::UniqueHandle monitor(
      module.kernel, reinterpret_cast<platform::Handle>(
                     CreateThread(nullptr, 0, Monitor, &*module.locks, 0, nullptr)));
  if (!monitor) {
    CoRevokeClassObject(cookie);
    return E_FAIL;
  }

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  result = CoRevokeClassObject(cookie);
  Sleep(helper::kQuitPauseMilliseconds);
  return result;
}

}  // namespace

// No exception leaves the program. The class object's and the objects'
// methods make no allocation and call nothing that throws; registration and
// serving may meet an exhausted memory, which ends the program with
// E_OUTOFMEMORY as its exit code.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) try {
  const platform::UniqueHandle mutex(g_module.kernel, g_module.sync.CreateMutexW(helper::kHookMutexName));
  if (!mutex) return 1;
  if (g_module.initFailed) return -1;
  const auto* commandLine = reinterpret_cast<const char16_t*>(GetCommandLineW());
  switch (helper::ParseServerCommand(commandLine)) {
    case helper::ServerAction::Register: return helper::RegisterServer();
    case helper::ServerAction::Unregister: return helper::UnregisterServer();
    case helper::ServerAction::Serve: return Serve(helper::StartedForActivation(commandLine));
  }
  return -1;
} catch (...) {
  return E_OUTOFMEMORY;
}
