// The simulated library's platform: the machine described by the JSON file
// that EJECTRA_SIM_MACHINE names, loaded afresh for every call. A call that
// removed devices or changed a volume (an ejected medium) writes the machine
// back, so that later calls, from this process or another, see the change.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/dll/platform_session.h"
#include "platform/sim/machine_file.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_world.h"

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

struct PlatformSession::State {
  std::wstring path;
  platform::sim::SimWorld world;
  platform::sim::SimMachine machine{world};
  std::vector<bool> before;  // which devices were present when the call began
  decltype(MachineState::volumes) volumesBefore;
};

PlatformSession::PlatformSession() noexcept try {
  const std::wstring path = MachinePath();
  const auto text = path.empty() ? std::nullopt : ReadFile(path);
  auto machine = text ? platform::sim::ParseMachine(*text) : std::nullopt;
  if (!machine) return;
  state_ = std::make_unique<State>();
  state_->path = path;
  state_->world.machine = *std::move(machine);
  state_->before = Presence(state_->world.machine);
  state_->volumesBefore = state_->world.machine.volumes;
  services_ = std::make_unique<platform::CoreServices>(state_->machine.Services());
} catch (...) {
  services_.reset();
}

PlatformSession::~PlatformSession() {
  if (!state_) return;
  try {
    if (Presence(state_->world.machine) != state_->before ||
        state_->world.machine.volumes != state_->volumesBefore) {
      WriteFileReplacing(state_->path, platform::sim::WriteMachine(state_->world.machine));
    }
  } catch (...) {
  }
  SetLastError(state_->world.lastError);  // what the call left, as the real library would
}

}  // namespace ejectra::dll
