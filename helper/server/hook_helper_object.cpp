#include "helper/server/hook_helper_object.h"

#include <oleauto.h>

#include <new>

#include <initguid.h>  // this file defines the GUIDs of the interface header
#include "PullcoreHelper.h"  // made by widl from PullcoreHelper.idl
#include "platform/unique_owner.h"

namespace ejectra::helper {

using platform::ComPtr;

namespace {

// The object of class PullcoreHookHelper; lives in the server's apartment.
// It is made with one reference, its maker's.
class CPullcoreHookHelper final : public IPullcoreHookHelper {
 public:
  CPullcoreHookHelper(platform::SynchronizationServices os, HookProcessState hook,
                      ServerLocks& locks)
      : locks_(locks), session_(os, hook) {
    locks_.Lock();
  }
  ~CPullcoreHookHelper() {
    locks_.Unlock();  // the session closes its mutex handle after this
  }

  HRESULT Open() { return session_.Open(); }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IPullcoreHookHelper) {
      *object = static_cast<IPullcoreHookHelper*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch, from the registered type library.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    const HRESULT loaded = LoadTypeInfo();
    if (FAILED(loaded)) return loaded;
    typeInfo_->AddRef();
    *info = typeInfo_.get();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    const HRESULT loaded = LoadTypeInfo();
    return FAILED(loaded) ? loaded : DispGetIDsOfNames(typeInfo_.get(), names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override {
    const HRESULT loaded = LoadTypeInfo();
    return FAILED(loaded) ? loaded
                          : DispInvoke(this, typeInfo_.get(), id, flags, params, result,
                                       exception, argumentError);
  }

  // IPullcoreHookHelper
  HRESULT STDMETHODCALLTYPE StartHook(LONG* plRefCount) override {
    return Counted(plRefCount, &HookSession::StartHook);
  }
  HRESULT STDMETHODCALLTYPE StopHook(LONG* plRefCount) override {
    return Counted(plRefCount, &HookSession::StopHook);
  }

 private:
  HRESULT Counted(LONG* plRefCount, std::int32_t (HookSession::*method)(std::int32_t*)) {
    std::int32_t count = plRefCount ? *plRefCount : 0;
    const HRESULT result = (session_.*method)(plRefCount ? &count : nullptr);
    if (plRefCount) *plRefCount = count;
    return result;
  }

  HRESULT LoadTypeInfo() {
    if (typeInfo_) return S_OK;
    ComPtr<ITypeLib> library;
    const HRESULT loaded = LoadRegTypeLib(LIBID_PullcoreHelperLib, 1, 0, 0, library.put());
    if (FAILED(loaded)) return loaded;
    return library->GetTypeInfoOfGuid(IID_IPullcoreHookHelper, typeInfo_.put());
  }

  ULONG refs_ = 1;  // the apartment's thread alone reaches the object
  ServerLocks& locks_;
  HookSession session_;
  ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace

HRESULT STDMETHODCALLTYPE HookHelperFactory::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IClassFactory) {
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE HookHelperFactory::CreateInstance(IUnknown* outer, REFIID iid,
                                                            void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  const ComPtr<CPullcoreHookHelper> helper(new (std::nothrow) CPullcoreHookHelper(os_, hook_, locks_));
  if (!helper) return E_OUTOFMEMORY;
  const HRESULT opened = helper->Open();
  return FAILED(opened) ? opened : helper->QueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE HookHelperFactory::LockServer(BOOL lock) {
  lock ? locks_.Lock() : locks_.Unlock();
  return S_OK;
}

}  // namespace ejectra::helper
