// RemoveHardwareDriveExW on a simulated machine: the veto, and the processes
// the System log names as holding the device.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/blockers.h"
#include "core/pullcore.h"
#include "platform/sim/machine_builder.h"
#include "platform/sim/utf.h"
#include "tests/support/sim_fixture.h"

namespace ejectra::core {
namespace {

using namespace platform;
using namespace platform::sim;
using testing::DriveNumber;

class RemovalReasonsTest : public testing::SimTest {
 protected:
  RemovalReasonsTest() {
    system = builder.AddFixedDisk(u'C', u"SSD");
    stick = builder.AddUsbStick(u'E', u"Stick");
    Use(builder);
  }
  SimDevice& Node(DevInst handle) { return *machine.State().Device(handle); }
  std::u16string Id(DevInst handle) { return Node(handle).instanceId; }
  std::u16string OnC(std::u16string_view rest) { return system.objectName + std::u16string(rest); }
  // Logs an event 225 at `at` ms of the world's clock.
  void Log(std::uint64_t at, std::uint32_t processId, std::u16string image, std::u16string instance) {
    SimEvent event{u"Microsoft-Windows-Kernel-PnP", 225, at, {}, {}};
    event.texts[u"ProcessName"] = std::move(image);
    event.texts[u"DeviceInstance"] = std::move(instance);
    event.numbers[u"ProcessId"] = processId;
    world.systemLog.push_back(event);
  }
  // An event 225 logged `offset` ms from the eject request (before it when
  // negative), in the order given.
  struct AroundTheRequest {
    std::int64_t offset;
    std::uint32_t processId;
    std::u16string image, instance;
  };
  void LogAroundTheRequest(std::vector<AroundTheRequest> events) {
    world.calls.On("CM_Request_Device_EjectW", 0, [this, events] {
      for (const AroundTheRequest& e : events) {
        Log(static_cast<std::uint64_t>(static_cast<std::int64_t>(world.clock.Now()) + e.offset),
            e.processId, e.image, e.instance);
      }
    });
  }
  bool Remove(PullcoreRemoval& removal) {
    removal.Size = sizeof removal;
    world.calls.On("CM_Request_Device_EjectW", 0, [this] { asked = world.clock.Now(); });
    return RemoveHardwareDriveExW(os, DriveNumber(u'E'), &removal);
  }
  // The pauses after the eject request (the search before it has its own).
  std::vector<std::string> PausesAfterTheRequest() const {
    std::vector<std::string> pauses;
    bool after = false;
    for (const SimCall& call : world.calls.Log()) {
      after = after || call.name == "CM_Request_Device_EjectW";
      if (after && call.name == "Sleep") pauses.push_back(call.detail);
    }
    return pauses;
  }
  static std::vector<std::pair<std::uint32_t, std::u16string>> Blockers(const PullcoreRemoval& r) {
    std::vector<std::pair<std::uint32_t, std::u16string>> list;
    for (std::uint32_t i = 0; i < r.BlockerCount; ++i) list.emplace_back(r.Blockers[i].ProcessId, r.Blockers[i].ImagePath);
    return list;
  }

