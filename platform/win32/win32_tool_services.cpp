#include "platform/win32/win32_tool_services.h"

#include <windows.h>
// windows.h first
#include <objbase.h>
#include <shellapi.h>
#include <winver.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "PullcoreHelper.h"  // made by widl from the hook helper's IDL

namespace ejectra::platform::win32 {

static_assert(sizeof(VsFixedFileInfo) == sizeof(VS_FIXEDFILEINFO));
static_assert(kMbIconError == MB_ICONERROR && kMbIconWarning == MB_ICONWARNING);
static_assert(kRegdbEClassNotReg == REGDB_E_CLASSNOTREG);

namespace {

wchar_t* Wide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
HMODULE Module(ModuleHandle module) { return reinterpret_cast<HMODULE>(module); }

GUID Native(const Guid& g) {
  GUID n;
  std::memcpy(&n, &g, sizeof n);
  return n;
}

// A hook helper object of the server, called through its vtable.
class HookHelper final : public HookHelperObject {
 public:
  explicit HookHelper(IPullcoreHookHelper* object) : object_(object) {}
  std::int32_t StartHook(std::int32_t* refCount) override {
    LONG count = *refCount;
    const HRESULT result = object_->StartHook(&count);
    *refCount = count;
    return result;
  }
  std::int32_t StopHook(std::int32_t* refCount) override {
    LONG count = *refCount;
    const HRESULT result = object_->StopHook(&count);
    *refCount = count;
    return result;
  }
  std::uint32_t Release() override {
    const ULONG left = object_->Release();
    delete this;
    return left;
  }

 private:
  IPullcoreHookHelper* object_;
};

}  // namespace

Win32ToolServices::~Win32ToolServices() { std::fflush(stdout); }

ModuleHandle Win32ToolServices::LoadLibraryW(const char16_t* path) {
  return reinterpret_cast<ModuleHandle>(::LoadLibraryW(Wide(path)));
}

ProcAddress Win32ToolServices::GetProcAddress(ModuleHandle module, const char* name) {
  return reinterpret_cast<ProcAddress>(::GetProcAddress(Module(module), name));
}

bool Win32ToolServices::FreeLibrary(ModuleHandle module) {
  return ::FreeLibrary(Module(module)) != FALSE;
}

std::uint32_t Win32ToolServices::GetModuleFileNameW(ModuleHandle module, char16_t* path,
                                                    std::uint32_t capacity) {
  return ::GetModuleFileNameW(Module(module), Wide(path), capacity);
}

std::uint32_t Win32ToolServices::GetSystemDirectoryW(char16_t* path, std::uint32_t capacity) {
  return ::GetSystemDirectoryW(Wide(path), capacity);
}

std::u16string Win32ToolServices::LoadStringW(std::uint32_t id) {
  // With no room given, LoadStringW points at the resource's own text.
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id,
                                   reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length));
}

std::uint32_t Win32ToolServices::GetLogicalDrives() { return ::GetLogicalDrives(); }

std::u16string Win32ToolServices::GetCommandLineW() {
  return reinterpret_cast<const char16_t*>(::GetCommandLineW());
}

bool Win32ToolServices::CommandLineToArgvW(const char16_t* commandLine,
                                           std::vector<std::u16string>& args) {
  int count = 0;
  LPWSTR* argv = ::CommandLineToArgvW(Wide(commandLine), &count);
  if (!argv) return false;
  args.clear();
  for (int i = 0; i < count; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  ::LocalFree(argv);
  return count > 0;
}

std::string Win32ToolServices::WideCharToMultiByte(std::u16string_view text) {
  if (text.empty()) return {};
  const int units = static_cast<int>(text.size());
  const int size = ::WideCharToMultiByte(CP_THREAD_ACP, 0, Wide(text.data()), units, nullptr, 0,
                                         nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, Wide(text.data()), units, bytes.data(), size, nullptr,
                          nullptr);
  }
  return bytes;
}

void Win32ToolServices::WriteStdout(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);  // text mode: LF becomes CR LF
}

int Win32ToolServices::MessageBoxW(WindowHandle owner, const char16_t* text,
                                   const char16_t* caption, std::uint32_t style) {
  return ::MessageBoxW(reinterpret_cast<HWND>(owner), Wide(text), Wide(caption), style);
}

std::uint32_t Win32ToolServices::GetFileVersionInfoSizeW(const char16_t* path) {
  return ::GetFileVersionInfoSizeW(Wide(path), nullptr);
}

bool Win32ToolServices::GetFileVersionInfoW(const char16_t* path, std::uint32_t size,
                                            void* block) {
  return ::GetFileVersionInfoW(Wide(path), 0, size, block) != FALSE;
}

bool Win32ToolServices::VerQueryValueW(const void* block, const char16_t* subBlock,
                                       const void** value, std::uint32_t* length) {
  void* found = nullptr;
  UINT size = 0;
  if (!::VerQueryValueW(block, Wide(subBlock), &found, &size)) return false;
  *value = found;
  *length = size;
  return true;
}

std::int32_t Win32ToolServices::CoInitialize() { return ::CoInitialize(nullptr); }

void Win32ToolServices::CoUninitialize() { ::CoUninitialize(); }

std::int32_t Win32ToolServices::CoCreateInstance(const Guid& clsid, std::uint32_t context,
                                                 const Guid& iid, HookHelperObject** object) {
  *object = nullptr;
  const GUID nativeClsid = Native(clsid), nativeIid = Native(iid);
  IPullcoreHookHelper* helper = nullptr;
  const HRESULT result = ::CoCreateInstance(nativeClsid, nullptr, context, nativeIid,
                                            reinterpret_cast<void**>(&helper));
  if (!helper) return result;
  *object = new (std::nothrow) HookHelper(helper);
  if (*object) return result;
  helper->Release();
  return E_OUTOFMEMORY;
}

}  // namespace ejectra::platform::win32
