// The wizard's string table as data, for running its logic on the host: the
// Japanese one and its English counterpart. The Windows build carries the
// same texts as resources, both languages under the same IDs.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace ejectra::wizard {

using MessageTable = std::map<std::uint32_t, std::u16string>;

const MessageTable& WizardMessageTable();
const MessageTable& EnglishWizardMessageTable();

}  // namespace ejectra::wizard
