#include <gtest/gtest.h>

#include <optional>

#include "helper/server_lifetime.h"
#include "platform/sim/sim_hook_host.h"

namespace ejectra::helper {
namespace {

using platform::sim::SimHookHost;

TEST(ParseServerCommand, LeftmostWholeTokenWinsInAnyCaseAfterSlashOrHyphen) {
  EXPECT_EQ(ParseServerCommand(u"PullcoreHelper.exe /RegServer"), ServerAction::Register);
  EXPECT_EQ(ParseServerCommand(u"PullcoreHelper.exe -regserver"), ServerAction::Register);
  EXPECT_EQ(ParseServerCommand(u"x /REGSERVER\t/other"), ServerAction::Register);
  EXPECT_EQ(ParseServerCommand(u"x /UnregServer /RegServer"), ServerAction::Unregister);
  EXPECT_EQ(ParseServerCommand(u"x /RegServer -UNREGSERVER"), ServerAction::Register);
  EXPECT_EQ(ParseServerCommand(u"x /RegServerX"), ServerAction::Serve);
  EXPECT_EQ(ParseServerCommand(u"x RegServer"), ServerAction::Serve);
  EXPECT_EQ(ParseServerCommand(u"x -Embedding"), ServerAction::Serve);
  EXPECT_EQ(ParseServerCommand(u"\"C:\\my-tools/helper.exe\" /regserver"), ServerAction::Register);
  EXPECT_EQ(ParseServerCommand(u"x /"), ServerAction::Serve);
  EXPECT_EQ(ParseServerCommand(u""), ServerAction::Serve);
}

class ShutdownMonitorTest : public ::testing::Test {
 protected:
  // Runs the monitor to its end; the virtual time at which it quit.
  std::optional<std::uint64_t> Run() {
    std::optional<std::uint64_t> quitAt;
    locks.RunShutdownMonitor([&] { quitAt = host.NowMilliseconds(); });
    return quitAt;
  }

  SimHookHost host;
  platform::Handle event = host.CreateEvent();
  ServerLocks locks{host, event};
};

TEST_F(ShutdownMonitorTest, QuitsFiveSecondsAfterTheLastRelease) {
  locks.Lock();
  host.At(700, [&] { locks.Unlock(); });
  EXPECT_EQ(Run(), 5700u);
  EXPECT_EQ(host.OpenHandles(), 1u);  // the event stays open for the server to close
}

TEST_F(ShutdownMonitorTest, ANewObjectWithinTheIdleTime_KeepsTheServer) {
  locks.Lock();
  host.At(1000, [&] { locks.Unlock(); });
  host.At(4000, [&] { locks.Lock(); });
  host.At(9000, [&] { locks.Unlock(); });
  EXPECT_EQ(Run(), 14000u);
}

TEST_F(ShutdownMonitorTest, AnObjectAliveWhenTheIdleTimeEnds_KeepsTheServer) {
  locks.Lock();
  host.At(1000, [&] { locks.Unlock(); });
  host.At(5999, [&] { locks.Lock(); });   // comes and is still there at 6000
  host.At(20000, [&] { locks.Unlock(); });
  EXPECT_EQ(Run(), 25000u);
}

TEST_F(ShutdownMonitorTest, NeverUsed_NeverQuits) {
  EXPECT_EQ(Run(), std::nullopt);  // the simulation fails a wait that nothing can end
}

TEST_F(ShutdownMonitorTest, ReleaseAfterTheMonitorQuit_SignalsAnOpenEvent) {
  locks.Lock();
  locks.Lock();
  host.At(100, [&] { locks.Unlock(); });
  host.At(200, [&] { locks.Unlock(); });
  EXPECT_EQ(Run(), 5200u);
  locks.Lock();
  locks.Unlock();
  EXPECT_EQ(host.events.back(), "SetEvent");
  EXPECT_EQ(host.OpenHandles(), 1u);
}

}  // namespace
}  // namespace ejectra::helper
