// The texts with which /V reports a removal: why the platform refused it and
// which programs held the drive; and why a medium stayed in.
#pragma once

#include <string>

#include "platform/process_services.h"
#include "shared/drive.h"
#include "shared/pullcore_removal.h"

namespace ejectra::tools {

// One text, its lines joined by line feeds: the refusal (3001 for a drive in
// use, else 3004 with the reason 3100 + veto type, 3100 itself for a type it
// does not know), then a line for each process that held the drive (3002),
// or 3003 for a drive in use whose holders are not known.
std::u16string RefusalText(platform::Modules& strings, Drive drive,
                           const PullcoreRemoval& removal);

// Whether two refusals name the same holding processes, in the same order.
bool SameHolders(const PullcoreRemoval& one, const PullcoreRemoval& other);

// /M: 3006 for a medium not ejected, and the line 3007 after it when
// programs held the volume (kMediaInUse).
std::u16string MediaNotEjectedText(platform::Modules& strings, Drive drive, int result);

}  // namespace ejectra::tools
