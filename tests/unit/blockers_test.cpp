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
using testing::Drive;

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
  bool Remove(PullcoreRemoval& removal) {
    removal.Size = sizeof removal;
    world.calls.On("CM_Request_Device_EjectW", 0, [this] { asked = world.clock.Now(); });
    return RemoveHardwareDriveExW(os, Drive(u'E'), &removal);
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
  removal.Size = sizeof removal - 1;
  for (PullcoreRemoval* report : {static_cast<PullcoreRemoval*>(nullptr), &removal}) {
    world.lastError = 0;
    EXPECT_FALSE(RemoveHardwareDriveExW(os, Drive(u'E'), report));
    EXPECT_EQ(world.lastError, kErrorInvalidParameter);
  }
  EXPECT_TRUE(world.calls.Log().empty());
  EXPECT_EQ(removal.Size, sizeof removal - 1);
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

// Matched by the veto name, letters A-Z folded; older than 2 s before the
// request, about another device, or a process already named: left out.
TEST_F(RemovalReasonsTest, Events_MatchedByVetoNameRecentDistinctAtMostEight) {
  world.clock.Advance(10'000);
  Node(stick.volume).holders = {{1, OnC(u"\\a.exe")}};
  std::u16string folded = stick.volumeId;
  for (char16_t& c : folded) c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  Log(7'999, 2, u"too old", stick.volumeId);
  Log(8'000, 3, OnC(u"\\b.exe"), folded);
  Log(8'100, 4, u"other", Id(system.volume));
  for (std::uint32_t id = 10; id < 20; ++id) Log(9'000 + id, id, OnC(u"\\many.exe"), stick.volumeId);
  Log(9'500, 3, OnC(u"\\b-again.exe"), stick.volumeId);
  PullcoreRemoval removal{};
  EXPECT_FALSE(Remove(removal));
  const auto blockers = Blockers(removal);
  ASSERT_EQ(blockers.size(), 8u);
  EXPECT_EQ(blockers[0].first, 1u);  // the refusal's own, at 10 000 ms
  EXPECT_EQ(blockers[1], (std::pair<std::uint32_t, std::u16string>{3, u"C:\\b-again.exe"}));
  EXPECT_EQ(blockers[2].first, 19u);
  EXPECT_EQ(blockers[7].first, 14u);
}

TEST_F(RemovalReasonsTest, EmptyVetoName_MatchedByTheParentsOrTheDevicesId) {
  world.clock.Advance(5'000);
  Node(stick.usbDevice).ejectAnswer = kCrRemoveVetoed;  // a veto without a name
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
  SimMachine machine(world);
  machine.State().dosDevices[u"C:"] = {u"\\Device\\HarddiskVolume3"};
  machine.State().dosDevices[u"Z:"] = {u"\\Device\\LanmanRedirector\\;Z:0000\\server\\share"};
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
