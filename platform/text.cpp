#include "platform/text.h"

#include <algorithm>

namespace ejectra::platform {

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) noexcept {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return FoldAsciiCase(x) == FoldAsciiCase(y); });
}

bool LessIgnoringAsciiCase::operator()(std::u16string_view a,
                                       std::u16string_view b) const noexcept {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [](char16_t x, char16_t y) { return FoldAsciiCase(x) < FoldAsciiCase(y); });
}

std::u16string FoldedAsciiCase(std::u16string_view text) {
  std::u16string folded(text);
  std::transform(folded.begin(), folded.end(), folded.begin(), FoldAsciiCase);
  return folded;
}

std::u16string TextUpToNul(const char16_t* units, std::size_t count) {
  const std::u16string_view all(units, count);
  return std::u16string(all.substr(0, all.find(u'\0')));
}

std::u16string DecodeUtf16le(const void* bytes, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  std::u16string text;
  text.reserve(size / 2);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(p[i] | (p[i + 1] << 8)));
  }
  return text;
}

std::u16string TextFromUtf16le(const void* bytes, std::size_t size) {
  std::u16string text = DecodeUtf16le(bytes, size);
  text.resize(std::min(text.size(), text.find(u'\0')));
  return text;
}

std::vector<std::uint8_t> EncodeUtf16le(std::u16string_view text, bool withNul) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve((text.size() + 1) * 2);
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  if (withNul) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

std::u16string FormatGuid(const Guid& guid) {
  std::u16string text = u"{";
  const auto hex = [&](std::uint32_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
      text += u"0123456789ABCDEF"[(value >> shift) & 0xF];
    }
  };
  hex(guid.Data1, 8);
  text += u'-';
  hex(guid.Data2, 4);
  text += u'-';
  hex(guid.Data3, 4);
  text += u'-';
  for (int i = 0; i < 8; ++i) {
    if (i == 2) text += u'-';
    hex(guid.Data4[i], 2);
  }
  return text + u'}';
}

}  // namespace ejectra::platform
