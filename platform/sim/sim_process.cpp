#include "platform/sim/sim_process.h"

#include <algorithm>
#include <cstring>

#include "platform/sim/command_line.h"
#include "platform/sim/utf.h"

namespace ejectra::platform::sim {

namespace {

std::u16string_view View(const char16_t* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

}  // namespace

SimProcess::~SimProcess() {
  while (!modules_.empty()) {
    const auto [module, loaded] = *modules_.begin();
    modules_.erase(modules_.begin());
    const auto library = world_.libraries.find(loaded.path);
    if (library != world_.libraries.end() && library->second.attach) library->second.attach(false);
  }
}

std::uint32_t SimProcess::Fail(ErrorCode error) {
  world_.lastError = error;
  return 0;
}

bool SimProcess::Loaded(std::u16string_view path) const {
  return std::any_of(modules_.begin(), modules_.end(), [&](const auto& entry) {
    return EqualsIgnoringAsciiCase(entry.second.path, path);
  });
}

// --- Modules ----------------------------------------------------------------

ModuleHandle SimProcess::LoadLibraryW(const char16_t* path) {
  if (const auto fault = world_.calls.Enter("LoadLibraryW", Utf16ToUtf8(View(path)))) {
    return Fail(*fault);
  }
  const auto library = world_.libraries.find(View(path));
  if (library == world_.libraries.end()) return Fail(kErrorModNotFound);
  for (auto& [module, loaded] : modules_) {
    if (EqualsIgnoringAsciiCase(loaded.path, library->first)) {
      ++loaded.references;
      return module;
    }
  }
  const ModuleHandle module = nextModule_;
  nextModule_ += 0x10000;
  modules_.emplace(module, LoadedModule{library->first, 1});
  if (library->second.attach) library->second.attach(true);
  return module;
}

ProcAddress SimProcess::GetProcAddress(ModuleHandle module, const char* name) {
  if (const auto fault = world_.calls.Enter("GetProcAddress", name ? name : "")) {
    Fail(*fault);
    return nullptr;
  }
  const auto loaded = modules_.find(module);
  if (loaded == modules_.end()) {
    Fail(kErrorInvalidHandle);
    return nullptr;
  }
  const auto& exports = world_.libraries.at(loaded->second.path).exports;
  const auto entry = name ? exports.find(std::string_view(name)) : exports.end();
  if (entry == exports.end()) {
    Fail(kErrorProcNotFound);
    return nullptr;
  }
  return entry->second;
}

bool SimProcess::FreeLibrary(ModuleHandle module) {
  if (const auto fault = world_.calls.Enter("FreeLibrary")) return Fail(*fault);
  const auto loaded = modules_.find(module);
  if (loaded == modules_.end()) return Fail(kErrorInvalidHandle);
  if (--loaded->second.references == 0) {
    const std::u16string path = loaded->second.path;
    modules_.erase(loaded);
    const SimLibrary& library = world_.libraries.at(path);
    if (library.attach) library.attach(false);
  }
  return true;
}

std::uint32_t SimProcess::GetModuleFileNameW(ModuleHandle module, char16_t* path,
                                             std::uint32_t capacity) {
  if (const auto fault = world_.calls.Enter("GetModuleFileNameW")) return Fail(*fault);
  if (module != 0) return Fail(kErrorModNotFound);
  if (capacity == 0) return Fail(kErrorInsufficientBuffer);
  if (programPath.size() >= capacity) {  // cut, terminated, and said so
    std::copy_n(programPath.begin(), capacity - 1, path);
    path[capacity - 1] = u'\0';
    world_.lastError = kErrorInsufficientBuffer;
    return capacity;
  }
  std::copy(programPath.begin(), programPath.end(), path);
  path[programPath.size()] = u'\0';
  return static_cast<std::uint32_t>(programPath.size());
}

std::uint32_t SimProcess::GetSystemDirectoryW(char16_t* path, std::uint32_t capacity) {
  if (const auto fault = world_.calls.Enter("GetSystemDirectoryW")) return Fail(*fault);
  const auto length = static_cast<std::uint32_t>(systemDirectory.size());
  if (capacity <= length) return length + 1;  // the room it needs, terminator included
  std::copy(systemDirectory.begin(), systemDirectory.end(), path);
  path[length] = u'\0';
  return length;
}

std::u16string SimProcess::LoadStringW(std::uint32_t id) {
  if (const auto fault = world_.calls.Enter("LoadStringW", std::to_string(id))) {
    Fail(*fault);
    return {};
  }
  const auto it = strings.find(id);
  return it == strings.end() ? std::u16string() : it->second;
}

// --- Process ----------------------------------------------------------------

std::uint32_t SimProcess::GetLogicalDrives() {
  if (const auto fault = world_.calls.Enter("GetLogicalDrives")) return Fail(*fault);
  return logicalDrives.value_or(world_.machine.DriveMask());
}

bool SimProcess::CommandLineToArgvW(const char16_t* line, std::vector<std::u16string>& args) {
  if (const auto fault = world_.calls.Enter("CommandLineToArgvW")) return Fail(*fault);
  if (!line) return Fail(kErrorInvalidParameter);
  args = *line ? SplitCommandLine(line) : std::vector<std::u16string>{programPath};
  return true;
}

std::string SimProcess::WideCharToMultiByte(std::u16string_view text) {
  if (const auto fault = world_.calls.Enter("WideCharToMultiByte")) {
    Fail(*fault);
    return {};  // nothing converted
  }
  return Utf16ToUtf8(text);
}

std::u16string SimProcess::GetCommandLineW() {
  world_.calls.Enter("GetCommandLineW");
  return commandLine;
}

// --- Version resources ------------------------------------------------------

std::uint32_t SimProcess::GetFileVersionInfoSizeW(const char16_t* path) {
  if (const auto fault = world_.calls.Enter("GetFileVersionInfoSizeW", Utf16ToUtf8(View(path)))) {
    return Fail(*fault);
  }
  return versions.count(View(path)) ? sizeof(std::uint32_t) : Fail(kErrorResourceTypeNotFound);
}

bool SimProcess::GetFileVersionInfoW(const char16_t* path, std::uint32_t size, void* block) {
  if (const auto fault = world_.calls.Enter("GetFileVersionInfoW", Utf16ToUtf8(View(path)))) {
    return Fail(*fault);
  }
  if (size < sizeof(std::uint32_t) || !versions.count(View(path))) return false;
  // The block holds the number of the resource it stands for.
  const auto number = static_cast<std::uint32_t>(versionBlocks_.size());
  versionBlocks_.emplace_back(path);
  std::memcpy(block, &number, sizeof number);
  return true;
}

bool SimProcess::VerQueryValueW(const void* block, const char16_t* subBlock, const void** value,
                                std::uint32_t* length) {
  if (const auto fault = world_.calls.Enter("VerQueryValueW", Utf16ToUtf8(View(subBlock)))) {
    return Fail(*fault);
  }
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
  const auto it = resource.strings.find(name);
  if (it == resource.strings.end()) return false;
  *value = it->second.c_str();
  *length = static_cast<std::uint32_t>(it->second.size() + 1);  // with its terminator
  return true;
}

// --- COM --------------------------------------------------------------------

Hresult SimProcess::CoInitialize() {
  const auto planned = world_.calls.Enter("CoInitialize");
  return planned ? static_cast<Hresult>(*planned) : kSOk;
}

void SimProcess::CoUninitialize() { world_.calls.Enter("CoUninitialize"); }

Hresult SimProcess::CoCreateInstance(const Guid& clsid, std::uint32_t context, const Guid& iid,
                                     void** object) {
  const std::u16string id = FormatGuid(clsid);
  if (object) *object = nullptr;
  if (const auto fault = world_.calls.Enter("CoCreateInstance", Utf16ToUtf8(id))) {
    return static_cast<Hresult>(*fault);
  }
  if (!object) return kEPointer;
  const std::u16string classKey = u"CLSID\\" + id;
  const RegistryTree& registry = world_.machine.registry;
  const bool registered =
      ((context & kClsctxLocalServer) &&
       registry.Find(kHkeyClassesRoot, classKey + u"\\LocalServer32", world_.processView)) ||
      ((context & kClsctxInprocServer) &&
       registry.Find(kHkeyClassesRoot, classKey + u"\\InprocServer32", world_.processView));
  if (!registered) return kRegdbEClassNotReg;
  const auto server = world_.comServers.find(id);
  if (server == world_.comServers.end()) return kCoEServerExecFailure;  // its program cannot run
  return server->second(iid, object);
}

}  // namespace ejectra::platform::sim
