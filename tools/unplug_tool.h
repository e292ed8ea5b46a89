// The core shared by the two unplug tools: the command-line grammar, the run
// loop and the per-drive sequence. Each tool derives one class that supplies
// the output operations.
//
// Call order: the entry point constructs the tool (which loads the core
// library), calls Run once, and destroys it (which unloads the library). Run
// parses the command line, checks the library, then lists or removes; every
// message goes through ShowMessage or ShowMessageFormat to OutputText. An
// entry point that must see the options first (the console's banner) parses
// them itself and hands them to Run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process_services.h"
#include "shared/drive.h"
#include "shared/message_format.h"
#include "shared/pullcore_library.h"

namespace ejectra::tools {

// What the command line asks for: one of these, never a combination.
enum class UnplugMode : std::int32_t {
  ModeNone = 0,
  ModeDrives = 1,  // drive letters
  ModeDevice = 2,  // a device name
  ModeList = 4,
  ModeAll = 8,    // /A: every removable drive
  ModeJson = 16,  // /J: the list, as JSON
};

struct UnplugOptions {
  std::uint32_t driveMask = 0;  // bit i: drive letter A + i
  UnplugMode mode = UnplugMode::ModeNone;
  bool balloon = false;         // /B
  bool skipAbsent = false;      // /S
  bool reasons = false;         // /V: say why a removal was refused, and that one was done
  bool media = false;           // /M: eject the medium, keep the device
  std::u16string deviceName;    // the argument after /D, verbatim
};

// Reads one drive-list argument such as "E:", "EF" or "a:b:"; colons are
// skipped, letters set their bit, anything else makes the whole argument
// invalid and leaves `mask` as it was.
bool ParseDriveList(std::u16string_view argument, std::uint32_t& mask);

// Fills `options` from the arguments after the program's own; false when the
// usage is to be shown.
bool ParseArguments(const std::vector<std::u16string>& args, UnplugOptions& options);

class CUnplugTool {
 public:
  CUnplugTool(const platform::ProcessServices& os);
  CUnplugTool(const CUnplugTool&) = delete;
  CUnplugTool& operator=(const CUnplugTool&) = delete;

  int Run();
  // The run on options parsed beforehand; none: the usage is shown.
  int Run(const std::optional<UnplugOptions>& options);

  bool ParseCommandLine(UnplugOptions& options);
  std::optional<UnplugOptions> ParsedCommandLine();
  // Each yes/no answer below is true for success.
  bool RemoveDrives(const UnplugOptions& options);
  bool RemoveDrive(Drive drive);
  // /A: every present drive that the library calls removable, A: first;
  // with /M every present drive whose medium can be taken out. A drive gone
  // by its turn (it shared a device with one removed before it) is passed
  // over in silence.
  void RemoveAllDrives();
  // The first removable drive, A: first, whose name is `deviceName` (A-Z
  // taken as a-z).
  std::optional<Drive> FindDriveByDeviceName(std::u16string_view deviceName);
  bool RemoveDrivesWithBalloon(const UnplugOptions& options);
  // The removal of one drive found removable.
  bool RemoveRemovableDrive(Drive drive);
  // The removal of one drive found removable, by RemoveHardwareDriveExW:
  // says that the drive may be unplugged, or why it was refused (/V).
  bool RemoveDriveWithReasons(Drive drive);
  // /M: says what EjectDriveMedia answered for a present drive: nothing
  // (or 3008 with /V) when the medium is out, 3011 when it may be taken out
  // by hand, else why it is not; true when out or free to take out.
  bool ReportMedia(Drive drive, int result);

  // The output operations, in this order. Both message operations load the
  // text from the program's string table (a missing ID gives the empty text)
  // and hand it, formatted, to OutputText.
  virtual void ListDrives() = 0;
  virtual void ListDrivesAsJson() = 0;
  virtual void ShowUsage() = 0;
  virtual void ShowNoRemovableDrive() = 0;
  virtual int ShowMessageFormat(std::uint32_t id, MessageArg arg, std::uint32_t style);
  virtual int OutputText(std::u16string_view text, std::uint32_t style) = 0;
  virtual int ShowMessage(std::uint32_t id, std::uint32_t style);

 protected:
  ~CUnplugTool() = default;

  const platform::ProcessServices& os() const { return os_; }
  const CPullcoreLibrary& library() const { return library_; }

 private:
  platform::ProcessServices os_;
  CPullcoreLibrary library_;
  bool reasons_ = false;      // /V
  bool withReasons_ = false;  // /V, with a library that can tell the reasons
  bool media_ = false;        // /M
};

}  // namespace ejectra::tools
