#include "shared/text.h"

#include <cstring>

namespace ejectra {

namespace {
char16_t FoldAsciiLetter(char16_t c) noexcept {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}
}  // namespace

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAsciiLetter(a[i]) != FoldAsciiLetter(b[i])) return false;
  }
  return true;
}

std::u16string TextUpToNul(const char16_t* units, std::size_t count) {
  const std::u16string_view all(units, count);
  return std::u16string(all.substr(0, all.find(u'\0')));
}

std::u16string TextFromBytes(const void* bytes, std::size_t size) {
  std::u16string text;
  const auto* p = static_cast<const unsigned char*>(bytes);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    char16_t unit;
    std::memcpy(&unit, p + i, sizeof unit);
    if (unit == u'\0') break;
    text.push_back(unit);
  }
  return text;
}

std::optional<char16_t> DriveLetter(int drive) noexcept {
  if (drive < 1 || drive > 26) return std::nullopt;
  return static_cast<char16_t>(u'@' + drive);
}

}  // namespace ejectra
