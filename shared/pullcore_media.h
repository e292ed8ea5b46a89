// What EjectDriveMedia answers: PULLCORE_MEDIA_* of include/pullcore.h, in
// portable form for the core and the tools.
#pragma once

namespace ejectra {

enum PullcoreMediaResult : int {
  kMediaFailed = 0,        // a step of the eject failed, or the drive could not be opened
  kMediaEjected = 1,       // the medium was ejected; the device stays
  kMediaInUse = 2,         // others held the volume through every try to lock it
  kMediaNotRemovable = 3,  // no such drive number, or not a removable or CD-ROM drive
  kMediaAccessDenied = 4,  // the volume could not be opened, locked or dismounted for want of rights
  kMediaDismounted = 5,    // locked and dismounted, but not ejected: safe to take out by hand
};

}  // namespace ejectra
