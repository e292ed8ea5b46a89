#include "platform/win32/win32_process_services.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
// windows.h first
#include <objbase.h>
#include <shellapi.h>
#include <winver.h>

#include <bit>
#include <cstdio>
#include <type_traits>

#include "platform/win32/wide.h"

namespace ejectra::platform::win32 {

static_assert(sizeof(VsFixedFileInfo) == sizeof(VS_FIXEDFILEINFO));
static_assert(sizeof(ModuleHandle) == sizeof(HMODULE) && sizeof(ProcAddress) == sizeof(FARPROC));
static_assert(sizeof(Hresult) == sizeof(HRESULT));
static_assert(kSOk == S_OK && kSFalse == S_FALSE && kENotImpl == E_NOTIMPL &&
              kENoInterface == E_NOINTERFACE && kEPointer == E_POINTER && kEFail == E_FAIL &&
              kEOutOfMemory == E_OUTOFMEMORY && kEInvalidArg == E_INVALIDARG &&
              kRegdbEClassNotReg == REGDB_E_CLASSNOTREG &&
              kCoEServerExecFailure == CO_E_SERVER_EXEC_FAILURE);
static_assert(kClsctxInprocServer == CLSCTX_INPROC_SERVER &&
              kClsctxLocalServer == CLSCTX_LOCAL_SERVER &&
              kClsctxInprocAndLocal == (CLSCTX_INPROC | CLSCTX_LOCAL_SERVER));
static_assert(std::is_same_v<void(EJECTRA_STDMETHOD*)(), void(STDMETHODCALLTYPE*)()>);
static_assert(sizeof(IUnknownMirror) == sizeof(IUnknown));
static_assert(kFileTypeUnknown == FILE_TYPE_UNKNOWN && kFileTypeDisk == FILE_TYPE_DISK &&
              kFileTypeChar == FILE_TYPE_CHAR && kFileTypePipe == FILE_TYPE_PIPE);
static_assert(kMbIconError == MB_ICONERROR && kMbIconWarning == MB_ICONWARNING && kIdOk == IDOK);

namespace {

HMODULE Module(ModuleHandle module) { return reinterpret_cast<HMODULE>(module); }

// The handle behind the C runtime's standard output, where WriteStdout's
// bytes go.
HANDLE StdoutHandle() { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdout))); }

}  // namespace

Win32ProcessServices::~Win32ProcessServices() { std::fflush(stdout); }

ModuleHandle Win32ProcessServices::LoadLibraryW(const char16_t* path) {
  return reinterpret_cast<ModuleHandle>(::LoadLibraryW(Wide(path)));
}

ProcAddress Win32ProcessServices::GetProcAddress(ModuleHandle module, const char* name) {
  return reinterpret_cast<ProcAddress>(::GetProcAddress(Module(module), name));
}

bool Win32ProcessServices::FreeLibrary(ModuleHandle module) {
  return ::FreeLibrary(Module(module)) != FALSE;
}

std::uint32_t Win32ProcessServices::GetModuleFileNameW(ModuleHandle module, char16_t* path,
                                                       std::uint32_t capacity) {
  return ::GetModuleFileNameW(Module(module), Wide(path), capacity);
}

std::uint32_t Win32ProcessServices::GetSystemDirectoryW(char16_t* path, std::uint32_t capacity) {
  return ::GetSystemDirectoryW(Wide(path), capacity);
}

std::u16string Win32ProcessServices::LoadStringW(std::uint32_t id) {
  // With no room given, LoadStringW points at the resource's own text.
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id,
                                   reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) return {};
  return std::u16string(Utf16(text), static_cast<std::size_t>(length));
}

std::uint32_t Win32ProcessServices::GetLogicalDrives() { return ::GetLogicalDrives(); }

std::u16string Win32ProcessServices::GetCommandLineW() { return Utf16(::GetCommandLineW()); }

bool Win32ProcessServices::CommandLineToArgvW(const char16_t* commandLine,
                                              std::vector<std::u16string>& args) {
  int count = 0;
  LPWSTR* argv = ::CommandLineToArgvW(Wide(commandLine), &count);
  if (!argv) return false;
  args.clear();
  for (int i = 0; i < count; ++i) args.emplace_back(Utf16(argv[i]));
  ::LocalFree(argv);
  return count > 0;
}

std::string Win32ProcessServices::WideCharToMultiByte(std::u16string_view text) {
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

void Win32ProcessServices::WriteStdout(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);  // text mode: LF becomes CR LF
}

void Win32ProcessServices::WriteStdoutBytes(std::string_view bytes) {
  std::fflush(stdout);
  const int mode = _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
  if (mode != -1) _setmode(_fileno(stdout), mode);
}

std::uint32_t Win32ProcessServices::GetFileType() { return ::GetFileType(StdoutHandle()); }

bool Win32ProcessServices::GetConsoleMode(std::uint32_t* mode) {
  DWORD value = 0;
  if (!::GetConsoleMode(StdoutHandle(), &value)) return false;
  *mode = value;
  return true;
}

bool Win32ProcessServices::WriteConsoleW(std::u16string_view text) {
  std::fflush(stdout);  // bytes written before stay before
  DWORD written = 0;
  return ::WriteConsoleW(StdoutHandle(), Wide(text.data()), static_cast<DWORD>(text.size()),
                         &written, nullptr) != FALSE;
}

int Win32ProcessServices::MessageBoxW(WindowHandle owner, const char16_t* text,
                                      const char16_t* caption, std::uint32_t style) {
  return ::MessageBoxW(reinterpret_cast<HWND>(owner), Wide(text), Wide(caption), style);
}

std::uint32_t Win32ProcessServices::GetFileVersionInfoSizeW(const char16_t* path) {
  return ::GetFileVersionInfoSizeW(Wide(path), nullptr);
}

bool Win32ProcessServices::GetFileVersionInfoW(const char16_t* path, std::uint32_t size,
                                               void* block) {
  return ::GetFileVersionInfoW(Wide(path), 0, size, block) != FALSE;
}

bool Win32ProcessServices::VerQueryValueW(const void* block, const char16_t* subBlock,
                                          const void** value, std::uint32_t* length) {
  void* found = nullptr;
  UINT size = 0;
  if (!::VerQueryValueW(block, Wide(subBlock), &found, &size)) return false;
  *value = found;
  *length = size;
  return true;
}

Hresult Win32ProcessServices::CoInitialize() { return ::CoInitialize(nullptr); }

void Win32ProcessServices::CoUninitialize() { ::CoUninitialize(); }

Hresult Win32ProcessServices::CoCreateInstance(const Guid& clsid, std::uint32_t context,
                                               const Guid& iid, void** object) {
  return ::CoCreateInstance(std::bit_cast<GUID>(clsid), nullptr, context, std::bit_cast<GUID>(iid),
                            object);
}

}  // namespace ejectra::platform::win32
