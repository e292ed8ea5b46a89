#include <gtest/gtest.h>

#include <optional>

#include "helper/server_lifetime.h"
#include "platform/owners.h"
#include "platform/sim/sim_synchronization.h"

namespace ejectra::helper {
namespace {


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

TEST(StartedForActivation, FindsTheEmbeddingSwitchOnly) {
  EXPECT_TRUE(StartedForActivation(u"\"C:\\x\\PullcoreHelper.exe\" -Embedding"));
  EXPECT_TRUE(StartedForActivation(u"x /embedding\t/other"));
  EXPECT_FALSE(StartedForActivation(u"x -EmbeddingX"));
  EXPECT_FALSE(StartedForActivation(u"x Embedding"));
  EXPECT_FALSE(StartedForActivation(u"x"));
}

class ShutdownMonitorTest : public ::testing::Test {
 protected:
  // Runs the monitor to its end; the virtual time at which it quit.
  std::optional<std::uint64_t> Run() {
    std::optional<std::uint64_t> quitAt;
    locks.RunShutdownMonitor([&] { quitAt = world.clock.Now(); });
    return quitAt;
  }

  platform::sim::SimWorld world;
  platform::sim::SimSynchronization sync{world};
  platform::UniqueHandle event{world.kernel, sync.CreateEventW(false, false, nullptr)};
  ServerLocks locks{sync, event.get()};
};

TEST_F(ShutdownMonitorTest, QuitsFiveSecondsAfterTheLastRelease) {
  locks.Lock();
  world.clock.At(700, [&] { locks.Unlock(); });
  EXPECT_EQ(Run(), 5700u);
  EXPECT_EQ(sync.OpenHandles(), 1u);  // the event stays open for the server to close
}

TEST_F(ShutdownMonitorTest, ANewObjectWithinTheIdleTime_KeepsTheServer) {
  locks.Lock();
  world.clock.At(1000, [&] { locks.Unlock(); });
  world.clock.At(4000, [&] { locks.Lock(); });
  world.clock.At(9000, [&] { locks.Unlock(); });
  EXPECT_EQ(Run(), 14000u);
}

TEST_F(ShutdownMonitorTest, AnObjectAliveWhenTheIdleTimeEnds_KeepsTheServer) {
  locks.Lock();
  world.clock.At(1000, [&] { locks.Unlock(); });
  world.clock.At(5999, [&] { locks.Lock(); });   // comes and is still there at 6000
  world.clock.At(20000, [&] { locks.Unlock(); });
  EXPECT_EQ(Run(), 25000u);
}

TEST_F(ShutdownMonitorTest, StartedForActivationAndNeverUsed_QuitsAfterTheIdleTime) {
  locks.ArmIdleShutdown();
  EXPECT_EQ(Run(), 5000u);
}

TEST_F(ShutdownMonitorTest, StartedForActivation_AnObjectWithinTheIdleTimeKeepsTheServer) {
  locks.ArmIdleShutdown();
  world.clock.At(3000, [&] { locks.Lock(); });
  world.clock.At(9000, [&] { locks.Unlock(); });
  EXPECT_EQ(Run(), 14000u);
}

using ShutdownMonitorDeathTest = ShutdownMonitorTest;

TEST_F(ShutdownMonitorDeathTest, NeverUsed_WaitsForEver) {
  // The simulation ends a wait that nothing can end, and says so.
  EXPECT_DEATH(Run(), "nothing will ever signal");
}

TEST_F(ShutdownMonitorTest, ReleaseAfterTheMonitorQuit_SignalsAnOpenEvent) {
  locks.Lock();
  locks.Lock();
  world.clock.At(100, [&] { locks.Unlock(); });
  world.clock.At(200, [&] { locks.Unlock(); });
  EXPECT_EQ(Run(), 5200u);
  locks.Lock();
  locks.Unlock();
  EXPECT_EQ(world.calls.Log().back(), (platform::sim::SimCall{"SetEvent", ""}));
  EXPECT_EQ(sync.OpenHandles(), 1u);
}

}  // namespace
}  // namespace ejectra::helper
