// The machine file that EJECTRA_SIM_MACHINE names, as the simulated
// libraries for Windows read and write it (the simulated Pullcore.dll, and
// the simulated setupapi.dll and wevtapi.dll of the Wine tests), and the
// world's clock on real time.
//
// Time: the real Pullcore.dll sleeps and reads the time through the real
// kernel32, so the world's clock here is the real clock: ms since
// kSimEpochFileTime (2026-01-01 00:00 UTC), which is also the unit of the
// "created" of the machine file's System log records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ejectra::dll {

// Empty when the variable is not set.
std::wstring MachinePath();
std::optional<std::string> ReadMachineText(const std::wstring& path);
// Through a new file moved over the old one, so that no reader sees half of it.
bool WriteMachineText(const std::wstring& path, const std::string& text);
// The real time in ms of the world's clock; 0 before its epoch.
std::uint64_t WorldNow();

}  // namespace ejectra::dll
