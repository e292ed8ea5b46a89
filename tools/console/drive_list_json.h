// ejectrac /J: the removable drives as one JSON array, for scripts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shared/removable_drives.h"

namespace ejectra::tools {

// `text` as a JSON string, quotes included, in UTF-8: the quote and the
// backslash escaped, control characters as \u00xx, everything else as its
// UTF-8 bytes (a lone surrogate as U+FFFD).
std::string JsonString(std::u16string_view text);

// [{"drive":"E:","name":"...","description":"..."},...] with no other
// whitespace and one line feed at the end; "[]\n" for none.
std::string DriveListJson(const std::vector<RemovableDrive>& drives);

}  // namespace ejectra::tools
