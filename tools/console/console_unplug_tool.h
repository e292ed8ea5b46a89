// ejectrac: the unplug tool that writes to standard output.
#pragma once

#include <optional>

#include "shared/file_version_info.h"
#include "tools/unplug_tool.h"

namespace ejectra::tools {

class CConsoleUnplugTool final : public CUnplugTool {
 public:
  using CUnplugTool::CUnplugTool;

  // "[E:] name ( description )" for each removable drive, or message 2005.
  void ListDrives() override;
  // The same drives as one JSON array in UTF-8, the bytes as they are.
  void ListDrivesAsJson() override;
  void ShowUsage() override;
  void ShowNoRemovableDrive() override;  // message 2005
  void ShowWaiting(std::u16string_view text) override;  // as it comes
  int OutputText(std::u16string_view text, std::uint32_t style) override;

 private:
  // Whether standard output is a console window, asked once: a console
  // shows UTF-16 text whatever its code page; anything else (a file, a
  // pipe, NUL) gets the bytes of the ANSI code page, CR LF line ends.
  bool ToConsole();
  void WriteLine(std::u16string_view text);

  std::optional<bool> toConsole_;
};

// "Ejectra (Console) Version 1.10", the copyright line and an empty line,
// or nothing when the version resource lacks either part.
std::u16string VersionBanner(const CFileVersionInfo& info);

// The whole run of ejectrac: the tool, the banner (but before a list for
// scripts), the run; the exit code.
int RunConsoleTool(const platform::ProcessServices& os);

}  // namespace ejectra::tools
