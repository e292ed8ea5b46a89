// What a program of the suite reaches beyond the core: its modules and
// resources, its drives and command line, where its words go, version
// resources and COM. One small interface per concern, each method named
// after and behaving as the call it forwards; ownership of what the platform
// allocates (argument vectors, message boxes) stays inside the
// implementations.
//
// Two implementations exist: platform/win32 forwards to the real calls, and
// platform/sim answers from a simulated process on a simulated machine.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/calling_convention.h"
#include "platform/kernel_base.h"
#include "platform/types.h"

namespace ejectra::platform {

using ModuleHandle = std::uintptr_t;  // HMODULE; 0 = none
using ProcAddress = void (*)();       // FARPROC

// kernel32: modules and their resources.
class Modules {
 public:
  virtual ~Modules() = default;

  virtual ModuleHandle LoadLibraryW(const char16_t* path) = 0;
  virtual ProcAddress GetProcAddress(ModuleHandle module, const char* name) = 0;
  virtual bool FreeLibrary(ModuleHandle module) = 0;
  // Module 0 is the running program. Returns the characters stored, 0 on
  // failure, and the capacity when the path was cut.
  virtual std::uint32_t GetModuleFileNameW(ModuleHandle module, char16_t* path,
                                           std::uint32_t capacity) = 0;
  // The characters stored, or, when the folder does not fit, the capacity
  // it needs (its terminator included); 0 on failure.
  virtual std::uint32_t GetSystemDirectoryW(char16_t* path, std::uint32_t capacity) = 0;
  // The string `id` of the running program's string table; empty when missing.
  virtual std::u16string LoadStringW(std::uint32_t id) = 0;
};

// kernel32 and shell32: the process's drives, command line and code page.
class Process {
 public:
  virtual ~Process() = default;

  // UTF-16 to the thread's ANSI code page (CP_THREAD_ACP), no flags, no
  // default character of our own.
  virtual std::string WideCharToMultiByte(std::u16string_view text) = 0;

  virtual std::uint32_t GetLogicalDrives() = 0;
  virtual std::u16string GetCommandLineW() = 0;
  // Splits by the platform's rules; false when the platform fails to.
  virtual bool CommandLineToArgvW(const char16_t* commandLine,
                                  std::vector<std::u16string>& args) = 0;
};

// kernel32, the C runtime and user32: where the programs' words go.
class Output {
 public:
  virtual ~Output() = default;

  // Standard output in text mode: each line feed reaches the stream as CR LF.
  virtual void WriteStdout(std::string_view bytes) = 0;
  // Standard output in binary mode: the bytes reach the stream as they are.
  virtual void WriteStdoutBytes(std::string_view bytes) = 0;
  // The next three act on the handle behind standard output. What kind of
  // file it is (kFileType...); FILE_TYPE_UNKNOWN with the last error when
  // the call fails.
  virtual std::uint32_t GetFileType() = 0;
  // True, with the console's mode, only when it is a console; false, with
  // the last error, for a file, a pipe or another character device (NUL).
  virtual bool GetConsoleMode(std::uint32_t* mode) = 0;
  // The UTF-16 text to that console, line feeds as they are; false, with
  // the last error, when it is no console.
  virtual bool WriteConsoleW(std::u16string_view text) = 0;
  virtual int MessageBoxW(WindowHandle owner, const char16_t* text, const char16_t* caption,
                          std::uint32_t style) = 0;
};

// version: a file's version resource.
class VersionInfo {
 public:
  virtual ~VersionInfo() = default;

  virtual std::uint32_t GetFileVersionInfoSizeW(const char16_t* path) = 0;
  virtual bool GetFileVersionInfoW(const char16_t* path, std::uint32_t size, void* block) = 0;
  // Points `value` into `block`; `length` is in characters for texts, bytes otherwise.
  virtual bool VerQueryValueW(const void* block, const char16_t* subBlock, const void** value,
                              std::uint32_t* length) = 0;
};

// VS_FIXEDFILEINFO, field for field.
struct VsFixedFileInfo {
  std::uint32_t dwSignature;
  std::uint32_t dwStrucVersion;
  std::uint32_t dwFileVersionMS;
  std::uint32_t dwFileVersionLS;
  std::uint32_t dwProductVersionMS;
  std::uint32_t dwProductVersionLS;
  std::uint32_t dwFileFlagsMask;
  std::uint32_t dwFileFlags;
  std::uint32_t dwFileOS;
  std::uint32_t dwFileType;
  std::uint32_t dwFileSubtype;
  std::uint32_t dwFileDateMS;
  std::uint32_t dwFileDateLS;
};

// The calling convention of COM methods (STDMETHODCALLTYPE).
#define EJECTRA_STDMETHOD EJECTRA_WINAPI

// IUnknown, slot for slot. Portable code declares the interfaces it calls
// as mirrors derived from this one, in the slot order of their IDL; on
// Windows the objects behind them are the platform's own.
class IUnknownMirror {
 public:
  virtual Hresult EJECTRA_STDMETHOD QueryInterface(const Guid& iid, void** object) = 0;
  virtual std::uint32_t EJECTRA_STDMETHOD AddRef() = 0;
  virtual std::uint32_t EJECTRA_STDMETHOD Release() = 0;

 protected:
  ~IUnknownMirror() = default;
};

// ole32: the apartment and object creation.
class Com {
 public:
  virtual ~Com() = default;

  virtual Hresult CoInitialize() = 0;
  virtual void CoUninitialize() = 0;
  // `object` receives the interface `iid` of a new object of class `clsid`,
  // or null.
  virtual Hresult CoCreateInstance(const Guid& clsid, std::uint32_t context, const Guid& iid,
                                   void** object) = 0;
};

inline constexpr std::uint32_t kClsctxInprocServer = 1;
inline constexpr std::uint32_t kClsctxLocalServer = 4;
inline constexpr std::uint32_t kClsctxInprocAndLocal = 7;
inline constexpr Guid kIidIUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

inline constexpr std::uint32_t kFileTypeUnknown = 0;
inline constexpr std::uint32_t kFileTypeDisk = 1;
inline constexpr std::uint32_t kFileTypeChar = 2;
inline constexpr std::uint32_t kFileTypePipe = 3;

inline constexpr std::uint32_t kMbOk = 0;
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbIconWarning = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
inline constexpr int kIdOk = 1;

struct ProcessServices {
  Modules& modules;
  Process& process;
  Output& output;
  VersionInfo& version;
  Com& com;
  KernelBase& kernel;

  // The thread's last error, which the module calls report through.
  ErrorCode GetLastError() const { return kernel.GetLastError(); }
  void SetLastError(ErrorCode error) const { kernel.SetLastError(error); }
};

}  // namespace ejectra::platform
