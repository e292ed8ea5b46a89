#include "helper/server/registration.h"

#include <oleauto.h>

#include <span>
#include <string>

#include "helper/hook_session.h"
#include "helper/registration_steps.h"
#include "platform/unique_owner.h"
#include "platform/win32/win32_registry.h"

namespace ejectra::helper {

using platform::ComPtr;

namespace {

// The real calls the glue's own owners close through; a close keeps the
// last error.
struct Kernel32 {
  DWORD GetLastError() { return ::GetLastError(); }
  void SetLastError(DWORD error) { ::SetLastError(error); }
};

// A module loaded as data.
struct LibraryTraits {
  using Seam = Kernel32;
  using Value = HMODULE;
  static constexpr Value kEmpty = nullptr;
  static void Close(Seam&, Value module) noexcept { FreeLibrary(module); }
};
using UniqueLibrary = platform::UniqueOwner<LibraryTraits>;

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

HRESULT LastError() { return HresultFromWin32(GetLastError()); }

class Win32RegistrationSystem final : public RegistrationSystem {
 public:
  explicit Win32RegistrationSystem(std::u16string path) : path_(std::move(path)) {}

  std::u16string ModulePath() override { return path_; }

  // The resource as the thread's ANSI code page text.
  platform::Hresult LoadScriptText(int id, std::u16string& text) override {
    Kernel32 kernel32;
    const UniqueLibrary module(kernel32, LoadLibraryExW(Wide(path_), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return LastError();
    const HRSRC found = FindResourceW(module.get(), MAKEINTRESOURCEW(id), L"REGISTRY");
    if (!found) return LastError();
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module.get(), found)));
    if (!bytes) return LastError();
    const int size = static_cast<int>(SizeofResource(module.get(), found));
    const int units = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, size, nullptr, 0);
    text.assign(static_cast<std::size_t>(units), u'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, size, reinterpret_cast<wchar_t*>(text.data()), units);
    return S_OK;
  }

  platform::Registry& Registry() override { return registry_; }

  platform::Hresult RegisterTypeLibrary() override {
    ComPtr<ITypeLib> library;
    if (const HRESULT loaded = LoadOwnTypeLib(library); FAILED(loaded)) return loaded;
    std::wstring path(Wide(path_));
    std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    return RegisterTypeLib(library.get(), path.data(), folder.data());
  }

  platform::Hresult UnregisterTypeLibrary() override {
    ComPtr<ITypeLib> library;
    if (const HRESULT loaded = LoadOwnTypeLib(library); FAILED(loaded)) return loaded;
    TLIBATTR* attributes = nullptr;
    if (const HRESULT read = library->GetLibAttr(&attributes); FAILED(read)) return read;
    const HRESULT result = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum,
                                             attributes->wMinorVerNum, attributes->lcid,
                                             attributes->syskind);
    library->ReleaseTLibAttr(attributes);
    return result;
  }

 private:
  // The type library inside the program, or else the .tlb file beside it.
  HRESULT LoadOwnTypeLib(ComPtr<ITypeLib>& library) {
    const HRESULT result = LoadTypeLib(Wide(path_), library.put());
    if (SUCCEEDED(result)) return result;
    const std::size_t dot = path_.find_last_of(u'.');
    const std::u16string tlb = path_.substr(0, dot) + u".tlb";
    return LoadTypeLib(Wide(tlb), library.put());
  }

  const std::u16string path_;
  platform::win32::Win32Registry registry_;
};

HRESULT RunOnThisProgram(std::span<const RegistrationStep> steps) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  if (length == 0) return LastError();
  if (length >= MAX_PATH) return HresultFromWin32(ERROR_INSUFFICIENT_BUFFER);
  Win32RegistrationSystem system(std::u16string(reinterpret_cast<const char16_t*>(buffer), length));
  return RunRegistrationSteps(steps, system);
}

}  // namespace

HRESULT RegisterServer() { return RunOnThisProgram(kRegistrationSteps); }
HRESULT UnregisterServer() { return RunOnThisProgram(kUnregistrationSteps); }

}  // namespace ejectra::helper
