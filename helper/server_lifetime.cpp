#include "helper/server_lifetime.h"

#include "shared/text.h"

namespace ejectra::helper {

using namespace platform;

ServerAction ParseServerCommand(std::u16string_view line) {
  const auto matches = [&](std::size_t start, std::u16string_view word) {
    if (line.size() - start < word.size() ||
        !EqualsIgnoringAsciiCase(line.substr(start, word.size()), word)) {
      return false;
    }
    const std::size_t end = start + word.size();
    return end == line.size() || line[end] == u' ' || line[end] == u'\t';
  };
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != u'-' && line[i] != u'/') continue;
    if (matches(i + 1, u"UnregServer")) return ServerAction::Unregister;
    if (matches(i + 1, u"RegServer")) return ServerAction::Register;
  }
  return ServerAction::Serve;
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
