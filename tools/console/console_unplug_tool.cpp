#include "tools/console/console_unplug_tool.h"

#include "shared/removable_drives.h"
#include "tools/console/drive_list_json.h"
#include "tools/message_ids.h"

namespace ejectra::tools {

using namespace platform;

bool CConsoleUnplugTool::ToConsole() {
  if (!toConsole_) {
    std::uint32_t mode = 0;
    toConsole_ = os().output.GetFileType() == kFileTypeChar && os().output.GetConsoleMode(&mode);
  }
  return *toConsole_;
}

void CConsoleUnplugTool::WriteLine(std::u16string_view text) {
  if (ToConsole()) {
    std::u16string line(text);
    line += u'\n';
    if (os().output.WriteConsoleW(line)) return;
    // A console that refuses the text still has the stream: that text goes
    // as bytes, the way a file would get it.
  }
  os().output.WriteStdout(os().process.WideCharToMultiByte(text) + "\n");
}

void CConsoleUnplugTool::ListDrives() {
  RemovableDriveScan scan(os().process.GetLogicalDrives(), library());
  int listed = 0;
  while (const auto row = scan.Next()) {
    WriteLine(FormatMessageTemplate(u"[%c:] %s ( %s )",
                                    {row->drive.Letter(), std::u16string_view(row->name),
                                     std::u16string_view(row->description)}));
    ++listed;
  }
  if (listed == 0) WriteLine(os().modules.LoadStringW(kMsgNoRemovableDrive));
}

void CConsoleUnplugTool::ListDrivesAsJson() {
  RemovableDriveScan scan(os().process.GetLogicalDrives(), library());
  std::vector<RemovableDrive> drives;
  while (auto row = scan.Next()) drives.push_back(*std::move(row));
  os().output.WriteStdoutBytes(DriveListJson(drives));
}

void CConsoleUnplugTool::ShowUsage() { ShowMessage(kMsgUsage, kMbIconWarning); }

void CConsoleUnplugTool::ShowNoRemovableDrive() {
  ShowMessage(kMsgNoRemovableDrive, kMbIconWarning);
}

void CConsoleUnplugTool::ShowWaiting(std::u16string_view text) { OutputText(text, kMbIconWarning); }

int CConsoleUnplugTool::OutputText(std::u16string_view text, std::uint32_t) {
  WriteLine(text);
  return 0;
}

std::u16string VersionBanner(const CFileVersionInfo& info) {
  const VsFixedFileInfo* fixed = info.GetFixedFileInfo();
  const char16_t* copyright = nullptr;
  std::uint32_t length = 0;
  if (!fixed || !info.QueryValue(u"LegalCopyright", &copyright, &length)) return {};
  std::u16string_view text(copyright, length);  // the length may count the terminator
  text = text.substr(0, text.find(u'\0'));
  return FormatMessageTemplate(u"Ejectra (Console) Version %d.%02d\n%s\n\n",
                               {std::int64_t{fixed->dwFileVersionMS >> 16},
                                std::int64_t{fixed->dwFileVersionMS & 0xFFFF}, text});
}

int RunConsoleTool(const ProcessServices& os) {
  CConsoleUnplugTool tool(os);
  const auto options = tool.ParsedCommandLine();
  if (!options || options->mode != UnplugMode::ModeJson) {
    const std::u16string banner =
        VersionBanner(CFileVersionInfo(os.modules, os.version, nullptr));
    if (!banner.empty()) tool.OutputText(banner, 0);
  }
  return tool.Run(options);
}

}  // namespace ejectra::tools
