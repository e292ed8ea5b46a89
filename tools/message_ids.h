// The string table IDs of the unplug tools. Both tools carry their own
// table (tools/console/messages.h, tools/windowless/messages.h) under these IDs.
#pragma once

#include <cstdint>

namespace ejectra::tools {

enum MessageId : std::uint32_t {
  kMsgProductName = 103,      // caption of every message box
  kMsgUsage = 104,
  kMsgLibraryMissing = 1001,  // stops the run
  kMsgComFailed = 1002,       // stops the run
  kMsgHookFailed = 1003,      // stops the run
  kMsgNotRemovable = 2001,    // %c
  kMsgNotPresent = 2002,      // %c
  kMsgNoSuchDevice = 2003,    // %s
  kMsgNotSupported = 2004,    // the windowless tool's answer to /L
  kMsgNoRemovableDrive = 2005,
  // /V: why a removal was refused, and which programs held the drive.
  kMsgDriveInUse = 3001,      // %c
  kMsgBlocker = 3002,         // %s image path, %d process ID
  kMsgNoBlockerKnown = 3003,
  kMsgRemovalRefused = 3004,  // %c, %s the reason
  kMsgSafeToUnplug = 3005,    // %c
  // /M and /A.
  kMsgMediaNotEjected = 3006,     // %c
  kMsgCloseProgramsFirst = 3007,  // the line after 3006 for a volume in use
  kMsgMediaEjected = 3008,        // %c, with /V
  kMsgNoRemovableDriveBox = 3009, // 2005's text, in the windowless tool's table
  kMsgMediaNeedsAdmin = 3010,     // %c: the volume was refused for want of rights
  kMsgMediaSafeToTakeOut = 3011,  // %c: dismounted, not ejected
  // /W.
  kMsgWaiting = 3012,             // %c, %d the seconds of the bound
  kMsgVetoReason = 3100,      // + the veto type; %s the veto name
};

// Exit codes, a published contract:
//   0  the run did what was asked: /L or /J answered; a drive list or /A
//      processed, whatever became of each drive (with /W: every drive asked
//      for removed, or its medium out); a device found and removed
//      (with /M: its medium ejected, or free to take out by hand); nothing
//      asked beyond /B, /S, /V, /M, /W.
//   1  the run failed: usage shown (arguments not understood, or the
//      command line could not be split); Pullcore.dll missing; COM or the
//      hook helper failed; the device named with /D not found, not
//      removable or not removed (with /M: its medium not ejected); with /W,
//      a drive of a list or of /A that did not go.
enum ExitCode : int {
  kExitSuccess = 0,
  kExitFailure = 1,
};

}  // namespace ejectra::tools
