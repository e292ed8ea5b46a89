// The platform's rule for splitting a command line into arguments
// (CommandLineToArgvW).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ejectra::platform::sim {

std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

}  // namespace ejectra::platform::sim
