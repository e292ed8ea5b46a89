// Text helpers every layer shares: the one case fold (the letters A-Z and
// nothing else), and the one reading and writing of UTF-16LE bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace ejectra::platform {

constexpr char16_t FoldAsciiCase(char16_t c) noexcept {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Texts are equal when they have the same length and every code unit is
// equal once the letters A-Z are folded to a-z. Nothing else is folded.
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) noexcept;

// The order of texts compared with the letters A-Z folded; for maps.
struct LessIgnoringAsciiCase {
  using is_transparent = void;
  bool operator()(std::u16string_view a, std::u16string_view b) const noexcept;
};

// The text with the letters A-Z folded to a-z.
std::u16string FoldedAsciiCase(std::u16string_view text);

// The text of `units` up to its first NUL, or all of it when it holds none.
std::u16string TextUpToNul(const char16_t* units, std::size_t count);

// Every UTF-16LE code unit of the bytes, NULs included; an odd trailing byte
// is not part of any unit.
std::u16string DecodeUtf16le(const void* bytes, std::size_t size);
// The same units up to the first zero unit.
std::u16string TextFromUtf16le(const void* bytes, std::size_t size);
// The text as UTF-16LE bytes, with or without a terminating NUL.
std::vector<std::uint8_t> EncodeUtf16le(std::u16string_view text, bool withNul);

// "{E0D32790-51A4-4CC1-A653-1FFC4349125B}": upper-case hexadecimal, in braces.
std::u16string FormatGuid(const Guid& guid);

}  // namespace ejectra::platform
