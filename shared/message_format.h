// Fills a message template from the string table with typed arguments.
// Directives: %c (a character), %s (a text), %d and %02d (a number), %04x (a
// number in lower-case hexadecimal) and %% (a percent sign). Arguments are
// taken in order; a directive whose argument is missing or of another kind
// is copied as it stands, so a template can never read what it was not
// given.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace ejectra {

using MessageArg = std::variant<char16_t, std::u16string_view, std::int64_t>;

std::u16string FormatMessageTemplate(std::u16string_view format,
                                     std::initializer_list<MessageArg> args);

}  // namespace ejectra
