// UTF-8 and UTF-16 conversion for machine descriptions and test output.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ejectra::platform::sim {

// Nothing when `text` is not well-formed UTF-8.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace ejectra::platform::sim
