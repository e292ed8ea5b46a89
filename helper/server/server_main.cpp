// PullcoreHelper.exe: the COM local server of class PullcoreHookHelper. It
// registers or unregisters itself when asked to, and otherwise serves its
// class until it has been idle for five seconds.
#include <windows.h>
// windows.h first
#include <oleauto.h>

#include <atomic>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include <initguid.h>  // this file defines the GUIDs of the interface header
#include "PullcoreHelper.h"  // made by widl from PullcoreHelper.idl
#include "helper/hook/pullcore_hook.h"
#include "helper/hook_session.h"
#include "helper/registry_script.h"
#include "helper/server_lifetime.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_synchronization.h"

namespace {

using ejectra::helper::HookProcessState;
using ejectra::helper::HookSession;
using ejectra::helper::ServerLocks;

constexpr wchar_t kAppId[] = L"{40BC9581-8D3B-4ACC-8D9F-8C12E0CC13F1}";
constexpr int kApplicationScript = 101;
constexpr int kClassScript = 102;

// The process: made before the hook and everything else, gone after them.
struct ServerModule {
  ServerModule() : mainThread(GetCurrentThreadId()), initFailed(FAILED(CoInitialize(nullptr))) {}
  ~ServerModule() {
    if (!initFailed) CoUninitialize();
  }
  const DWORD mainThread;
  const bool initFailed;
  ejectra::platform::win32::Win32Synchronization os;
  HANDLE shutdownEvent = nullptr;
  ServerLocks* locks = nullptr;
};

ServerModule g_module;

}  // namespace

// Shared by every object of the process: the balance of StartHook and
// StopHook calls, and the hook.
std::atomic<std::int32_t> g_lHookRefCount{0};
CPullcoreHook g_hook;

namespace {

class HookAdapter final : public ejectra::platform::HookLibrary {
 public:
  std::uintptr_t Start() override { return reinterpret_cast<std::uintptr_t>(g_hook.Start()); }
  bool Stop() override { return g_hook.Stop() != FALSE; }
};
HookAdapter g_hookAdapter;

void LockServer() {
  if (g_module.locks) g_module.locks->Lock();
}
void UnlockServer() {
  if (g_module.locks) g_module.locks->Unlock();
}

// The object of class PullcoreHookHelper; lives in the server's apartment.
class CPullcoreHookHelper final : public IPullcoreHookHelper {
 public:
  CPullcoreHookHelper()
      : m_session(g_module.os, HookProcessState{g_lHookRefCount, g_hookAdapter}) {
    LockServer();
  }
  ~CPullcoreHookHelper() {
    if (m_typeInfo) m_typeInfo->Release();
    UnlockServer();  // the session closes its mutex handle after this
  }

  HRESULT Open() { return m_session.Open(); }

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
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --m_refs;
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
    m_typeInfo->AddRef();
    *info = m_typeInfo;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    const HRESULT loaded = LoadTypeInfo();
    return FAILED(loaded) ? loaded : DispGetIDsOfNames(m_typeInfo, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override {
    const HRESULT loaded = LoadTypeInfo();
    return FAILED(loaded) ? loaded
                          : DispInvoke(this, m_typeInfo, id, flags, params, result, exception,
                                       argumentError);
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
    const HRESULT result = (m_session.*method)(plRefCount ? &count : nullptr);
    if (plRefCount) *plRefCount = count;
    return result;
  }

  HRESULT LoadTypeInfo() {
    if (m_typeInfo) return S_OK;
    ITypeLib* library = nullptr;
    HRESULT result = LoadRegTypeLib(LIBID_PullcoreHelperLib, 1, 0, 0, &library);
    if (FAILED(result)) return result;
    result = library->GetTypeInfoOfGuid(IID_IPullcoreHookHelper, &m_typeInfo);
    library->Release();
    return result;
  }

  ULONG m_refs = 0;  // the apartment's thread alone reaches the object
  HookSession m_session;
  ITypeInfo* m_typeInfo = nullptr;
};

class HookHelperFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }   // static: never freed
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* helper = new (std::nothrow) CPullcoreHookHelper();
    if (!helper) return E_OUTOFMEMORY;
    helper->AddRef();
    HRESULT result = helper->Open();
    if (SUCCEEDED(result)) result = helper->QueryInterface(iid, object);
    helper->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? ::LockServer() : UnlockServer();
    return S_OK;
  }
};
HookHelperFactory g_factory;

// --- Registration -------------------------------------------------------------

