#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "helper/hook_session.h"
#include "platform/owners.h"
#include "platform/sim/sim_synchronization.h"

namespace ejectra::helper {
namespace {

using namespace platform;
using platform::sim::SimCall;
using Calls = std::vector<SimCall>;

const SimCall kWait{"WaitForSingleObject", ""};
const SimCall kRelease{"ReleaseMutex", ""};
const SimCall kStart{"CPullcoreHook::Start", "mutex held"};
const SimCall kStop{"CPullcoreHook::Stop", "mutex held"};
const SimCall kRead{"InterlockedExchangeAdd", ""};
const SimCall kPause{"Sleep", "300"};

Calls Concat(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Ten pauses, each followed by a read of the count, and the final read.
Calls Grace() {
  Calls grace;
  for (int i = 0; i < 10; ++i) grace.insert(grace.end(), {kPause, kRead});
  grace.push_back(kRead);
  return grace;
}

class HookSessionTest : public ::testing::Test {
 protected:
  std::unique_ptr<HookSession> Client() {
    auto session = std::make_unique<HookSession>(sync.Services(), HookProcessState{count, hook});
    EXPECT_EQ(session->Open(), kSOk);
    world.calls.Clear();
    return session;
  }
  const Calls& Log() const { return world.calls.Log(); }
  std::size_t Count(std::string_view call) const { return world.calls.Count(call); }

  platform::sim::SimWorld world;
  platform::sim::SimSynchronization sync{world};
  platform::sim::SimHookLibrary hook{world, sync};
  UniqueHandle mutex{world.kernel, sync.CreateMutexW(kHookMutexName)};  // as the server makes it
  std::atomic<std::int32_t> count{0};
  std::int32_t users = -99;
};

TEST_F(HookSessionTest, FirstUserStartsTheHookUnderTheMutex) {
  const auto client = Client();
  EXPECT_EQ(client->StartHook(&users), kSOk);
  EXPECT_EQ(users, 1);
  EXPECT_EQ(Log(), (Calls{{"InterlockedIncrement", ""}, kWait, kStart, kRelease}));
}

TEST_F(HookSessionTest, SecondUserNeitherStartsNorStops) {
  const auto first = Client();
  const auto second = Client();
  first->StartHook(&users);
  world.calls.Clear();
  EXPECT_EQ(second->StartHook(&users), kSOk);
  EXPECT_EQ(users, 2);
  EXPECT_EQ(second->StopHook(&users), kSOk);
  EXPECT_EQ(users, 1);
  EXPECT_EQ(Log(), (Calls{{"InterlockedIncrement", ""}, {"InterlockedDecrement", ""}}));
  EXPECT_EQ(world.clock.Now(), 0u);
}

TEST_F(HookSessionTest, LastUserStopsAfterTenPausesOf300Milliseconds) {
  const auto client = Client();
  client->StartHook(&users);
  world.calls.Clear();
  EXPECT_EQ(client->StopHook(&users), kSOk);
  EXPECT_EQ(users, 0);
  EXPECT_EQ(Log(), Concat({{{"InterlockedDecrement", ""}}, Grace(), {kWait, kStop, kRelease}}));
  EXPECT_EQ(world.clock.Now(), 3000u);
}

TEST_F(HookSessionTest, UserArrivingWithinTheGracePeriod_KeepsTheHook) {
  const auto leaving = Client();
  const auto arriving = Client();
  leaving->StartHook(&users);
  std::int32_t theirs = 0;
  world.clock.At(1200, [&] { arriving->StartHook(&theirs); });  // as a free-threaded caller would
  world.calls.Clear();
  EXPECT_EQ(leaving->StopHook(&users), kSOk);
  EXPECT_EQ(users, 1);
  EXPECT_EQ(theirs, 1);
  EXPECT_EQ(Count("CPullcoreHook::Stop"), 0u);
  EXPECT_EQ(Count("CPullcoreHook::Start"), 1u);  // the arrival found 1 and started the hook anew
  EXPECT_EQ(world.clock.Now(), 1200u);
}

TEST_F(HookSessionTest, UserArrivingAfterTheTenthRead_IsSeenByTheFinalRead) {
  const auto leaving = Client();
  leaving->StartHook(&users);
  // Another client's call lands between the tenth read and the final one.
  world.calls.On("InterlockedExchangeAdd", /*skip=*/10, [&] { ++count; });
  EXPECT_EQ(leaving->StopHook(&users), kSOk);
  EXPECT_EQ(users, 1);
  EXPECT_EQ(Count("CPullcoreHook::Stop"), 0u);
  EXPECT_EQ(Count("InterlockedExchangeAdd"), 11u);
}

TEST_F(HookSessionTest, SurplusStop_RunsTheGracePeriodAndStopsAnyway) {
  const auto client = Client();
  EXPECT_EQ(client->StopHook(&users), kSOk);
  EXPECT_EQ(users, -1);
  EXPECT_EQ(Log(), Concat({{{"InterlockedDecrement", ""}}, Grace(), {kWait, kStop, kRelease}}));
  world.calls.Clear();
  EXPECT_EQ(client->StartHook(&users), kSOk);
  EXPECT_EQ(users, 0);
  EXPECT_EQ(Count("CPullcoreHook::Start"), 0u);  // 0 is not the first user
}

TEST_F(HookSessionTest, FailedStart_KeepsTheCountRaisedAndIsNotRetried) {
  const auto first = Client();
  world.calls.Fail("CPullcoreHook::Start", 0);
  users = 77;
  EXPECT_EQ(first->StartHook(&users), kEFail);
  EXPECT_EQ(users, 77);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(first->StartHook(&users), kSOk);
  EXPECT_EQ(users, 2);
  EXPECT_EQ(Count("CPullcoreHook::Start"), 1u);
  first->StopHook(&users);
  EXPECT_EQ(first->StopHook(&users), kSOk);  // stops a hook that never started
  EXPECT_EQ(Count("CPullcoreHook::Stop"), 1u);
}

TEST_F(HookSessionTest, FailedStop_LeavesTheCountLoweredAndTheNextFirstUserStartsAgain) {
  const auto client = Client();
  client->StartHook(&users);
  world.calls.Fail("CPullcoreHook::Stop", 0);
  users = 55;
  EXPECT_EQ(client->StopHook(&users), kEFail);
  EXPECT_EQ(users, 55);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(client->StartHook(&users), kSOk);
  EXPECT_EQ(Count("CPullcoreHook::Start"), 2u);
}

TEST_F(HookSessionTest, NullPointer_ChangesNothing) {
  const auto client = Client();
  EXPECT_EQ(client->StartHook(nullptr), kEInvalidArg);
  EXPECT_EQ(client->StopHook(nullptr), kEInvalidArg);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(Log(), Calls{});
}

TEST_F(HookSessionTest, Open_FailsWithTheLastErrorAsHresult_NeverWithSuccess) {
  mutex.reset();  // no server made the mutex
  HookSession missing(sync.Services(), HookProcessState{count, hook});
  EXPECT_EQ(missing.Open(), static_cast<std::int32_t>(0x80070002));  // ERROR_FILE_NOT_FOUND
  world.calls.Fail("OpenMutexW", 0);  // a failure that leaves no reason
  HookSession silent(sync.Services(), HookProcessState{count, hook});
  EXPECT_EQ(silent.Open(), kEFail);
  world.calls.Fail("OpenMutexW", 0x8007000E);  // already an HRESULT
  HookSession hresult(sync.Services(), HookProcessState{count, hook});
  EXPECT_EQ(hresult.Open(), static_cast<std::int32_t>(0x8007000E));
  world.calls.Fail("OpenMutexW", 0x80040154);  // one that is no 0x8007xxxx
  HookSession classNotRegistered(sync.Services(), HookProcessState{count, hook});
  EXPECT_EQ(classNotRegistered.Open(), kRegdbEClassNotReg);
}

TEST(HresultFromWin32Test, HresultFromWin32_MapsErrorsAndPassesHresultsThrough) {
  EXPECT_EQ(HresultFromWin32(kErrorAccessDenied), static_cast<std::int32_t>(0x80070005));
  EXPECT_EQ(HresultFromWin32(kErrorSuccess), kEFail);
  // Values a 0x8007xxxx mapping would change: only a pass-through keeps them.
  EXPECT_EQ(HresultFromWin32(0x80040154), kRegdbEClassNotReg);
  EXPECT_EQ(HresultFromWin32(0x800401F0), static_cast<std::int32_t>(0x800401F0));  // CO_E_NOTINITIALIZED
}

TEST_F(HookSessionTest, DestructionClosesItsHandleAndLeavesCountAndHook) {
  auto client = Client();
  client->StartHook(&users);
  EXPECT_EQ(sync.OpenHandles(), 2u);  // the server's and the session's
  client.reset();
  EXPECT_EQ(sync.OpenHandles(), 1u);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(Count("CPullcoreHook::Stop"), 0u);
}

}  // namespace
}  // namespace ejectra::helper
