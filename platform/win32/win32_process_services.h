// What the suite's programs reach beyond the core, on real Windows: every
// method forwards to the call it is named after.
#pragma once

#include "platform/process_services.h"

namespace ejectra::platform::win32 {

class Win32ProcessServices final : public Modules,
                                   public Process,
                                   public Output,
                                   public VersionInfo,
                                   public Com {
 public:
  explicit Win32ProcessServices(KernelBase& kernel) : kernel_(kernel) {}
  ~Win32ProcessServices() override;
  ProcessServices Services() {
    return ProcessServices{*this, *this, *this, *this, *this, kernel_};
  }

  ModuleHandle LoadLibraryW(const char16_t* path) override;
  ProcAddress GetProcAddress(ModuleHandle module, const char* name) override;
  bool FreeLibrary(ModuleHandle module) override;
  std::uint32_t GetModuleFileNameW(ModuleHandle module, char16_t* path,
                                   std::uint32_t capacity) override;
  std::uint32_t GetSystemDirectoryW(char16_t* path, std::uint32_t capacity) override;
  std::u16string LoadStringW(std::uint32_t id) override;

  std::uint32_t GetLogicalDrives() override;
  std::u16string GetCommandLineW() override;
  bool CommandLineToArgvW(const char16_t* commandLine,
                          std::vector<std::u16string>& args) override;
  std::string WideCharToMultiByte(std::u16string_view text) override;

  void WriteStdout(std::string_view bytes) override;
  void WriteStdoutBytes(std::string_view bytes) override;
  std::uint32_t GetFileType() override;
  bool GetConsoleMode(std::uint32_t* mode) override;
  bool WriteConsoleW(std::u16string_view text) override;
  int MessageBoxW(WindowHandle owner, const char16_t* text, const char16_t* caption,
                  std::uint32_t style) override;

  std::uint32_t GetFileVersionInfoSizeW(const char16_t* path) override;
  bool GetFileVersionInfoW(const char16_t* path, std::uint32_t size, void* block) override;
  bool VerQueryValueW(const void* block, const char16_t* subBlock, const void** value,
                      std::uint32_t* length) override;

  Hresult CoInitialize() override;
  void CoUninitialize() override;
  Hresult CoCreateInstance(const Guid& clsid, std::uint32_t context, const Guid& iid,
                           void** object) override;

 private:
  KernelBase& kernel_;
};

}  // namespace ejectra::platform::win32
