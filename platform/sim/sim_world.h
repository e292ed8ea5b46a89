// One simulated machine and what runs on it. Every fake of the seam is a
// view of one world: they read and change the same machine, pass the same
// time, log to the same record, share the thread's last error and the kernel
// objects, and reach them through one kernel base.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <variant>

#include "platform/process_services.h"
#include "platform/shell_services.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/sim_kernel_base.h"
#include "platform/sim/clock_and_calls.h"
#include "platform/text.h"

namespace ejectra::platform::sim {

// A file that loads as a library: its exports by name, and what runs when a
// process loads it first (true) and frees it last (false).
struct SimLibrary {
  std::map<std::string, ProcAddress, std::less<>> exports;
  std::function<void(bool attached)> attach;
};

// The code behind a COM class: makes an object and answers the interface
// `iid` of it. Whether the class is registered is the registry's business.
using SimComServer = std::function<Hresult(const Guid& iid, void** object)>;

// A shell link as the link object saved it: every property it was given.
struct SimShortcut {
  std::u16string target;
  std::u16string arguments;
  std::u16string workingDirectory;
  std::u16string iconPath;
  int iconIndex = 0;
  std::u16string description;
  std::uint16_t hotkey = 0;
  int showCommand = kSwShow;
  ItemIdList idList = 0;
  friend bool operator==(const SimShortcut&, const SimShortcut&) = default;
};

// A record of an event log: who wrote it, its ID, when (the world's clock)
// and its named data (a text, or a number in `numbers`).
struct SimEvent {
  std::u16string provider;
  std::uint32_t id = 0;
  std::uint64_t created = 0;  // ms of the world's clock
  std::map<std::u16string, std::u16string> texts;
  std::map<std::u16string, std::uint32_t> numbers;
};

// The world's clock at 0 ms as a FILETIME: 2026-01-01 00:00 UTC.
inline constexpr std::uint64_t kSimEpochFileTime = 134116992000000000;

// A file on the machine's disks: a shortcut, or any other file with its
// bytes (a user's document).
using SimFile = std::variant<SimShortcut, std::string>;

struct SimWorld {
  SimWorld() = default;
  explicit SimWorld(MachineState state) : machine(std::move(state)) {}
  SimWorld(const SimWorld&) = delete;  // its kernel base refers to it
  SimWorld& operator=(const SimWorld&) = delete;

  MachineState machine;
  SimClock clock;
  SimCalls calls;
  ErrorCode lastError = 0;
  SimKernelObjects kernelObjects;
  SimKernelBase kernel{*this};
  // The registry view a program sees by default: k32 for a 32-bit program
  // on 64-bit Windows.
  RegistryView processView = RegistryView::k64;
  // Libraries by path, and COM servers by class ID ("{E0D32790-...}").
  std::map<std::u16string, SimLibrary, LessIgnoringAsciiCase> libraries;
  std::map<std::u16string, SimComServer, LessIgnoringAsciiCase> comServers;
  // The current user's desktop folder, and the files by whole path; the
  // folders are those the desktop and the files lie in.
  std::u16string desktopFolder = u"C:\\Users\\user\\Desktop";
  std::map<std::u16string, SimFile, LessIgnoringAsciiCase> files;
  // The System log, oldest first; `systemLogReadable` false: it cannot be
  // opened, as where a policy or the platform's age keeps it away.
  std::vector<SimEvent> systemLog;
  bool systemLogReadable = true;
};

}  // namespace ejectra::platform::sim
