#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "platform/sim/clock_and_calls.h"
#include "platform/sim/sim_core_services.h"
#include "platform/sim/sim_process.h"
#include "platform/sim/sim_synchronization.h"
#include "platform/sim/sim_world.h"

namespace ejectra::platform::sim {
namespace {

// A deadlock in the logic under test ends the test program with a message,
// never with a wait that quietly fails. A timed wait on the same event is
// not a fault: its time runs out.
TEST(SimWaitDeathTest, Wait_EndlessOnAnEventNothingSignals_AbortsTheTest) {
  SimWorld world;
  SimSynchronization sync(world);
  const Handle event = sync.CreateEventW(false, false, nullptr);
  world.clock.At(100, [] {});  // something happens, but nothing signals the event
  EXPECT_EQ(sync.WaitForSingleObject(event, 5000), kWaitTimeout);
  EXPECT_DEATH(sync.WaitForSingleObject(event, kInfinite), "nothing will ever signal");
}

// Each call of the simulated process fails as planned, whatever it was asked.
TEST(SimProcess, PlannedFailure_FailsTheCallWithThePlannedLastError) {
  const std::uint32_t block = 0;
  const void* value = nullptr;
  std::uint32_t length = 0;
  const struct {
    const char* call;
    std::function<bool(SimProcess&)> failed;
  } cases[] = {
      {"GetProcAddress", [](SimProcess& p) { return !p.GetProcAddress(0, "Export"); }},
      {"LoadStringW", [](SimProcess& p) { return p.LoadStringW(7).empty(); }},
      {"GetLogicalDrives", [](SimProcess& p) { return p.GetLogicalDrives() == 0; }},
      {"GetFileVersionInfoSizeW", [](SimProcess& p) { return p.GetFileVersionInfoSizeW(u"v.dll") == 0; }},
      {"GetFileVersionInfoW", [&](SimProcess& p) { return !p.GetFileVersionInfoW(u"v.dll", 4, &length); }},
      {"VerQueryValueW", [&](SimProcess& p) { return !p.VerQueryValueW(&block, u"\\", &value, &length); }},
      {"WideCharToMultiByte", [](SimProcess& p) { return p.WideCharToMultiByte(u"text").empty(); }},
      {"FreeLibrary", [](SimProcess& p) { return !p.FreeLibrary(0); }},
  };
  for (const auto& [call, failed] : cases) {
    SimWorld world;
    SimProcess process(world);
    process.strings[7] = u"text";
    process.versions[u"v.dll"] = SimVersionResource{};
    process.logicalDrives = 0x4;
    world.calls.Fail(call, 1234);
    EXPECT_TRUE(failed(process)) << call;
    EXPECT_EQ(world.lastError, 1234u) << call;
    EXPECT_EQ(world.calls.Count(call), 1u) << call;
  }
}

TEST(SimCalls, Fail_PassesOverSkipCallsThenFailsTimesCalls) {
  SimCalls calls;
  calls.Know({"Call", "Other"});
  calls.Fail("Call", 7, /*skip=*/1, /*times=*/2);
  EXPECT_EQ(calls.Enter("Call"), std::nullopt);
  EXPECT_EQ(calls.Enter("Other"), std::nullopt);
  EXPECT_EQ(calls.Enter("Call"), 7u);
  EXPECT_EQ(calls.Pending(), std::vector<std::string>{"Call"});
  EXPECT_EQ(calls.Enter("Call"), 7u);
  EXPECT_EQ(calls.Enter("Call"), std::nullopt);
  EXPECT_TRUE(calls.Pending().empty());
  EXPECT_EQ(calls.Count("Call"), 4u);
}

TEST(SimCalls, Throw_ThrowsOnceAndOn_RunsBeforeTheCallTakesEffect) {
  SimCalls calls;
  calls.Know({"Call", "Other"});
  calls.Throw("Call", /*skip=*/1);
  int seen = 0;
  calls.On("Call", /*skip=*/0, [&] { seen = static_cast<int>(calls.Count("Call")); });
  EXPECT_EQ(calls.Enter("Call", "first"), std::nullopt);
  EXPECT_EQ(seen, 1);
  EXPECT_THROW(calls.Enter("Call", "second"), std::bad_alloc);
  EXPECT_EQ(calls.Enter("Call"), std::nullopt);
  EXPECT_EQ(calls.Details("Call"), (std::vector<std::string>{"first", "second", ""}));
  EXPECT_EQ(calls.Log().front(), (SimCall{"Call", "first"}));
}

TEST(SimClock, Advance_RunsWhatFallsDueInTimeOrderAtItsTime) {
  SimClock clock;
  std::vector<std::uint64_t> ran;
  clock.At(300, [&] { ran.push_back(clock.Now()); });
  clock.At(100, [&] { ran.push_back(clock.Now()); });
  clock.At(900, [&] { ran.push_back(clock.Now()); });
  clock.Advance(500);
  EXPECT_EQ(ran, (std::vector<std::uint64_t>{100, 300}));
  EXPECT_EQ(clock.Now(), 500u);
  EXPECT_FALSE(clock.RunNext(800));
  EXPECT_TRUE(clock.RunNext(1000));
  EXPECT_EQ(clock.Now(), 900u);
}

}  // namespace
}  // namespace ejectra::platform::sim

namespace ejectra::platform::sim {
namespace {

// A misspelt plan would wait for a call that never comes: it is refused
// when made, for each kind of plan, and a name made known is then taken.
// The names come from the fakes the world has: a misspelt call, or a call
// of a fake the world lacks, is refused until a fake makes it known.
TEST(SimCalls, PlanForAnUnknownName_IsRefusedAtOnce) {
  SimWorld world;
  SimCalls& calls = world.calls;
  EXPECT_THROW(calls.Fail("CM_Get_Parent", 1), std::invalid_argument);  // no device fake yet
  calls.Fail("Sleep", 1);  // the kernel base comes with every world
  SimCoreServices machine(world);
  EXPECT_THROW(calls.Fail("CM_Get_Parnet", 1), std::invalid_argument);
  EXPECT_THROW(calls.Throw("SetupDiGetClassDevs"), std::invalid_argument);
  EXPECT_THROW(calls.On("StartHook", 0, [] {}), std::invalid_argument);
  EXPECT_EQ(calls.Pending(), std::vector<std::string>{"Sleep"});
  calls.Fail("CM_Get_Parent", 1);
  calls.Know({"StartHook"});
  calls.On("StartHook", 0, [] {});
  EXPECT_EQ(calls.Pending(), (std::vector<std::string>{"CM_Get_Parent", "Sleep"}));
}

}  // namespace
}  // namespace ejectra::platform::sim
