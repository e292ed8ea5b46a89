// The wizard's string table as data, for running its logic on the host. The
// Windows build carries the same texts as resources.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace ejectra::wizard {

using MessageTable = std::map<std::uint32_t, std::u16string>;

const MessageTable& WizardMessageTable();

}  // namespace ejectra::wizard
