// A program running on a simulated machine: its command line, string table,
// version resource, the files it can load as libraries, its COM classes,
// and a record of everything it wrote or showed.
//
// The simulated Pullcore.dll it can load answers from the machine through
// the device removal core. Like a real library it is process-wide: one
// SimProcess at a time may hold it loaded.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_machine.h"
#include "platform/tool_services.h"

namespace ejectra::platform::sim {

// Splits a command line by the rules of CommandLineToArgvW.
std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

struct SimMessageBox {
  std::u16string text;
  std::u16string caption;
  std::uint32_t style = 0;
};

struct SimVersionResource {
  VsFixedFileInfo fixed{};
  std::vector<std::uint32_t> translations;  // language in the low word, code page high
  std::map<std::u16string, std::u16string, LessIgnoringAsciiCase> strings;  // by sub-block
};

// What the hook helper class answers, and what its object was asked.
struct SimHookHelperClass {
  enum class Registration { NotRegistered, Registered, ServerFails };
  Registration registration = Registration::NotRegistered;
  std::int32_t createFailure = static_cast<std::int32_t>(0x80080005);  // CO_E_SERVER_EXEC_FAILURE
  std::int32_t startAnswer = 0;
  std::int32_t stopAnswer = 0;
};

// The exports a simulated Pullcore.dll offers.
enum SimExport : unsigned {
  kExportIsRemovable = 1,
  kExportIsRemovableEx = 2,
  kExportRemove = 4,
  kExportAll = 7,
};

class SimProcess final : public Modules, public Process, public Output, public VersionInfo,
                         public Com {
 public:
  explicit SimProcess(SimMachine& machine);
  ~SimProcess() override;
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  ToolServices Services() { return ToolServices{*this, *this, *this, *this, *this}; }

  // --- What the process is given -------------------------------------------
  std::u16string programPath = u"C:\\Program Files\\Ejectra\\ejectrac.exe";
  std::u16string systemDirectory = u"C:\\Windows\\system32";
  std::u16string commandLine = u"ejectrac";
  std::map<std::uint32_t, std::u16string> strings;
  std::map<std::u16string, SimVersionResource, LessIgnoringAsciiCase> versions;  // by path
  // Drive letters present; by default those of the machine's DOS names.
  std::optional<std::uint32_t> logicalDrives;
  bool splitFails = false;
  std::int32_t coInitializeAnswer = 0;
  SimHookHelperClass hookHelper;

  // Places a simulated Pullcore.dll with the given exports at `path`.
  void InstallPullcore(std::u16string path, unsigned exports = kExportAll);

  // --- What it did ---------------------------------------------------------
  std::string stdoutBytes;  // as they reach the stream, CR LF line ends
  std::vector<SimMessageBox> messageBoxes;
  std::vector<std::u16string> libraryLoads;  // every path asked for
  std::vector<std::string> hookCalls;        // "CoInitialize", "StartHook", ...
  bool LibraryLoaded() const { return loaded_ != 0; }
  // What the program wrote to standard output, as text.
  std::u16string StdoutText() const;

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
  std::u16string GetCommandLineW() override { return commandLine; }
  bool CommandLineToArgvW(const char16_t* line, std::vector<std::u16string>& args) override;

  // Output: the simulated machine's ANSI code page is UTF-8.
  std::string WideCharToMultiByte(std::u16string_view text) override;
  void WriteStdout(std::string_view bytes) override;
  int MessageBoxW(WindowHandle owner, const char16_t* text, const char16_t* caption,
                  std::uint32_t style) override;

  // VersionInfo
  std::uint32_t GetFileVersionInfoSizeW(const char16_t* path) override;
  bool GetFileVersionInfoW(const char16_t* path, std::uint32_t size, void* block) override;
  bool VerQueryValueW(const void* block, const char16_t* subBlock, const void** value,
                      std::uint32_t* length) override;

  // Com
  std::int32_t CoInitialize() override;
  void CoUninitialize() override;
  std::int32_t CoCreateInstance(const Guid& clsid, std::uint32_t context, const Guid& iid,
                                HookHelperObject** object) override;

 private:
  class HookHelper;
  SimMachine& machine_;
  std::map<std::u16string, unsigned, LessIgnoringAsciiCase> libraries_;  // path -> exports
  ModuleHandle loaded_ = 0;
  unsigned loadedExports_ = 0;
  std::vector<std::u16string> versionBlocks_;  // the path behind each block handed out
};

}  // namespace ejectra::platform::sim
