// The texts of the About box that come from the program's version resource.
#pragma once

#include <string>

#include "platform/process_services.h"

namespace ejectra::wizard {

// "Version 1.10 (1.10.112.0)": the file version's major and two-digit minor
// number, then all four numbers.
std::u16string VersionLine(const platform::VsFixedFileInfo& info);

}  // namespace ejectra::wizard