  UsbStorage system, stick;
  std::uint64_t asked = 0;  // the world's clock at the eject request
};

TEST_F(RemovalReasonsTest, Accepted_TrueWithTheReportCleared) {
  PullcoreRemoval removal;
  std::memset(&removal, 0xCC, sizeof removal);
  EXPECT_TRUE(Remove(removal));
  EXPECT_EQ(removal.VetoType, 0u);
  EXPECT_EQ(removal.VetoName[0], u'\0');
  EXPECT_EQ(removal.BlockerCount, 0u);
  EXPECT_EQ(testing::Ejected(world), std::vector<DevInst>{stick.usbDevice});
  EXPECT_EQ(world.calls.Count("EvtQuery"), 0u);  // the log is read for refusals only
}

TEST_F(RemovalReasonsTest, NoReportOrWrongSize_InvalidParameterAndNothingAsked) {
  PullcoreRemoval removal{};
  for (const std::uint32_t size : {0u, std::uint32_t{sizeof removal - 1}, std::uint32_t{sizeof removal + 1}}) {
    removal.Size = size;
    for (PullcoreRemoval* report : {static_cast<PullcoreRemoval*>(nullptr), &removal}) {
      world.lastError = 0;
      EXPECT_FALSE(RemoveHardwareDriveExW(os, DriveNumber(u'E'), report));
      EXPECT_EQ(world.lastError, kErrorInvalidParameter);
    }
    EXPECT_EQ(removal.Size, size);
  }
  EXPECT_TRUE(world.calls.Log().empty());
}

// The held volume's events come 300 ms after the refusal: the third look,
// 400 ms on, finds them; newest first, each path with its drive letter.
TEST_F(RemovalReasonsTest, HeldVolume_VetoAndItsHoldersNewestFirst) {
  Node(stick.volume).holders = {{4242, OnC(u"\\Tools\\notes.exe")}, {5120, OnC(u"\\Windows\\explorer.exe")}};
  Node(stick.volume).eventDelay = 300;
  PullcoreRemoval removal{};
  EXPECT_FALSE(Remove(removal));
  EXPECT_EQ(removal.VetoType, 5u);
  EXPECT_EQ(std::u16string(removal.VetoName), stick.volumeId);
  EXPECT_EQ(Blockers(removal), (std::vector<std::pair<std::uint32_t, std::u16string>>{
                                   {5120, u"C:\\Windows\\explorer.exe"}, {4242, u"C:\\Tools\\notes.exe"}}));
  EXPECT_EQ(PausesAfterTheRequest(), (std::vector<std::string>{"200", "200"}));
  EXPECT_EQ(world.calls.Count("EvtQuery"), 3u);
  EXPECT_EQ(world.calls.Count("CM_Request_Device_EjectW"), 1u);
}

TEST_F(RemovalReasonsTest, NoEventEver_FiveLooks200MsApart) {
  Node(stick.usbDevice).ejectAnswer = kCrRemoveVetoed;
  PullcoreRemoval removal{};
  EXPECT_FALSE(Remove(removal));
  EXPECT_EQ(removal.VetoType, 1u);
  EXPECT_EQ(removal.BlockerCount, 0u);
  EXPECT_EQ(PausesAfterTheRequest(), (std::vector<std::string>(4, "200")));
  EXPECT_EQ(world.calls.Count("EvtQuery"), 5u);
  EXPECT_EQ(world.clock.Now() - asked, 800u);
}

// Windows logs the node whose eject was asked: the removable parent. The
// device found and the veto name count too, letters A-Z folded; an event
// from 2 s before the request on counts, one a millisecond older does not;
// another device's, or a process ID that is no number (as a number or as a
// text of digits), do not; a process is named once, by its newest event.
TEST_F(RemovalReasonsTest, Events_MatchedByParentDeviceOrVetoNameWithinTheWindow) {
  world.clock.Advance(10'000);
  Node(stick.volume).holders = {{9, OnC(u"\\held.exe")}};  // logged at the request, for the parent
  std::u16string folded = Id(stick.usbDevice);
  for (char16_t& c : folded) c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  LogAroundTheRequest({{-2001, 1, u"too-old.exe", Id(stick.usbDevice)},
                       {-2000, 2, u"edge.exe", Id(stick.usbDevice)},
                       {-1500, 3, u"other.exe", Id(system.volume)},
                       {-1000, 4, u"folded.exe", folded},
                       {-800, 6, u"disk.exe", Id(stick.disk)},
                       {-700, 7, u"veto.exe", stick.volumeId},
                       {-600, 6, u"disk-again.exe", Id(stick.usbDevice)}});
  world.calls.On("CM_Request_Device_EjectW", 0, [this] {  // process IDs rendered as texts
    for (const auto& [at, id] : {std::pair{900u, u"5x"}, {850u, u"4294967296"}, {500u, u"12"}}) {
      SimEvent event{u"Microsoft-Windows-Kernel-PnP", 225, world.clock.Now() - at, {}, {}};
      event.texts = {{u"ProcessId", id}, {u"ProcessName", u"text.exe"}, {u"DeviceInstance", Id(stick.usbDevice)}};
      world.systemLog.push_back(event);
    }
  });
  PullcoreRemoval removal{};
  EXPECT_FALSE(Remove(removal));
  EXPECT_EQ(Blockers(removal), (std::vector<std::pair<std::uint32_t, std::u16string>>{
                                   {9, u"C:\\held.exe"}, {12, u"text.exe"}, {6, u"disk-again.exe"}, {7, u"veto.exe"},
                                   {4, u"folded.exe"}, {2, u"edge.exe"}}));
}

// Newest first, reading ends at the first event too old: the twenty older
// ones are never rendered. Eight processes at most, the newest.
TEST_F(RemovalReasonsTest, Events_ReadingEndsAtTheFirstTooOldAndKeepsEight) {
  world.clock.Advance(60'000);
  Node(stick.usbDevice).ejectAnswer = kCrRemoveVetoed;
  std::vector<AroundTheRequest> events;
  for (std::uint32_t id = 100; id < 120; ++id) events.push_back({std::int64_t{id} - 30'000, id, u"old.exe", Id(stick.usbDevice)});
  for (std::uint32_t id = 1; id <= 3; ++id) events.push_back({std::int64_t{id} - 100, id, u"new.exe", Id(stick.usbDevice)});
  LogAroundTheRequest(events);
  PullcoreRemoval removal{};
  EXPECT_FALSE(Remove(removal));
  EXPECT_EQ(removal.BlockerCount, 3u);
  EXPECT_EQ(world.calls.Count("EvtRender"), 4u);

  world.systemLog.clear();
  events.clear();
  for (std::uint32_t id = 1; id <= 10; ++id) events.push_back({std::int64_t{id} - 100, id, u"many.exe", Id(stick.usbDevice)});
  LogAroundTheRequest(events);
  EXPECT_FALSE(Remove(removal));
  ASSERT_EQ(removal.BlockerCount, 8u);
  EXPECT_EQ(removal.Blockers[0].ProcessId, 10u);
  EXPECT_EQ(removal.Blockers[7].ProcessId, 3u);
}

// Given the veto outputs, Windows may answer CR_SUCCESS to a request it
// vetoed: the drive is still there, and the report says why.
TEST_F(RemovalReasonsTest, SuccessWithAVeto_IsARefusalWithItsHolders) {
  Node(stick.usbDevice).vetoWithSuccess = true;
  Node(stick.volume).holders = {{4242, OnC(u"\\Tools\\notes.exe")}};
  PullcoreRemoval removal{};
  EXPECT_FALSE(Remove(removal));
  EXPECT_EQ(removal.VetoType, kPnpVetoOutstandingOpen);
  EXPECT_EQ(std::u16string(removal.VetoName), stick.volumeId);
  EXPECT_EQ(Blockers(removal), (std::vector<std::pair<std::uint32_t, std::u16string>>{
                                   {4242, u"C:\\Tools\\notes.exe"}}));
  EXPECT_TRUE(Node(stick.usbDevice).present);
}

// The log is waited for a bounded time; only the end of the results ends
// the reading quietly. A time-out or any other failure leaves it unread.
TEST_F(RemovalReasonsTest, EvtNextFailing_LogUnreadNoBlockersNoMoreLooks) {
  for (const ErrorCode error : {ErrorCode{1460} /* ERROR_TIMEOUT */, kErrorInvalidHandle}) {
    SCOPED_TRACE(error);
    world.calls.Clear();
    world.systemLog.clear();
    Node(stick.volume).holders = {{1, OnC(u"\\a.exe")}};
    world.calls.Fail("EvtNext", error);
    PullcoreRemoval removal{};
    EXPECT_FALSE(Remove(removal));
    EXPECT_EQ(removal.VetoType, kPnpVetoOutstandingOpen);
    EXPECT_EQ(removal.BlockerCount, 0u);
    EXPECT_EQ(world.calls.Details("EvtNext"), std::vector<std::string>{"timeout 1000"});
    EXPECT_TRUE(PausesAfterTheRequest().empty());
  }
}

TEST_F(RemovalReasonsTest, VetoNamingTheParent_MatchedByTheParentsOrTheDevicesId) {
  world.clock.Advance(5'000);
  Node(stick.usbDevice).ejectAnswer = kCrRemoveVetoed;  // vetoed in the parent's own name
  Log(4'000, 7, u"parent.exe", Id(stick.usbDevice));
  Log(4'100, 8, u"disk.exe", Id(stick.disk));
  Log(4'200, 9, u"volume.exe", stick.volumeId);
  PullcoreRemoval removal{};
  EXPECT_FALSE(Remove(removal));
  EXPECT_EQ(Blockers(removal), (std::vector<std::pair<std::uint32_t, std::u16string>>{
                                   {8, u"disk.exe"}, {7, u"parent.exe"}}));
}

TEST_F(RemovalReasonsTest, LogCannotBeRead_NoBlockersAndNoMoreLooks) {
  Node(stick.volume).holders = {{1, OnC(u"\\a.exe")}};
  world.systemLogReadable = false;
  PullcoreRemoval removal{};
  EXPECT_FALSE(Remove(removal));
  EXPECT_EQ(removal.VetoType, 5u);
  EXPECT_EQ(removal.BlockerCount, 0u);
  EXPECT_EQ(world.calls.Count("EvtQuery"), 1u);
  EXPECT_TRUE(PausesAfterTheRequest().empty());
}

TEST_F(RemovalReasonsTest, LongTexts_CutAt259Characters) {
  SimDevice held;  // a node of the stick's, held open
  held.instanceId = std::u16string(300, u'n');
  held.parent = stick.usbDevice;
  held.holders = {{1, OnC(u"\\" + std::u16string(300, u'p'))}};
  machine.State().devices.push_back(held);
  PullcoreRemoval removal{};
  EXPECT_FALSE(Remove(removal));
  EXPECT_EQ(std::u16string(removal.VetoName), std::u16string(259, u'n'));

  machine.State().devices.back().instanceId = u"USB\\HELD";
  EXPECT_FALSE(Remove(removal));
  ASSERT_EQ(removal.BlockerCount, 1u);
  EXPECT_EQ(std::u16string(removal.Blockers[0].ImagePath), u"C:\\" + std::u16string(256, u'p'));
}

TEST(DrivePathOf, MapsTheDeviceOfALetterAndNothingElse) {
  SimWorld world;
  SimCoreServices machine(world);
  machine.State().dosDevices[u"C:"] = {u"\\Device\\HarddiskVolume3"};
  machine.State().dosDevices[u"Z:"] = {u"\\Device\\LanmanRedirector\\;Z:0000\\server\\share"};
  machine.State().dosDevices[u"Q:"] = {u""};  // a letter without a target names no path
  const struct {
    std::u16string logged, expected;
  } cases[] = {
      {u"\\Device\\HarddiskVolume3\\Windows\\explorer.exe", u"C:\\Windows\\explorer.exe"},
      {u"\\device\\harddiskvolume3\\x.exe", u"C:\\x.exe"},
      {u"\\Device\\HarddiskVolume30\\x.exe", u"\\Device\\HarddiskVolume30\\x.exe"},  // not C:'s
      {u"\\Device\\HarddiskVolume7\\x.exe", u"\\Device\\HarddiskVolume7\\x.exe"},    // no letter
      {u"System", u"System"},
  };
  for (const auto& c : cases) EXPECT_EQ(DrivePathOf(machine, c.logged), c.expected) << Utf16ToUtf8(c.logged);
}

}  // namespace
}  // namespace ejectra::core
