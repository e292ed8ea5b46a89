#include "tools/windowless/windowless_unplug_tool.h"

#include <string>

#include "tools/message_ids.h"

namespace ejectra::tools {

using namespace platform;

void CWindowlessUnplugTool::ListDrives() { ShowMessage(kMsgNotSupported, kMbIconWarning); }

void CWindowlessUnplugTool::ListDrivesAsJson() { ShowMessage(kMsgNotSupported, kMbIconWarning); }

void CWindowlessUnplugTool::ShowUsage() { ShowMessage(kMsgUsage, kMbIconWarning); }

void CWindowlessUnplugTool::ShowNoRemovableDrive() {
  ShowMessage(kMsgNoRemovableDriveBox, kMbIconWarning);
}

void CWindowlessUnplugTool::ShowWaiting(std::u16string_view) {}

int CWindowlessUnplugTool::OutputText(std::u16string_view text, std::uint32_t style) {
  const std::u16string caption = os().modules.LoadStringW(kMsgProductName);
  const std::u16string body(text);
  return os().output.MessageBoxW(0, body.c_str(), caption.c_str(), style);
}

int RunWindowlessTool(const ProcessServices& os) {
  CWindowlessUnplugTool tool(os);
  return tool.Run();
}

}  // namespace ejectra::tools
