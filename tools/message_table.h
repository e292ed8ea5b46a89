// The string tables of the two tools as data, for running them on the host.
// The Windows builds carry the same texts as resources.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace ejectra::tools {

using MessageTable = std::map<std::uint32_t, std::u16string>;

const MessageTable& ConsoleMessageTable();
const MessageTable& WindowlessMessageTable();

}  // namespace ejectra::tools
