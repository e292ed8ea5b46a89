#include "helper/server_lifetime.h"

#include "platform/text.h"

namespace ejectra::helper {

using namespace platform;

namespace {

// Whether the switch token starting at `start` (after its "-" or "/") is
// `word` in any case, ending at the end of the line, a blank or a tab.
bool TokenIs(std::u16string_view line, std::size_t start, std::u16string_view word) {
  if (line.size() - start < word.size() ||
      !EqualsIgnoringAsciiCase(line.substr(start, word.size()), word)) {
    return false;
  }
  const std::size_t end = start + word.size();
  return end == line.size() || line[end] == u' ' || line[end] == u'\t';
}

bool IsSwitchStart(char16_t c) { return c == u'-' || c == u'/'; }

}  // namespace

ServerAction ParseServerCommand(std::u16string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (!IsSwitchStart(line[i])) continue;
    if (TokenIs(line, i + 1, u"UnregServer")) return ServerAction::Unregister;
    if (TokenIs(line, i + 1, u"RegServer")) return ServerAction::Register;
  }
  return ServerAction::Serve;
}

bool StartedForActivation(std::u16string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (IsSwitchStart(line[i]) && TokenIs(line, i + 1, u"Embedding")) return true;
  }
  return false;
}

void ServerLocks::ArmIdleShutdown() {
  activity_ = true;
  os_.SetEvent(event_);
}

void ServerLocks::Unlock() {
  if (--count_ == 0) {
    activity_ = true;
    os_.SetEvent(event_);
  }
}

void ServerLocks::RunShutdownMonitor(const std::function<void()>& quit) {
  while (true) {
    // A wait that fails has no event left to watch: serve on, never quit blind.
    if (os_.WaitForSingleObject(event_, kInfinite) != kWaitObject0) return;
    do {
      activity_ = false;
    } while (os_.WaitForSingleObject(event_, kIdleTimeoutMilliseconds) == kWaitObject0);
    if (!activity_ && count_ == 0) {
      quit();
      return;
    }
  }
}

}  // namespace ejectra::helper