HRESULT ModulePath(std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(GetModuleHandleW(nullptr), buffer, MAX_PATH);
  if (length == 0) return HRESULT_FROM_WIN32(GetLastError());
  if (length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  path.assign(buffer, length);
  return S_OK;
}

// The script resource `id` of this program, read as the thread's ANSI code page.
HRESULT LoadScript(const std::wstring& path, int id,
                   std::vector<ejectra::helper::ScriptKey>& keys) {
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return HRESULT_FROM_WIN32(GetLastError());
  HRESULT result = HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
  if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY")) {
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    const int size = static_cast<int>(SizeofResource(module, found));
    const int units = bytes ? MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, size, nullptr, 0) : 0;
    std::u16string text(static_cast<std::size_t>(units), u'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, size, reinterpret_cast<wchar_t*>(text.data()), units);
    const std::u16string module16(path.begin(), path.end());
    const auto parsed = ejectra::helper::ParseRegistryScript(
        text, {{u"APPID", reinterpret_cast<const char16_t*>(kAppId)},
               {u"MODULE", ejectra::helper::QuotedModulePath(module16)}});
    result = parsed ? S_OK : E_UNEXPECTED;
    if (parsed) keys = *parsed;
  }
  FreeLibrary(module);
  return result;
}

HRESULT LoadOwnTypeLib(const std::wstring& path, ITypeLib** library) {
  HRESULT result = LoadTypeLib(path.c_str(), library);
  if (FAILED(result)) {
    std::wstring tlb = path;
    const auto dot = tlb.find_last_of(L'.');
    tlb = (dot == std::wstring::npos ? tlb : tlb.substr(0, dot)) + L".tlb";
    result = LoadTypeLib(tlb.c_str(), library);
  }
  return result;
}

HRESULT Register() {
  std::wstring path;
  std::vector<ejectra::helper::ScriptKey> application, klass;
  ejectra::platform::win32::Win32Registry registry;
  HRESULT result = ModulePath(path);
  if (SUCCEEDED(result)) result = LoadScript(path, kApplicationScript, application);
  if (SUCCEEDED(result)) result = ejectra::helper::WriteRegistryScript(registry, application);
  if (SUCCEEDED(result)) result = LoadScript(path, kClassScript, klass);
  if (SUCCEEDED(result)) result = ejectra::helper::WriteRegistryScript(registry, klass);
  if (FAILED(result)) return result;
  ITypeLib* library = nullptr;
  result = LoadOwnTypeLib(path, &library);
  if (FAILED(result)) return result;
  std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
  result = RegisterTypeLib(library, path.data(), folder.data());
  library->Release();
  return result;
}

HRESULT Unregister() {
  std::wstring path;
  std::vector<ejectra::helper::ScriptKey> application, klass;
  ejectra::platform::win32::Win32Registry registry;
  HRESULT result = ModulePath(path);
  if (SUCCEEDED(result)) result = LoadScript(path, kClassScript, klass);
  if (SUCCEEDED(result)) result = ejectra::helper::RemoveRegistryScript(registry, klass);
  if (FAILED(result)) return result;
  ITypeLib* library = nullptr;
  result = LoadOwnTypeLib(path, &library);
  if (FAILED(result)) return result;
  TLIBATTR* attributes = nullptr;
  result = library->GetLibAttr(&attributes);
  if (SUCCEEDED(result)) {
    result = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum,
                               attributes->wMinorVerNum, attributes->lcid, attributes->syskind);
    library->ReleaseTLibAttr(attributes);
  }
  library->Release();
  if (FAILED(result)) return result;
  result = LoadScript(path, kApplicationScript, application);
  if (SUCCEEDED(result)) result = ejectra::helper::RemoveRegistryScript(registry, application);
  return result;
}

// --- Serving ------------------------------------------------------------------

DWORD WINAPI Monitor(void* locks) {
  static_cast<ServerLocks*>(locks)->RunShutdownMonitor(
      [] { PostThreadMessageW(g_module.mainThread, WM_QUIT, 0, 0); });
  return 0;
}

HRESULT Serve() {
  DWORD cookie = 0;
  HRESULT result = CoRegisterClassObject(CLSID_PullcoreHookHelper, &g_factory,
                                         CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie);
  if (FAILED(result)) return result;
  g_module.shutdownEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!g_module.shutdownEvent) {
    CoRevokeClassObject(cookie);
    return E_FAIL;
  }
  static ServerLocks locks(g_module.os, reinterpret_cast<ejectra::platform::Handle>(g_module.shutdownEvent));
  g_module.locks = &locks;
  HANDLE monitor = CreateThread(nullptr, 0, Monitor, &locks, 0, nullptr);
  if (!monitor) {
    CoRevokeClassObject(cookie);
    return E_FAIL;
  }
  CloseHandle(monitor);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  result = CoRevokeClassObject(cookie);
  Sleep(ejectra::helper::kQuitPauseMilliseconds);
  return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kAppId);
  if (!mutex) return 1;
  HRESULT result = -1;
  if (!g_module.initFailed) {
    switch (ejectra::helper::ParseServerCommand(reinterpret_cast<const char16_t*>(GetCommandLineW()))) {
      case ejectra::helper::ServerAction::Register: result = Register(); break;
      case ejectra::helper::ServerAction::Unregister: result = Unregister(); break;
      case ejectra::helper::ServerAction::Serve: result = Serve(); break;
    }
  }
  CloseHandle(mutex);
  // The shutdown event stays open until the process ends: a release that
  // comes late may still signal it, and must find it open.
  return result;
}
