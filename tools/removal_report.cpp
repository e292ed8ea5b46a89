#include "tools/removal_report.h"

#include <algorithm>
#include <string_view>

#include "shared/message_format.h"
#include "shared/pullcore_media.h"
#include "tools/message_ids.h"

namespace ejectra::tools {

namespace {

// A text field of the report, up to its terminator and never past its end,
// whatever the library left in it.
std::u16string_view Field(const char16_t (&text)[kRemovalTextChars]) {
  return {text, static_cast<std::size_t>(std::find(text, text + kRemovalTextChars, u'\0') - text)};
}

}  // namespace

std::u16string RefusalText(platform::Modules& strings, Drive drive,
                           const PullcoreRemoval& removal) {
  const bool inUse = removal.VetoType == kPnpVetoOutstandingOpen;
  std::u16string text;
  if (inUse) {
    text = FormatMessageTemplate(strings.LoadStringW(kMsgDriveInUse), {drive.Letter()});
  } else {
    const std::uint32_t type =
        removal.VetoType <= kPnpVetoAlreadyRemoved ? removal.VetoType : kPnpVetoTypeUnknown;
    const std::u16string reason =
        FormatMessageTemplate(strings.LoadStringW(kMsgVetoReason + type), {Field(removal.VetoName)});
    text = FormatMessageTemplate(strings.LoadStringW(kMsgRemovalRefused),
                                 {drive.Letter(), std::u16string_view(reason)});
  }
  const std::uint32_t blockers = std::min(removal.BlockerCount, kMaxBlockers);
  for (std::uint32_t i = 0; i < blockers; ++i) {
    const PullcoreBlocker& blocker = removal.Blockers[i];
    text += u'\n';
    text += FormatMessageTemplate(strings.LoadStringW(kMsgBlocker),
                                  {Field(blocker.ImagePath), std::int64_t{blocker.ProcessId}});
  }
  if (inUse && blockers == 0) {
    text += u'\n';
    text += strings.LoadStringW(kMsgNoBlockerKnown);
  }
  return text;
}

bool SameHolders(const PullcoreRemoval& one, const PullcoreRemoval& other) {
  const std::uint32_t count = std::min(one.BlockerCount, kMaxBlockers);
  if (count != std::min(other.BlockerCount, kMaxBlockers)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (one.Blockers[i].ProcessId != other.Blockers[i].ProcessId ||
        Field(one.Blockers[i].ImagePath) != Field(other.Blockers[i].ImagePath)) {
      return false;
    }
  }
  return true;
}

std::u16string MediaNotEjectedText(platform::Modules& strings, Drive drive, int result) {
  std::u16string text =
      FormatMessageTemplate(strings.LoadStringW(kMsgMediaNotEjected), {drive.Letter()});
  if (result == kMediaInUse) text += u'\n' + strings.LoadStringW(kMsgCloseProgramsFirst);
  return text;
}

}  // namespace ejectra::tools
