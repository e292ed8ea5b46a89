// Any template with any arguments: the formatter reads only what it is given.
#include <cstddef>
#include <cstdint>
#include <string>

#include "shared/message_format.h"

using namespace ejectra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t split = data[0] % size;
  std::u16string format, text;
  for (std::size_t i = 1; i + 1 < size; i += 2) {
    (i < split ? format : text).push_back(char16_t(data[i] | data[i + 1] << 8));
  }
  const std::u16string out = FormatMessageTemplate(
      format, {char16_t(data[1]), std::u16string_view(text), std::int64_t{data[0]} - 128,
               std::int64_t{-0x7FFFFFFFFFFFFFFF - 1}});
  if (format.find(u'%') == std::u16string::npos && out != format) __builtin_trap();
  return 0;
}
