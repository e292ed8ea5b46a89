// The COM side of class PullcoreHookHelper: the hook library's instance as
// the sessions reach it, and the class factory whose objects each wrap one
// HookSession.
#pragma once

#include <windows.h>
// windows.h first
#include <unknwn.h>

#include <cstdint>

#include "helper/hook/pullcore_hook.h"
#include "helper/hook_session.h"
#include "helper/server_lifetime.h"
#include "platform/synchronization.h"

namespace ejectra::helper {

class PullcoreHookLibrary final : public platform::HookLibrary {
 public:
  explicit PullcoreHookLibrary(CPullcoreHook& hook) : hook_(hook) {}

  std::uintptr_t Start() override { return reinterpret_cast<std::uintptr_t>(hook_.Start()); }
  bool Stop() override { return hook_.Stop() != FALSE; }

 private:
  CPullcoreHook& hook_;
};

// The server's one class object. It is never freed: AddRef and Release only
// answer. Each object it makes holds a lock on the server while it lives.
class HookHelperFactory final : public IClassFactory {
 public:
  HookHelperFactory(platform::SynchronizationServices os, HookProcessState hook, ServerLocks& locks)
      : os_(os), hook_(hook), locks_(locks) {}
  HookHelperFactory(const HookHelperFactory&) = delete;
  HookHelperFactory& operator=(const HookHelperFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  // A new object with its hook mutex open, or the failure to open it.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  platform::SynchronizationServices os_;
  HookProcessState hook_;
  ServerLocks& locks_;
};

}  // namespace ejectra::helper
