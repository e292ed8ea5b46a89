#include "platform/sim/machine_file_json.h"

#include <cstdio>

#include "platform/sim/utf.h"
#include "platform/text.h"

namespace ejectra::platform::sim::json {

std::u16string Text(const Json& value) {
  if (!value.is_string()) throw Invalid("expected a string");
  auto text = Utf8ToUtf16(value.get_ref<const std::string&>());
  if (!text) throw Invalid("a string is not UTF-8");
  return *std::move(text);
}

std::uint32_t Number(const Json& value) {
  if (value.is_number_unsigned()) {
    const auto n = value.get<std::uint64_t>();
    if (n <= 0xFFFFFFFFu) return static_cast<std::uint32_t>(n);
  } else if (value.is_string()) {
    const std::string& s = value.get_ref<const std::string&>();
    std::size_t used = 0;
    try {
      const unsigned long long n = std::stoull(s, &used, 0);
      if (used == s.size() && n <= 0xFFFFFFFFu) return static_cast<std::uint32_t>(n);
    } catch (const std::logic_error&) {
    }
  }
  throw Invalid("expected a 32-bit unsigned number");
}

std::vector<std::u16string> TextList(const Json& value) {
  if (!value.is_array()) throw Invalid("expected a list of strings");
  std::vector<std::u16string> list;
  for (const Json& item : value) list.push_back(Text(item));
  return list;
}

std::vector<std::uint8_t> Hex(const Json& value) {
  if (!value.is_string()) throw Invalid("expected hex digits");
  const std::string& s = value.get_ref<const std::string&>();
  if (s.size() % 2) throw Invalid("odd number of hex digits");
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw Invalid("not a hex digit");
  };
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < s.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(digit(s[i]) * 16 + digit(s[i + 1])));
  }
  return bytes;
}

std::string HexText(const std::vector<std::uint8_t>& bytes) {
  std::string s;
  char pair[3];
  for (const std::uint8_t b : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", b);
    s += pair;
  }
  return s;
}

Guid ParseGuid(const std::string& s) {
  if (s == "volume") return kGuidDevInterfaceVolume;
  if (s == "disk") return kGuidDevInterfaceDisk;
  unsigned d1, d2, d3, b[8];
  char end;
  if (s.size() != 38 ||
      std::sscanf(s.c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}%c", &d1, &d2, &d3, &b[0],
                  &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &end) != 11) {
    throw Invalid("not an interface class: " + s);
  }
  Guid g{d1, static_cast<std::uint16_t>(d2), static_cast<std::uint16_t>(d3), {}};
  for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<std::uint8_t>(b[i]);
  return g;
}

std::string GuidText(const Guid& g) {
  if (g == kGuidDevInterfaceVolume) return "volume";
  if (g == kGuidDevInterfaceDisk) return "disk";
  return Utf16ToUtf8(FormatGuid(g));
}

Json List(const Json& object, const char* name) {
  const Json list = object.value(name, Json::array());
  if (!list.is_array()) throw Invalid(std::string(name) + " is not a list");
  return list;
}

bool Flag(const Json& device, const char* name, bool fallback) {
  if (!device.contains(name)) return fallback;
  if (!device[name].is_boolean()) throw Invalid(std::string(name) + " is not true or false");
  return device[name].get<bool>();
}

std::optional<std::u16string> StoredText(const std::vector<std::uint8_t>& data, bool withNul) {
  if (data.size() % 2) return std::nullopt;
  std::u16string text = DecodeUtf16le(data.data(), data.size());
  if (withNul) {
    if (text.empty() || text.back() != u'\0') return std::nullopt;
    text.pop_back();
  }
  if (text.find(u'\0') != std::u16string::npos) return std::nullopt;
  if (Utf8ToUtf16(Utf16ToUtf8(text)) != text) {
    return std::nullopt;  // unpaired surrogates do not survive the trip through UTF-8
  }
  return text;
}

// The registry roots a description may fill.

}  // namespace ejectra::platform::sim::json
