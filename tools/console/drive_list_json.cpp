#include "tools/console/drive_list_json.h"

namespace ejectra::tools {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c == u'"' || c == u'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      out += "\\u00";
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 0xF];
    } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00));
    } else {
      AppendUtf8(out, IsHighSurrogate(c) || IsLowSurrogate(c) ? U'\uFFFD' : c);
    }
  }
  return out + '"';
}

std::string DriveListJson(const std::vector<RemovableDrive>& drives) {
  std::string out = "[";
  for (const RemovableDrive& row : drives) {
    if (out.size() > 1) out += ',';
    out += "{\"drive\":" + JsonString(row.drive.Name()) + ",\"name\":" + JsonString(row.name) +
           ",\"description\":" + JsonString(row.description) + '}';
  }
  return out + "]\n";
}

}  // namespace ejectra::tools
