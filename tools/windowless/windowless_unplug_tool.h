// Ejectra: the unplug tool without a window of its own, speaking through
// message boxes.
#pragma once

#include "tools/unplug_tool.h"

namespace ejectra::tools {

class CWindowlessUnplugTool final : public CUnplugTool {
 public:
  using CUnplugTool::CUnplugTool;

  void ListDrives() override;  // not supported here: message 2004
  void ListDrivesAsJson() override;  // nor this: message 2004
  void ShowUsage() override;
  void ShowNoRemovableDrive() override;  // message 3009, a warning
  // Nothing: a box would hold the wait up until it is closed, so a drive
  // waited for gets its one box at the end.
  void ShowWaiting(std::u16string_view text) override;
  // A modal box captioned with the product name; returns the button pressed.
  int OutputText(std::u16string_view text, std::uint32_t style) override;
};

int RunWindowlessTool(const platform::ProcessServices& os);

}  // namespace ejectra::tools
