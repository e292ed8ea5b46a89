#include "platform/sim/sim_process.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/sim/utf.h"

namespace ejectra::platform::sim {

// The exports of the simulated Pullcore.dll, defined with the core.
ProcAddress SimPullcoreExport(std::string_view name, unsigned exports);
void BindSimPullcore(SimMachine* machine);

namespace {

constexpr ModuleHandle kPullcoreModule = 0x10000000;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::uint32_t CopyOut(std::u16string_view text, char16_t* buffer, std::uint32_t capacity) {
  if (capacity == 0) return 0;
  const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), capacity - 1));
  std::copy_n(text.begin(), n, buffer);
  buffer[n] = u'\0';
  return n;
}

}  // namespace

std::vector<std::u16string> SplitCommandLine(std::u16string_view line) {
  std::vector<std::u16string> args;
  std::size_t i = 0;
  // The program: up to the next quote when quoted, else up to a blank; no escapes.
  std::u16string program;
  if (i < line.size() && line[i] == u'"') {
    for (++i; i < line.size() && line[i] != u'"'; ++i) program += line[i];
    if (i < line.size()) ++i;
  } else {
    for (; i < line.size() && !IsBlank(line[i]); ++i) program += line[i];
  }
  args.push_back(program);

  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::u16string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      if (line[i] == u'\\') {
        std::size_t slashes = 0;
        while (i < line.size() && line[i] == u'\\') ++slashes, ++i;
        if (i < line.size() && line[i] == u'"') {
          arg.append(slashes / 2, u'\\');
          if (slashes % 2) arg += u'"', ++i;  // an escaped quote
        } else {
          arg.append(slashes, u'\\');
        }
      } else if (line[i] == u'"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
          arg += u'"';  // "" inside quotes stands for one quote
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg += line[i++];
      }
    }
    args.push_back(arg);
  }
  return args;
}

class SimProcess::HookHelper final : public HookHelperObject {
 public:
  explicit HookHelper(SimProcess& process) : process_(process) {}
  std::int32_t StartHook(std::int32_t* refCount) override {
    process_.hookCalls.push_back("StartHook");
    *refCount = 1;
    return process_.hookHelper.startAnswer;
  }
  std::int32_t StopHook(std::int32_t* refCount) override {
    process_.hookCalls.push_back("StopHook");
    *refCount = 0;
    return process_.hookHelper.stopAnswer;
  }
  std::uint32_t Release() override {
    process_.hookCalls.push_back("Release");
    delete this;
    return 0;
  }

 private:
  SimProcess& process_;
};

SimProcess::SimProcess(SimMachine& machine) : machine_(machine) {}

SimProcess::~SimProcess() {
  if (loaded_) FreeLibrary(loaded_);
}

void SimProcess::InstallPullcore(std::u16string path, unsigned exports) {
  libraries_[std::move(path)] = exports;
}

std::u16string SimProcess::StdoutText() const {
  std::string bytes;
  for (std::size_t i = 0; i < stdoutBytes.size(); ++i) {
    if (stdoutBytes[i] == '\r' && i + 1 < stdoutBytes.size() && stdoutBytes[i + 1] == '\n') continue;
    bytes += stdoutBytes[i];
  }
  return Utf8ToUtf16(bytes).value_or(u"<not UTF-8>");
}

// --- Modules ----------------------------------------------------------------

ModuleHandle SimProcess::LoadLibraryW(const char16_t* path) {
  libraryLoads.emplace_back(path);
  const auto it = libraries_.find(std::u16string(path));
  if (it == libraries_.end() || loaded_) return 0;
  loaded_ = kPullcoreModule;
  loadedExports_ = it->second;
  BindSimPullcore(&machine_);
  return loaded_;
}

ProcAddress SimProcess::GetProcAddress(ModuleHandle module, const char* name) {
  if (module != loaded_ || !loaded_ || !name) return nullptr;
  return SimPullcoreExport(name, loadedExports_);
}

bool SimProcess::FreeLibrary(ModuleHandle module) {
  if (module != loaded_ || !loaded_) return false;
  loaded_ = 0;
  BindSimPullcore(nullptr);
  return true;
}

std::uint32_t SimProcess::GetModuleFileNameW(ModuleHandle module, char16_t* path,
                                             std::uint32_t capacity) {
  if (module != 0) return 0;
  return CopyOut(programPath, path, capacity);
}

std::uint32_t SimProcess::GetSystemDirectoryW(char16_t* path, std::uint32_t capacity) {
  if (capacity <= systemDirectory.size()) return static_cast<std::uint32_t>(systemDirectory.size() + 1);
  return CopyOut(systemDirectory, path, capacity);
}

