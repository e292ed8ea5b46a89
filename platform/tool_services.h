// The platform seam of the unplug tools, one small interface per concern,
// each method named after and behaving as the call it forwards. Ownership
// of what the platform allocates (argument vectors, message boxes) stays
// inside the implementations.
//
// Two implementations exist: platform/win32 forwards to the real calls, and
// platform/sim answers from a simulated process on a simulated machine.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
  // Module 0 is the running program. Returns the characters stored, 0 on failure.
  virtual std::uint32_t GetModuleFileNameW(ModuleHandle module, char16_t* path,
                                           std::uint32_t capacity) = 0;
  virtual std::uint32_t GetSystemDirectoryW(char16_t* path, std::uint32_t capacity) = 0;
  // The string `id` of the running program's string table; empty when missing.
  virtual std::u16string LoadStringW(std::uint32_t id) = 0;
};

// kernel32 and shell32: the process's drives and command line.
class Process {
 public:
  virtual ~Process() = default;

  virtual std::uint32_t GetLogicalDrives() = 0;
  virtual std::u16string GetCommandLineW() = 0;
  // Splits by the platform's rules; false when the platform fails to.
  virtual bool CommandLineToArgvW(const char16_t* commandLine,
                                  std::vector<std::u16string>& args) = 0;
};

// kernel32, the C runtime and user32: where the tools' words go.
class Output {
 public:
  virtual ~Output() = default;

  // UTF-16 to the thread's ANSI code page (CP_THREAD_ACP), no flags, no
  // default character of our own.
  virtual std::string WideCharToMultiByte(std::u16string_view text) = 0;
  // Standard output in text mode: each line feed reaches the stream as CR LF.
  virtual void WriteStdout(std::string_view bytes) = 0;
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

// The methods of IPullcoreHookHelper a client uses, through its vtable.
class HookHelperObject {
 public:
  virtual std::int32_t StartHook(std::int32_t* refCount) = 0;  // HRESULT
  virtual std::int32_t StopHook(std::int32_t* refCount) = 0;   // HRESULT
  virtual std::uint32_t Release() = 0;

 protected:
  ~HookHelperObject() = default;
};

// ole32: the apartment and object creation.
class Com {
 public:
  virtual ~Com() = default;

  virtual std::int32_t CoInitialize() = 0;  // HRESULT
  virtual void CoUninitialize() = 0;
  // `object` receives an IPullcoreHookHelper, or stays null.
  virtual std::int32_t CoCreateInstance(const Guid& clsid, std::uint32_t context,
                                        const Guid& iid, HookHelperObject** object) = 0;
};

inline constexpr std::int32_t kSOk = 0;
inline constexpr std::int32_t kSFalse = 1;
inline constexpr std::int32_t kRegdbEClassNotReg = static_cast<std::int32_t>(0x80040154);
inline constexpr std::uint32_t kClsctxInprocAndLocal = 7;
inline constexpr Guid kClsidPullcoreHookHelper = {
    0xE0D32790, 0x51A4, 0x4CC1, {0xA6, 0x53, 0x1F, 0xFC, 0x43, 0x49, 0x12, 0x5B}};
inline constexpr Guid kIidPullcoreHookHelper = {
    0x90E3B31B, 0x830C, 0x49CF, {0x96, 0xA0, 0x25, 0x7F, 0x09, 0x0C, 0x0D, 0xCD}};

inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbIconWarning = 0x30;
inline constexpr int kIdOk = 1;

struct ToolServices {
  Modules& modules;
  Process& process;
  Output& output;
  VersionInfo& version;
  Com& com;
};

}  // namespace ejectra::platform
