// The owners of what the seams hand out, one UniqueOwner each.
#pragma once

#include "platform/core_services.h"
#include "platform/kernel_base.h"
#include "platform/event_log.h"
#include "platform/process_services.h"
#include "platform/shell_services.h"
#include "platform/synchronization.h"
#include "platform/unique_owner.h"

namespace ejectra::platform {

struct DevInfoSetTraits {
  using Seam = const CoreServices;
  using Value = DevInfoHandle;
  static constexpr Value kEmpty = kInvalidHandleValue;
  static void Close(Seam& os, Value set) noexcept { os.devices.SetupDiDestroyDeviceInfoList(set); }
};
using UniqueDevInfoSet = UniqueOwner<DevInfoSetTraits>;

struct RegKeyTraits {
  using Seam = RegistryReader;
  using Value = RegKey;
  static constexpr Value kEmpty = 0;  // no open key is ever 0
  static void Close(Seam& registry, Value key) noexcept { registry.RegCloseKey(key); }
};
using UniqueRegKey = UniqueOwner<RegKeyTraits>;

struct HandleTraits {
  using Seam = KernelBase;
  using Value = Handle;
  static constexpr Value kEmpty = 0;
  static void Close(Seam& os, Value handle) noexcept { os.CloseHandle(handle); }
};
using UniqueHandle = UniqueOwner<HandleTraits>;

// A file or device opened by CreateFileW, whose failure value is
// INVALID_HANDLE_VALUE rather than 0.
struct FileHandleTraits {
  using Seam = KernelBase;
  using Value = Handle;
  static constexpr Value kEmpty = kInvalidHandleValue;
  static void Close(Seam& os, Value handle) noexcept { os.CloseHandle(handle); }
};
using UniqueFileHandle = UniqueOwner<FileHandleTraits>;

struct EventHandleTraits {
  using Seam = EventLog;
  using Value = EventHandle;
  static constexpr Value kEmpty = 0;
  static void Close(Seam& log, Value handle) noexcept { log.EvtClose(handle); }
};
using UniqueEventHandle = UniqueOwner<EventHandleTraits>;

struct ModuleTraits {
  using Seam = const ProcessServices;
  using Value = ModuleHandle;
  static constexpr Value kEmpty = 0;
  static void Close(Seam& os, Value module) noexcept { os.modules.FreeLibrary(module); }
};
using UniqueModule = UniqueOwner<ModuleTraits>;

struct ItemIdListTraits {
  using Seam = ShellFolders;
  using Value = ItemIdList;
  static constexpr Value kEmpty = 0;
  static void Close(Seam& shell, Value list) noexcept { shell.ILFree(list); }
};
using UniqueItemIdList = UniqueOwner<ItemIdListTraits>;

// COM initialised for a scope: true when CoInitialize succeeded (S_FALSE,
// already initialised, counts too, and is balanced all the same).
struct ComInitTraits {
  using Seam = Com;
  using Value = bool;
  static constexpr Value kEmpty = false;
  static void Close(Seam& com, Value) noexcept { com.CoUninitialize(); }
};
using UniqueComInit = UniqueOwner<ComInitTraits>;

}  // namespace ejectra::platform
