#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "helper/hook_session.h"
#include "platform/sim/sim_hook_host.h"

namespace ejectra::helper {
namespace {

using platform::sim::SimHookHost;
using Events = std::vector<std::string>;

const Events kGrace = {"Sleep 300", "Sleep 300", "Sleep 300", "Sleep 300", "Sleep 300",
                       "Sleep 300", "Sleep 300", "Sleep 300", "Sleep 300", "Sleep 300"};

Events Concat(std::initializer_list<Events> parts) {
  Events all;
  for (const Events& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class HookSessionTest : public ::testing::Test {
 protected:
  HookSessionTest() { host.mutexes.insert(kHookMutexName); }

  std::unique_ptr<HookSession> Client() {
    auto session = std::make_unique<HookSession>(host, HookProcessState{count, host});
    EXPECT_EQ(session->Open(), kSOk);
    host.events.clear();
    return session;
  }

  SimHookHost host;
  std::atomic<std::int32_t> count{0};
  std::int32_t users = -99;
};

TEST_F(HookSessionTest, FirstUserStartsTheHookUnderTheMutex) {
  const auto client = Client();
  EXPECT_EQ(client->StartHook(&users), kSOk);
  EXPECT_EQ(users, 1);
  EXPECT_EQ(host.events, (Events{"Wait", "Start", "Release"}));
}

TEST_F(HookSessionTest, SecondUserNeitherStartsNorStops) {
  const auto first = Client();
  const auto second = Client();
  first->StartHook(&users);
  host.events.clear();
  EXPECT_EQ(second->StartHook(&users), kSOk);
  EXPECT_EQ(users, 2);
  EXPECT_EQ(second->StopHook(&users), kSOk);
  EXPECT_EQ(users, 1);
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(host.NowMilliseconds(), 0u);
}

TEST_F(HookSessionTest, LastUserStopsAfterTenPausesOf300Milliseconds) {
  const auto client = Client();
  client->StartHook(&users);
  host.events.clear();
  EXPECT_EQ(client->StopHook(&users), kSOk);
  EXPECT_EQ(users, 0);
  EXPECT_EQ(host.events, Concat({kGrace, {"Wait", "Stop", "Release"}}));
  EXPECT_EQ(host.NowMilliseconds(), 3000u);
}

TEST_F(HookSessionTest, UserArrivingWithinTheGracePeriod_KeepsTheHook) {
  const auto leaving = Client();
  const auto arriving = Client();
  leaving->StartHook(&users);
  std::int32_t theirs = 0;
  host.At(1200, [&] { arriving->StartHook(&theirs); });  // as a free-threaded caller would
  host.events.clear();
  EXPECT_EQ(leaving->StopHook(&users), kSOk);
  EXPECT_EQ(users, 1);
  EXPECT_EQ(theirs, 1);
  EXPECT_EQ(host.Count("Stop"), 0);
  EXPECT_EQ(host.Count("Start"), 1);  // the arrival found 1 and started the hook anew
  EXPECT_EQ(host.NowMilliseconds(), 1200u);
}

TEST_F(HookSessionTest, UserArrivingAfterTheLastPause_IsSeenByTheFinalRead) {
  const auto leaving = Client();
  leaving->StartHook(&users);
  host.At(3000, [&] { ++count; });
  EXPECT_EQ(leaving->StopHook(&users), kSOk);
  EXPECT_EQ(users, 1);
  EXPECT_EQ(host.Count("Stop"), 0);
}

TEST_F(HookSessionTest, SurplusStop_RunsTheGracePeriodAndStopsAnyway) {
  const auto client = Client();
  EXPECT_EQ(client->StopHook(&users), kSOk);
  EXPECT_EQ(users, -1);
  EXPECT_EQ(host.events, Concat({kGrace, {"Wait", "Stop", "Release"}}));
  host.events.clear();
  EXPECT_EQ(client->StartHook(&users), kSOk);
  EXPECT_EQ(users, 0);
  EXPECT_TRUE(host.events.empty());  // 0 is not the first user: no Start
}

TEST_F(HookSessionTest, FailedStart_KeepsTheCountRaisedAndIsNotRetried) {
  const auto first = Client();
  host.startAnswer = 0;
  users = 77;
  EXPECT_EQ(first->StartHook(&users), kEFail);
  EXPECT_EQ(users, 77);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(first->StartHook(&users), kSOk);
  EXPECT_EQ(users, 2);
  EXPECT_EQ(host.Count("Start"), 1);
  first->StopHook(&users);
  EXPECT_EQ(first->StopHook(&users), kSOk);  // stops a hook that never started
  EXPECT_EQ(host.Count("Stop"), 1);
}

TEST_F(HookSessionTest, FailedStop_LeavesTheCountLoweredAndTheNextFirstUserStartsAgain) {
  const auto client = Client();
  client->StartHook(&users);
  host.stopAnswer = false;
  users = 55;
  EXPECT_EQ(client->StopHook(&users), kEFail);
  EXPECT_EQ(users, 55);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(client->StartHook(&users), kSOk);
  EXPECT_EQ(host.Count("Start"), 2);
}

TEST_F(HookSessionTest, NullPointer_ChangesNothing) {
  const auto client = Client();
  EXPECT_EQ(client->StartHook(nullptr), kEInvalidArg);
  EXPECT_EQ(client->StopHook(nullptr), kEInvalidArg);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(host.events.empty());
}

TEST_F(HookSessionTest, Open_FailsWithTheLastErrorAsHresult_NeverWithSuccess) {
  host.mutexes.clear();
  HookSession missing(host, HookProcessState{count, host});
  EXPECT_EQ(missing.Open(), static_cast<std::int32_t>(0x80070002));  // ERROR_FILE_NOT_FOUND
  host.openError = 0;  // a failure that leaves no reason
  HookSession silent(host, HookProcessState{count, host});
  EXPECT_EQ(silent.Open(), kEFail);
  host.openError = 0x8007000E;  // already an HRESULT
  HookSession hresult(host, HookProcessState{count, host});
  EXPECT_EQ(hresult.Open(), static_cast<std::int32_t>(0x8007000E));
}

TEST_F(HookSessionTest, DestructionClosesItsHandleAndLeavesCountAndHook) {
  auto client = Client();
  client->StartHook(&users);
  EXPECT_EQ(host.OpenHandles(), 1u);
  client.reset();
  EXPECT_EQ(host.OpenHandles(), 0u);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(host.Count("Stop"), 0);
}

}  // namespace
}  // namespace ejectra::helper
