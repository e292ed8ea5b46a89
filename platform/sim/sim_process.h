// A program running on a simulated world: its command line, string table
// and version resources, the libraries it loads from the world's files, the
// COM objects it makes from the world's registered classes, and a record
// of everything it wrote or showed. Calls are logged by name in the world
// and fail as planned (the last error, or the HRESULT for COM); the few that
// cannot fail (GetCommandLineW, CoUninitialize) are logged only.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/process_services.h"
#include "platform/sim/sim_world.h"

namespace ejectra::platform::sim {

struct SimMessageBox {
  std::u16string text;
  std::u16string caption;
  std::uint32_t style = 0;
  friend bool operator==(const SimMessageBox&, const SimMessageBox&) = default;
};

// What the process's standard output is: a file, a pipe, a console window,
// or a character device that is no console (NUL).
enum class SimStdout { kFile, kPipe, kConsole, kNul };

struct SimVersionResource {
  VsFixedFileInfo fixed{};
  std::vector<std::uint32_t> translations;  // language in the low word, code page high
  std::map<std::u16string, std::u16string, LessIgnoringAsciiCase> strings;  // by sub-block
};

class SimProcess final : public Modules, public Process, public Output, public VersionInfo,
                         public Com {
 public:
  static constexpr ErrorCode kErrorProcNotFound = 127;

  explicit SimProcess(SimWorld& world) : world_(world) {
    world.calls.Know({"CoCreateInstance", "CoInitialize", "CoUninitialize", "CommandLineToArgvW",
                      "FreeLibrary", "GetCommandLineW", "GetFileVersionInfoSizeW",
                      "GetFileVersionInfoW", "GetLogicalDrives", "GetModuleFileNameW",
                      "GetProcAddress", "GetSystemDirectoryW", "LoadLibraryW", "LoadStringW",
                      "VerQueryValueW", "GetConsoleMode", "GetFileType", "MessageBoxW",
                      "WideCharToMultiByte", "WriteConsoleW", "WriteStdout", "WriteStdoutBytes"});
  }
  ~SimProcess() override;  // what is still loaded is freed, as at process exit
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  ProcessServices Services() {
    return ProcessServices{*this, *this, *this, *this, *this, world_.kernel};
  }

  // --- What the process is given -------------------------------------------
  std::u16string programPath = u"C:\\Program Files\\Ejectra\\ejectrac.exe";
  std::u16string systemDirectory = u"C:\\Windows\\system32";
  std::u16string commandLine = u"ejectrac";
  std::map<std::uint32_t, std::u16string> strings;
  std::map<std::u16string, SimVersionResource, LessIgnoringAsciiCase> versions;  // by path
  // Drive letters present; by default those of the machine's DOS names.
  std::optional<std::uint32_t> logicalDrives;
  SimStdout standardOutput = SimStdout::kFile;
  std::uint32_t consoleMode = 0x3;  // processed output, wrap at the end of a line

  // --- What it did ---------------------------------------------------------
  std::string stdoutBytes;  // as they reach the stream, CR LF line ends
  std::u16string consoleText;  // what WriteConsoleW gave the console, as it was given
  std::vector<SimMessageBox> messageBoxes;
  // What the program wrote to standard output, as text.
  std::u16string StdoutText() const;
  // Whether the library at `path` is loaded now.
  bool Loaded(std::u16string_view path) const;

  // Modules
  ModuleHandle LoadLibraryW(const char16_t* path) override;
  ProcAddress GetProcAddress(ModuleHandle module, const char* name) override;
  bool FreeLibrary(ModuleHandle module) override;
  std::uint32_t GetModuleFileNameW(ModuleHandle module, char16_t* path,
                                   std::uint32_t capacity) override;
  std::uint32_t GetSystemDirectoryW(char16_t* path, std::uint32_t capacity) override;
  std::u16string LoadStringW(std::uint32_t id) override;

  // Process
  std::uint32_t GetLogicalDrives() override;
  std::u16string GetCommandLineW() override;
  bool CommandLineToArgvW(const char16_t* line, std::vector<std::u16string>& args) override;
  // The simulated machine's ANSI code page is UTF-8.
  std::string WideCharToMultiByte(std::u16string_view text) override;

  // Output
  void WriteStdout(std::string_view bytes) override;
  void WriteStdoutBytes(std::string_view bytes) override;
  std::uint32_t GetFileType() override;
  bool GetConsoleMode(std::uint32_t* mode) override;
  bool WriteConsoleW(std::u16string_view text) override;
  int MessageBoxW(WindowHandle owner, const char16_t* text, const char16_t* caption,
                  std::uint32_t style) override;

  // VersionInfo
  std::uint32_t GetFileVersionInfoSizeW(const char16_t* path) override;
  bool GetFileVersionInfoW(const char16_t* path, std::uint32_t size, void* block) override;
  bool VerQueryValueW(const void* block, const char16_t* subBlock, const void** value,
                      std::uint32_t* length) override;

  // Com: a class is made when the registry names a server for it (a
  // LocalServer32 or InprocServer32 key under HKCR\CLSID, in the process's
  // view) and the world has its code.
  Hresult CoInitialize() override;
  void CoUninitialize() override;
  Hresult CoCreateInstance(const Guid& clsid, std::uint32_t context, const Guid& iid,
                           void** object) override;

 private:
  struct LoadedModule {
    std::u16string path;
    std::uint32_t references = 0;
  };
  std::uint32_t Fail(ErrorCode error);

  SimWorld& world_;
  std::map<ModuleHandle, LoadedModule> modules_;
  ModuleHandle nextModule_ = 0x10000000;
  std::vector<std::u16string> versionBlocks_;  // the path behind each block handed out
};

}  // namespace ejectra::platform::sim
