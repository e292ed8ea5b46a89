// IPullcoreHookHelper as a client calls it: a dual interface whose two
// methods follow the seven of IUnknown and IDispatch in the vtable.
#pragma once

#include <oaidl.h>

struct IPullcoreHookHelper : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE StartHook(LONG* plRefCount) = 0;
  virtual HRESULT STDMETHODCALLTYPE StopHook(LONG* plRefCount) = 0;
};
