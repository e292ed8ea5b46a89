// What the simulated setupapi.dll and wevtapi.dll share: the machine file
// that EJECTRA_SIM_MACHINE names (read and written as core/dll/sim_session.cpp
// does), and the world's clock on real time.
//
// Time: the real Pullcore.dll sleeps and reads the time through the real
// kernel32, so the world's clock here is the real clock: ms since
// kSimEpochFileTime (2026-01-01 00:00 UTC), which is also the unit of the
// "created" of the machine file's System log records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ejectra::tests::system_dlls {

// Empty when the variable is not set.
std::wstring MachinePath();
std::optional<std::string> ReadMachineText(const std::wstring& path);
// Through a new file moved over the old one, so that no reader sees half of it.
bool WriteMachineText(const std::wstring& path, const std::string& text);
// The real time in ms of the world's clock; 0 before its epoch.
std::uint64_t WorldNow();

}  // namespace ejectra::tests::system_dlls
