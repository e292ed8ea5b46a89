// How the helper server knows what to do and when to end: its command line,
// and the lock count with the monitor that ends an idle server.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/synchronization.h"

namespace ejectra::helper {

enum class ServerAction { Serve, Register, Unregister };

// The first "-" or "/" token, from the left, that is "UnregServer" or
// "RegServer" in any case and ends at the end of the line, a blank or a tab;
// serving when there is none.
ServerAction ParseServerCommand(std::u16string_view commandLine);

// Whether COM started the server for a client: a "-" or "/" token
// "Embedding" in any case.
bool StartedForActivation(std::u16string_view commandLine);

inline constexpr std::uint32_t kIdleTimeoutMilliseconds = 5000;
inline constexpr std::uint32_t kQuitPauseMilliseconds = 1000;

// Live objects plus LockServer(TRUE) calls not yet undone. Each fall to zero
// marks activity and signals the shutdown event.
class ServerLocks {
 public:
  ServerLocks(platform::Synchronization& os, platform::Handle shutdownEvent)
      : os_(os), event_(shutdownEvent) {}

  // For a server COM started for a client: its idle time counts from now,
  // so that one which never gets an object (another server of the same
  // activation race was registered first) ends as an idle one does.
  void ArmIdleShutdown();
  void Lock() { ++count_; }
  void Unlock();
  std::int32_t Count() const { return count_.load(); }

  // The monitor, on its own thread: waits for the count to fall to zero,
  // then for 5000 ms without activity; calls `quit` once the server has been
  // idle that long and returns. It leaves the event open: a release that
  // comes after its last look may still signal it safely, and the server
  // closes it when it has stopped serving.
  void RunShutdownMonitor(const std::function<void()>& quit);

 private:
  platform::Synchronization& os_;
  platform::Handle event_;
  std::atomic<std::int32_t> count_{0};
  std::atomic<bool> activity_{false};
};

}  // namespace ejectra::helper
