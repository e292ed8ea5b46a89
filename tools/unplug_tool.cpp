#include "tools/unplug_tool.h"

#include "platform/owners.h"
#include "platform/text.h"
#include "shared/drive.h"
#include "shared/removable_drives.h"
#include "tools/hook_helper_interface.h"
#include "tools/message_ids.h"
#include "tools/removal_report.h"

namespace ejectra::tools {

using namespace platform;

namespace {

bool IsSwitch(std::u16string_view argument, char16_t letter) {
  return argument.size() == 2 && (argument[0] == u'/' || argument[0] == u'-') &&
         FoldAsciiCase(argument[1]) == FoldAsciiCase(letter);
}

// /W, -w or /W:n: the seconds, or 0 when the value is not 1 to
// kMaxWaitSeconds in decimal digits; none for any other argument.
std::optional<std::uint32_t> WaitSwitch(std::u16string_view argument) {
  if (argument.size() < 2 || !IsSwitch(argument.substr(0, 2), u'W')) return std::nullopt;
  if (argument.size() == 2) return kDefaultWaitSeconds;
  if (argument[2] != u':' || argument.size() == 3) return 0;
  std::uint32_t seconds = 0;
  for (const char16_t c : argument.substr(3)) {
    if (c < u'0' || c > u'9') return 0;
    seconds = seconds * 10 + (c - u'0');
    if (seconds > kMaxWaitSeconds) return 0;
  }
  return seconds;
}

}  // namespace

bool ParseDriveList(std::u16string_view argument, std::uint32_t& mask) {
  std::uint32_t drives = 0;
  for (const char16_t c : argument) {
    if (c == u':') continue;
    const auto drive = Drive::FromLetter(c);
    if (!drive) return false;
    drives |= drive->Bit();
  }
  mask = drives;
  return true;
}

bool ParseArguments(const std::vector<std::u16string>& args, UnplugOptions& options) {
  if (args.size() == 1) return false;  // the program alone: nothing asked
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::u16string& argument = args[i];
    if (IsSwitch(argument, u'D')) {
      if (i + 1 == args.size()) return false;
      options.deviceName = args[i + 1];
      options.mode = UnplugMode::ModeDevice;
      return true;
    }
    if (IsSwitch(argument, u'L')) {
      options.mode = UnplugMode::ModeList;
      return true;
    }
    if (IsSwitch(argument, u'J')) {
      options.mode = UnplugMode::ModeJson;
      return true;
    }
    if (IsSwitch(argument, u'A')) {  // in place of a drive list, and ending the arguments as one
      options.mode = UnplugMode::ModeAll;
      return true;
    }
    if (IsSwitch(argument, u'B')) {
      options.balloon = true;
    } else if (IsSwitch(argument, u'S')) {
      options.skipAbsent = true;
    } else if (IsSwitch(argument, u'V')) {
      options.reasons = true;
    } else if (IsSwitch(argument, u'M')) {
      options.media = true;
    } else if (const auto seconds = WaitSwitch(argument)) {
      if (*seconds == 0) return false;  // a bad value, as a bad switch: the usage
      options.waitSeconds = *seconds;
    } else {
      std::uint32_t mask = 0;
      if (!ParseDriveList(argument, mask)) return false;
      options.driveMask = mask;
      options.mode = UnplugMode::ModeDrives;
      return true;
    }
  }
  return true;
}

CUnplugTool::CUnplugTool(const ProcessServices& os)
    : os_(os), library_(os, /*load=*/true) {}

bool CUnplugTool::ParseCommandLine(UnplugOptions& options) {
  std::vector<std::u16string> args;
  const std::u16string commandLine = os_.process.GetCommandLineW();
  // A command line that cannot be split is not understood: usage, exit 1.
  if (!os_.process.CommandLineToArgvW(commandLine.c_str(), args) || args.empty()) return false;
  return ParseArguments(args, options);
}

std::optional<UnplugOptions> CUnplugTool::ParsedCommandLine() {
  UnplugOptions options;
  if (!ParseCommandLine(options)) return std::nullopt;
  return options;
}

int CUnplugTool::Run() { return Run(ParsedCommandLine()); }

int CUnplugTool::Run(const std::optional<UnplugOptions>& options) {
  if (!options) {
    ShowUsage();
    return kExitFailure;
  }
  if (!library_.IsLoaded()) {
    ShowMessage(kMsgLibraryMissing, kMbIconError);
    return kExitFailure;
  }
  if (options->mode == UnplugMode::ModeList) {
    ListDrives();
    return kExitSuccess;
  }
  if (options->mode == UnplugMode::ModeJson) {
    ListDrivesAsJson();
    return kExitSuccess;
  }
  // An older library without the export: /V changes nothing.
  reasons_ = options->reasons;
  withReasons_ = reasons_ && library_.BindRemoveHardwareDriveEx();
  // Without the export every medium stays in: EjectDriveMedia answers failed.
  media_ = options->media;
  const bool mediaBound = media_ && library_.BindEjectDriveMedia();
  // /W asks again through a call that keeps the platform's notices away;
  // without it the drives are asked once, as without /W.
  if (options->waitSeconds != 0 &&
      (media_ ? mediaBound : reasons_ ? withReasons_ : library_.BindRemoveHardwareDriveEx())) {
    wait_.emplace(os_.kernel, options->waitSeconds);
  }
  const bool removed =
      options->balloon ? RemoveDrivesWithBalloon(*options) : RemoveDrives(*options);
  return removed ? kExitSuccess : kExitFailure;
}

