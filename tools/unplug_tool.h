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
#include "tools/wait_budget.h"

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
  std::uint32_t waitSeconds = 0;  // /W or /W:n: how long a refused drive is waited for; 0 = not
  std::u16string deviceName;    // the argument after /D, verbatim
};

// Reads one drive-list argument such as "E:", "EF" or "a:b:"; colons are
// skipped, letters set their bit, anything else makes the whole argument
// invalid and leaves `mask` as it was.
bool ParseDriveList(std::u16string_view argument, std::uint32_t& mask);

// /W alone waits this long; /W:n takes n from 1 to kMaxWaitSeconds.
inline constexpr std::uint32_t kDefaultWaitSeconds = 60;
inline constexpr std::uint32_t kMaxWaitSeconds = 3600;

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
  // Each yes/no answer below is true for success. With /W the run succeeds
  // only when every drive asked for went (or its medium came out).
  bool RemoveDrives(const UnplugOptions& options);
  bool RemoveDrive(Drive drive);
  // /A: every present drive that the library calls removable, A: first;
  // with /M every present drive whose medium can be taken out. A drive gone
  // by its turn (it shared a device with one removed before it) is passed
  // over in silence; with /W, true when every other one went.
  bool RemoveAllDrives();
  // The first removable drive, A: first, whose name is `deviceName` (A-Z
  // taken as a-z).
  std::optional<Drive> FindDriveByDeviceName(std::u16string_view deviceName);
  bool RemoveDrivesWithBalloon(const UnplugOptions& options);
  // The removal of one drive found removable.
  bool RemoveRemovableDrive(Drive drive);
  // The removal of one drive found removable, by RemoveHardwareDriveExW,
  // asked again while refused (/W): with /V says that the drive may be
  // unplugged, or why it was refused the last time.
  bool RemoveDriveWithReasons(Drive drive);
  // /W: asks again once a second while the platform refuses the drive and
  // time is left; true once it is removed. `removal` holds the first
  // refusal, and then the last one.
  bool WaitForRemoval(Drive drive, PullcoreRemoval& removal);
  // /W with /M: asks again once a second while a program holds the volume
  // and time is left; the last answer of EjectDriveMedia.
  int WaitForMedia(Drive drive, int result);
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
  // /V with /W: a refusal met while waiting, as it comes.
  virtual void ShowWaiting(std::u16string_view text) = 0;
  virtual int ShowMessageFormat(std::uint32_t id, MessageArg arg, std::uint32_t style);
  virtual int OutputText(std::u16string_view text, std::uint32_t style) = 0;
  virtual int ShowMessage(std::uint32_t id, std::uint32_t style);

 protected:
  ~CUnplugTool() = default;

  const platform::ProcessServices& os() const { return os_; }
  const CPullcoreLibrary& library() const { return library_; }

 private:
  // /W at a drive's first refusal: false when the run's bound is used up;
  // else, with /V, shows `refusal` and that the drive is waited for.
  bool BeginWait(Drive drive, std::u16string refusal);
  bool StillPresent(Drive drive);

  platform::ProcessServices os_;
  CPullcoreLibrary library_;
  bool reasons_ = false;      // /V
  bool withReasons_ = false;  // /V, with a library that can tell the reasons
  bool media_ = false;        // /M
  // /W, with a library that can be asked again without notices of its own.
  std::optional<WaitBudget> wait_;
};

}  // namespace ejectra::tools