std::u16string SimProcess::LoadStringW(std::uint32_t id) {
  const auto it = strings.find(id);
  return it == strings.end() ? std::u16string() : it->second;
}

// --- Process ----------------------------------------------------------------

std::uint32_t SimProcess::GetLogicalDrives() {
  if (logicalDrives) return *logicalDrives;
  std::uint32_t mask = 0;
  for (const auto& [name, targets] : machine_.State().dosDevices) {
    if (name.size() == 2 && name[1] == u':') {
      const char16_t letter = name[0] & ~0x20;
      if (letter >= u'A' && letter <= u'Z') mask |= 1u << (letter - u'A');
    }
  }
  return mask;
}

bool SimProcess::CommandLineToArgvW(const char16_t* line, std::vector<std::u16string>& args) {
  if (splitFails || !line) return false;
  args = *line ? SplitCommandLine(line) : std::vector<std::u16string>{programPath};
  return true;
}

// --- Output -----------------------------------------------------------------

std::string SimProcess::WideCharToMultiByte(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

void SimProcess::WriteStdout(std::string_view bytes) {
  for (const char c : bytes) {
    if (c == '\n') stdoutBytes += '\r';
    stdoutBytes += c;
  }
}

int SimProcess::MessageBoxW(WindowHandle, const char16_t* text, const char16_t* caption,
                            std::uint32_t style) {
  messageBoxes.push_back(SimMessageBox{text ? text : u"", caption ? caption : u"", style});
  return kIdOk;
}

// --- Version resources ------------------------------------------------------

std::uint32_t SimProcess::GetFileVersionInfoSizeW(const char16_t* path) {
  return versions.count(std::u16string(path)) ? sizeof(std::uint32_t) : 0;
}

bool SimProcess::GetFileVersionInfoW(const char16_t* path, std::uint32_t size, void* block) {
  if (size < sizeof(std::uint32_t) || !versions.count(std::u16string(path))) return false;
  // The block holds the number of the resource it stands for.
  const auto number = static_cast<std::uint32_t>(versionBlocks_.size());
  versionBlocks_.emplace_back(path);
  std::memcpy(block, &number, sizeof number);
  return true;
}

bool SimProcess::VerQueryValueW(const void* block, const char16_t* subBlock, const void** value,
                                std::uint32_t* length) {
  std::uint32_t number;
  std::memcpy(&number, block, sizeof number);
  if (number >= versionBlocks_.size() || !subBlock) return false;
  const SimVersionResource& resource = versions.at(versionBlocks_[number]);
  const std::u16string_view name = subBlock;
  if (name == u"\\") {
    *value = &resource.fixed;
    *length = sizeof resource.fixed;
    return true;
  }
  if (name == u"\\VarFileInfo\\Translation") {
    if (resource.translations.empty()) return false;
    *value = resource.translations.data();
    *length = static_cast<std::uint32_t>(resource.translations.size() * sizeof(std::uint32_t));
    return true;
  }
  const auto it = resource.strings.find(std::u16string(name));
  if (it == resource.strings.end()) return false;
  *value = it->second.c_str();
  *length = static_cast<std::uint32_t>(it->second.size() + 1);  // with its terminator
  return true;
}

// --- COM --------------------------------------------------------------------

std::int32_t SimProcess::CoInitialize() {
  hookCalls.push_back("CoInitialize");
  return coInitializeAnswer;
}

void SimProcess::CoUninitialize() { hookCalls.push_back("CoUninitialize"); }

std::int32_t SimProcess::CoCreateInstance(const Guid& clsid, std::uint32_t context,
                                          const Guid& iid, HookHelperObject** object) {
  hookCalls.push_back("CoCreateInstance");
  *object = nullptr;
  if (!(clsid == kClsidPullcoreHookHelper) || !(context & 4 /* CLSCTX_LOCAL_SERVER */)) {
    return kRegdbEClassNotReg;
  }
  switch (hookHelper.registration) {
    case SimHookHelperClass::Registration::NotRegistered:
      return kRegdbEClassNotReg;
    case SimHookHelperClass::Registration::ServerFails:
      return hookHelper.createFailure;
    case SimHookHelperClass::Registration::Registered:
      break;
  }
  if (!(iid == kIidPullcoreHookHelper)) return static_cast<std::int32_t>(0x80004002);  // E_NOINTERFACE
  *object = new HookHelper(*this);
  return kSOk;
}

}  // namespace ejectra::platform::sim