bool CUnplugTool::RemoveDrives(const UnplugOptions& options) {
  if (options.mode == UnplugMode::ModeDevice) {
    const std::optional<Drive> drive = FindDriveByDeviceName(options.deviceName);
    if (!drive) {
      ShowMessageFormat(kMsgNoSuchDevice, std::u16string_view(options.deviceName), kMbIconWarning);
      return false;
    }
    return RemoveDrive(*drive);
  }
  bool allWent = true;
  if (options.mode == UnplugMode::ModeDrives) {
    const std::uint32_t present = os_.process.GetLogicalDrives();
    for (const Drive drive : DrivesIn(options.driveMask)) {
      if (!options.skipAbsent || drive.In(present)) allWent = RemoveDrive(drive) && allWent;
    }
  } else if (options.mode == UnplugMode::ModeAll) {
    allWent = RemoveAllDrives();
  }
  // Without /W a list is done whatever became of each drive.
  return !wait_ || allWent;
}

bool CUnplugTool::RemoveAllDrives() {
  int found = 0;
  bool allWent = true;
  for (const Drive drive : DrivesIn(os_.process.GetLogicalDrives())) {
    if (media_) {
      const int result = library_.EjectDriveMedia(drive.Number());
      if (result == kMediaNotRemovable) continue;
      allWent = ReportMedia(drive, WaitForMedia(drive, result)) && allWent;
    } else {
      if (!library_.IsRemovableHardwareDrive(drive.Number())) continue;
      allWent = RemoveRemovableDrive(drive) && allWent;
    }
    ++found;
  }
  if (found == 0) ShowNoRemovableDrive();
  return allWent;
}

bool CUnplugTool::RemoveDrive(Drive drive) {
  if (!drive.In(os_.process.GetLogicalDrives())) {
    ShowMessageFormat(kMsgNotPresent, drive.Letter(), kMbIconWarning);
    return false;
  }
  // The medium's library call decides for itself which drives qualify.
  if (media_) {
    return ReportMedia(drive, WaitForMedia(drive, library_.EjectDriveMedia(drive.Number())));
  }
  if (!library_.IsRemovableHardwareDrive(drive.Number())) {
    ShowMessageFormat(kMsgNotRemovable, drive.Letter(), kMbIconWarning);
    return false;
  }
  return RemoveRemovableDrive(drive);
}

bool CUnplugTool::RemoveRemovableDrive(Drive drive) {
  if (withReasons_ || wait_) return RemoveDriveWithReasons(drive);
  return library_.RemoveHardwareDrive(drive.Number()) != 0;
}

std::optional<Drive> CUnplugTool::FindDriveByDeviceName(std::u16string_view deviceName) {
  RemovableDriveScan scan(os_.process.GetLogicalDrives(), library_);
  while (const auto row = scan.Next()) {
    if (EqualsIgnoringAsciiCase(row->name, deviceName)) return row->drive;
  }
  return std::nullopt;
}

bool CUnplugTool::RemoveDrivesWithBalloon(const UnplugOptions& options) {
  const UniqueComInit com(os_.com, os_.com.CoInitialize() >= 0);
  if (!com) {
    ShowMessage(kMsgComFailed, kMbIconError);
    return false;
  }
  ComPtr<IPullcoreHookHelper> helper;
  const Hresult created = os_.com.CoCreateInstance(
      kClsidPullcoreHookHelper, kClsctxInprocAndLocal, kIidPullcoreHookHelper, helper.put_void());
  if (created < 0 && created != kRegdbEClassNotReg) {
    ShowMessage(kMsgHookFailed, kMbIconError);
    return false;
  }
  // Not registered: the drives go without the balloon, and without a word.
  std::int32_t users = 0;  // the server's count; never read here
  if (helper) helper->StartHook(&users);
  const bool removed = RemoveDrives(options);
  if (helper) helper->StopHook(&users);
  return removed;
}

int CUnplugTool::ShowMessage(std::uint32_t id, std::uint32_t style) {
  return OutputText(os_.modules.LoadStringW(id), style);
}

int CUnplugTool::ShowMessageFormat(std::uint32_t id, MessageArg arg, std::uint32_t style) {
  return OutputText(FormatMessageTemplate(os_.modules.LoadStringW(id), {arg}), style);
}

}  // namespace ejectra::tools
