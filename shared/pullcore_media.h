// What EjectDriveMedia answers: PULLCORE_MEDIA_* of include/pullcore.h, in
// portable form.
#pragma once

namespace ejectra {

enum PullcoreMediaResult : int {
  kMediaFailed = 0,         // a step of the ejection failed; the medium may still be in
  kMediaEjected = 1,        // the medium is out, the device stays
  kMediaInUse = 2,          // the volume stayed locked by others
  kMediaNotRemovable = 3,   // no drive, or one whose medium cannot be taken out
};

}  // namespace ejectra
