// The string tables of the two tools as data, for running them on the host:
// the Japanese ones and their English counterparts. The Windows builds carry
// the same texts as resources, both languages under the same IDs.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace ejectra::tools {

using MessageTable = std::map<std::uint32_t, std::u16string>;

const MessageTable& ConsoleMessageTable();
const MessageTable& WindowlessMessageTable();
const MessageTable& EnglishConsoleMessageTable();
const MessageTable& EnglishWindowlessMessageTable();

}  // namespace ejectra::tools
