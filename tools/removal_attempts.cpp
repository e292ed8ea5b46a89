// The outcome of one drive's removal or medium, as the tools report it, and
// /W: asking again, once a second, while the drive is held.
#include "shared/message_format.h"
#include "tools/message_ids.h"
#include "tools/removal_report.h"
#include "tools/unplug_tool.h"

namespace ejectra::tools {

using namespace platform;

bool CUnplugTool::RemoveDriveWithReasons(Drive drive) {
  PullcoreRemoval removal{};
  removal.Size = sizeof removal;
  // Given the reasons to fill, the platform leaves out its own notice.
  bool removed = library().RemoveHardwareDriveEx(drive.Number(), removal) != 0;
  if (!removed && wait_) removed = WaitForRemoval(drive, removal);
  if (!reasons_) return removed;
  if (removed) {
    ShowMessageFormat(kMsgSafeToUnplug, drive.Letter(), kMbIconInformation);
    return true;
  }
  OutputText(RefusalText(os().modules, drive, removal), kMbIconWarning);
  return false;
}

bool CUnplugTool::ReportMedia(Drive drive, int result) {
  switch (result) {
    case kMediaEjected:
      if (reasons_) ShowMessageFormat(kMsgMediaEjected, drive.Letter(), kMbIconInformation);
      return true;
    case kMediaDismounted:  // the drive could not push it out: a hand can
      ShowMessageFormat(kMsgMediaSafeToTakeOut, drive.Letter(), kMbIconInformation);
      return true;
    case kMediaNotRemovable:
      ShowMessageFormat(kMsgNotRemovable, drive.Letter(), kMbIconWarning);
      return false;
    case kMediaAccessDenied:
      ShowMessageFormat(kMsgMediaNeedsAdmin, drive.Letter(), kMbIconWarning);
      return false;
    default:  // failed, in use, or an answer this tool does not know
      OutputText(MediaNotEjectedText(os().modules, drive, result), kMbIconWarning);
      return false;
  }
}

bool CUnplugTool::BeginWait(Drive drive, std::u16string refusal) {
  if (!wait_->TimeLeft()) return false;
  if (reasons_) {
    refusal += u'\n';
    refusal += FormatMessageTemplate(os().modules.LoadStringW(kMsgWaiting),
                                     {drive.Letter(), std::int64_t{wait_->Seconds()}});
    ShowWaiting(refusal);
  }
  return true;
}

// A drive pulled out by hand while it is waited for is not asked again: its
// last refusal stands.
bool CUnplugTool::StillPresent(Drive drive) {
  return drive.In(os().process.GetLogicalDrives());
}

bool CUnplugTool::WaitForRemoval(Drive drive, PullcoreRemoval& removal) {
  if (!BeginWait(drive, RefusalText(os().modules, drive, removal))) return false;
  while (wait_->PauseBeforeNextTry() && StillPresent(drive)) {
    PullcoreRemoval next{};
    next.Size = sizeof next;
    if (library().RemoveHardwareDriveEx(drive.Number(), next)) return true;
    // Said again only when other programs hold the drive now.
    if (reasons_ && !SameHolders(next, removal)) ShowWaiting(RefusalText(os().modules, drive, next));
    removal = next;
  }
  return false;
}

int CUnplugTool::WaitForMedia(Drive drive, int result) {
  if (!wait_ || result != kMediaInUse) return result;
  if (!BeginWait(drive, MediaNotEjectedText(os().modules, drive, result))) return result;
  while (result == kMediaInUse && wait_->PauseBeforeNextTry() && StillPresent(drive)) {
    result = library().EjectDriveMedia(drive.Number());
  }
  return result;
}

}  // namespace ejectra::tools
