// Small text helpers shared by the core library and the tools.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ejectra {

// Texts are equal when they have the same length and every code unit is
// equal once the letters A-Z are folded to a-z. Nothing else is folded.
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) noexcept;

// The text of `units` up to its first NUL, or all of it when it holds none.
std::u16string TextUpToNul(const char16_t* units, std::size_t count);

// The bytes taken as UTF-16LE code units up to the first zero unit. An odd
// trailing byte is not part of any unit.
std::u16string TextFromBytes(const void* bytes, std::size_t size);

// The letter of drive number 1 (A) to 26 (Z); nothing for any other number.
std::optional<char16_t> DriveLetter(int drive) noexcept;

}  // namespace ejectra
