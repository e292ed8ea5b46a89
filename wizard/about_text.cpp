#include "wizard/about_text.h"

#include "shared/message_format.h"

namespace ejectra::wizard {

std::u16string VersionLine(const platform::VsFixedFileInfo& info) {
  const std::int64_t major = info.dwFileVersionMS >> 16;
  const std::int64_t minor = info.dwFileVersionMS & 0xFFFF;
  const std::int64_t build = info.dwFileVersionLS >> 16;
  const std::int64_t revision = info.dwFileVersionLS & 0xFFFF;
  return FormatMessageTemplate(u"Version %d.%02d (%d.%d.%d.%d)",
                               {major, minor, major, minor, build, revision});
}

}  // namespace ejectra::wizard
