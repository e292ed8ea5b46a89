// The simulated library's platform: the machine described by the JSON file
// that EJECTRA_SIM_MACHINE names, loaded afresh for every call. A call that
// removed devices writes the machine back, so that later calls, from this
// process or another, no longer find them.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "core/dll/platform_session.h"
#include "platform/sim/machine_file.h"
#include "platform/sim/sim_machine.h"

namespace ejectra::dll {

namespace {

using platform::sim::MachineState;

std::wstring MachinePath() {
  const DWORD length = GetEnvironmentVariableW(L"EJECTRA_SIM_MACHINE", nullptr, 0);
  if (length == 0) return {};
  std::wstring path(length, L'\0');
  path.resize(GetEnvironmentVariableW(L"EJECTRA_SIM_MACHINE", path.data(), length));
  return path;
}

std::optional<std::string> ReadFile(const std::wstring& path) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) return std::nullopt;
  std::string text;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok ? std::optional(text) : std::nullopt;
}

bool WriteFileReplacing(const std::wstring& path, const std::string& text) {
  const std::wstring temporary = path + L".new";
  FILE* file = _wfopen(temporary.c_str(), L"wb");
  if (!file) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written) return false;
  return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

std::vector<bool> Presence(const MachineState& machine) {
  std::vector<bool> present;
  for (const auto& device : machine.devices) present.push_back(device.present);
  return present;
}

}  // namespace

bool RunOnPlatform(Operation operation, void* context) noexcept try {
  const std::wstring path = MachinePath();
  const auto text = path.empty() ? std::nullopt : ReadFile(path);
  auto state = text ? platform::sim::ParseMachine(*text) : std::nullopt;
  if (!state) return false;

  platform::sim::SimMachine machine(*std::move(state));
  const std::vector<bool> before = Presence(machine.State());
  const bool result = operation(machine.Services(), context);
  if (Presence(machine.State()) != before) {
    WriteFileReplacing(path, platform::sim::WriteMachine(machine.State()));
  }
  SetLastError(machine.GetLastError());
  return result;
} catch (...) {
  return false;
}

}  // namespace ejectra::dll
