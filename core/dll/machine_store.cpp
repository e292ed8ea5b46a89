#include "core/dll/machine_store.h"

#include <windows.h>

#include <cstdio>

#include "platform/sim/sim_world.h"

namespace ejectra::dll {

std::wstring MachinePath() {
  const DWORD length = GetEnvironmentVariableW(L"EJECTRA_SIM_MACHINE", nullptr, 0);
  if (length == 0) return {};
  std::wstring path(length, L'\0');
  path.resize(GetEnvironmentVariableW(L"EJECTRA_SIM_MACHINE", path.data(), length));
  return path;
}

std::optional<std::string> ReadMachineText(const std::wstring& path) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) return std::nullopt;
  std::string text;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok ? std::optional(text) : std::nullopt;
}

bool WriteMachineText(const std::wstring& path, const std::string& text) {
  const std::wstring temporary = path + L".new";
  FILE* file = _wfopen(temporary.c_str(), L"wb");
  if (!file) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written) return false;
  return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

std::uint64_t WorldNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const std::uint64_t ticks = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
  const std::uint64_t epoch = platform::sim::kSimEpochFileTime;
  return ticks < epoch ? 0 : (ticks - epoch) / 10'000;
}

}  // namespace ejectra::dll
