#include <gtest/gtest.h>

#include "core/device_node.h"
#include "tests/support/sim_fixture.h"

namespace ejectra::core {
namespace {

using namespace platform;
using namespace platform::sim;
using testing::SimTest;

constexpr std::uint32_t kVolumeFlags = kDigcfPresent | kDigcfDeviceInterface;
constexpr Guid kNoSuchClass = {0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};

class DeviceInfoSetTest : public SimTest {
 protected:
  DeviceNodeList Volumes(bool expected = true) {
    DeviceInfoSet set(os);
    EXPECT_TRUE(set.Create(SimCoreServices::kDesktopWindow, kGuidDevInterfaceVolume, kVolumeFlags));
    DeviceNodeList list;
    EXPECT_EQ(set.EnumDevices(list), expected);
    return list;
  }
};

TEST_F(DeviceInfoSetTest, EnumDevices_EmptySet_SucceedsWithNoNodes) {
  DeviceInfoSet set(os);
  ASSERT_TRUE(set.Create(SimCoreServices::kDesktopWindow, kNoSuchClass, kVolumeFlags));
  DeviceNodeList list;
  EXPECT_TRUE(set.EnumDevices(list));
  EXPECT_TRUE(list.empty());
}

TEST_F(DeviceInfoSetTest, EnumDevices_ListsPresentMembersInOrder) {
  const UsbStorage first = builder.AddUsbStick(u'E', u"One");
  const UsbStorage gone = builder.AddUsbStick(u'F', u"Two");
  const UsbStorage third = builder.AddUsbStick(u'G', u"Three");
  builder.Get(gone.volume).NotPresent();
  Use(builder);
  EXPECT_EQ(Volumes(), (DeviceNodeList{DeviceNode(first.volume), DeviceNode(third.volume)}));
}

TEST_F(DeviceInfoSetTest, EnumDevices_FailureOtherThanNoMoreItems_Fails) {
  builder.AddUsbStick(u'E', u"One");
  builder.AddUsbStick(u'F', u"Two");
  Use(builder);
  world.calls.Fail("SetupDiEnumDeviceInfo", kErrorGenFailure, /*skip=*/1);
  EXPECT_EQ(Volumes(false).size(), 1u);  // what came before the failure stays
}

TEST_F(DeviceInfoSetTest, Create_Twice_ReleasesTheFirstSetBeforeOpeningTheSecond) {
  DeviceInfoSet set(os);
  ASSERT_TRUE(set.Create(SimCoreServices::kDesktopWindow, kGuidDevInterfaceDisk, kVolumeFlags));
  ASSERT_TRUE(set.Create(SimCoreServices::kDesktopWindow, kGuidDevInterfaceVolume, kVolumeFlags));
  EXPECT_EQ(world.calls.Sequence({"SetupDiGetClassDevsW", "SetupDiDestroyDeviceInfoList"}),
            (std::vector<std::string>{"SetupDiGetClassDevsW", "SetupDiDestroyDeviceInfoList",
                                      "SetupDiGetClassDevsW"}));
  EXPECT_EQ(machine.OpenSets(), 1u);
}

TEST_F(DeviceInfoSetTest, Create_Failing_LeavesTheHolderEmpty) {
  DeviceInfoSet set(os);
  ASSERT_TRUE(set.Create(SimCoreServices::kDesktopWindow, kGuidDevInterfaceDisk, kVolumeFlags));
  world.calls.Fail("SetupDiGetClassDevsW", kErrorNotEnoughMemory);
  EXPECT_FALSE(set.Create(SimCoreServices::kDesktopWindow, kGuidDevInterfaceVolume, kVolumeFlags));
  EXPECT_EQ(machine.OpenSets(), 0u);
  set.Destroy();  // safe on an empty holder
  EXPECT_EQ(world.calls.Count("SetupDiDestroyDeviceInfoList"), 1u);
}

class FindInterfaceDevicesTest : public SimTest {
 protected:
  bool Find(std::u16string_view path, DeviceNodeList& list) {
    DeviceInfoSet set(os);
    EXPECT_TRUE(set.Create(SimCoreServices::kDesktopWindow, {},
                           kDigcfPresent | kDigcfAllClasses | kDigcfDeviceInterface));
    return set.FindInterfaceDevices(path, kGuidDevInterfaceVolume, list);
  }
};

TEST_F(FindInterfaceDevicesTest, CollectsEveryMatchIgnoringLetterCase) {
  const DevInst a = builder.Device(u"A", builder.Root()).Interface(kGuidDevInterfaceVolume, u"\\\\?\\Vol#X");
  builder.Device(u"B", builder.Root()).Interface(kGuidDevInterfaceVolume, u"\\\\?\\Vol#Y");
  builder.Device(u"C", builder.Root()).Interface(kGuidDevInterfaceDisk, u"\\\\?\\vol#x");
  const DevInst d = builder.Device(u"D", builder.Root()).Interface(kGuidDevInterfaceVolume, u"\\\\?\\VOL#x");
  Use(builder);
  DeviceNodeList list;
  EXPECT_TRUE(Find(u"\\\\?\\vol#x", list));
  EXPECT_EQ(list, (DeviceNodeList{DeviceNode(a), DeviceNode(d)}));
}

TEST_F(FindInterfaceDevicesTest, NoMatch_SucceedsWithEmptyList) {
  builder.AddUsbStick(u'E', u"Stick");
  Use(builder);
  DeviceNodeList list;
  EXPECT_TRUE(Find(u"\\\\?\\nothing", list));
  EXPECT_TRUE(list.empty());
}

TEST_F(FindInterfaceDevicesTest, PathsOfAnyLengthAreReadWhole) {
  const std::u16string longPath = u"\\\\?\\" + std::u16string(40000, u'x');
  const DevInst a = builder.Device(u"A", builder.Root()).Interface(kGuidDevInterfaceVolume, longPath);
  builder.Device(u"B", builder.Root()).Interface(kGuidDevInterfaceVolume, longPath + u"y");
  Use(builder);
  DeviceNodeList list;
  EXPECT_TRUE(Find(longPath, list));
  EXPECT_EQ(list, DeviceNodeList{DeviceNode(a)});
}

TEST_F(FindInterfaceDevicesTest, SizeProbeThatSucceeds_EndsTheScan) {
  builder.AddUsbStick(u'E', u"Stick");
  Use(builder);
  machine.SucceedDetailProbe();
  DeviceNodeList list;
  EXPECT_FALSE(Find(u"\\\\?\\anything", list));
}

TEST_F(FindInterfaceDevicesTest, DetailReadFailing_EndsTheScan) {
  const UsbStorage stick = builder.AddUsbStick(u'E', u"Stick");
  Use(builder);
  // The probe fails as expected; the read with the buffer fails too.
  world.calls.Fail("SetupDiGetDeviceInterfaceDetailW", kErrorGenFailure, 1);
  DeviceNodeList list;
  EXPECT_FALSE(Find(stick.interfacePath, list));
  EXPECT_TRUE(list.empty());
}

class DeviceNodeTest : public SimTest {};

TEST_F(DeviceNodeTest, GetProperty_OfAnyTypeIsTakenAsTextUpToTheFirstZeroUnit) {
  const DeviceNode node(builder.Device(u"N", builder.Root())
                            .Property(kCmDrpFriendlyName, kRegDword, {0x41, 0, 0, 0})
                            .Property(kCmDrpDeviceDesc, kRegDword, {0, 0, 0x41, 0}));
  Use(builder);
  std::u16string text = u"untouched";
  EXPECT_TRUE(node.GetProperty(machine, kCmDrpFriendlyName, text));
  EXPECT_EQ(text, u"A");
  EXPECT_TRUE(node.GetProperty(machine, kCmDrpDeviceDesc, text));
  EXPECT_EQ(text, u"");
}

TEST_F(DeviceNodeTest, GetProperty_FitsUpTo2047CharactersAndNoMore) {
  const DeviceNode fits(builder.Device(u"F", builder.Root()).FriendlyName(std::u16string(2047, u'x')));
  const DeviceNode over(builder.Device(u"O", builder.Root()).FriendlyName(std::u16string(2048, u'x')));
  const DeviceNode unterminated(builder.Device(u"U", builder.Root())
                                    .Property(kCmDrpFriendlyName, kRegSz,
                                              std::vector<std::uint8_t>(4096, 'y')));
  Use(builder);
  std::u16string text;
  EXPECT_TRUE(fits.GetProperty(machine, kCmDrpFriendlyName, text));
  EXPECT_EQ(text.size(), 2047u);
  text = u"untouched";
  EXPECT_FALSE(over.GetProperty(machine, kCmDrpFriendlyName, text));
  EXPECT_EQ(text, u"untouched");
  // 4096 bytes with no NUL fill the buffer; the extra unit still ends the text.
  EXPECT_TRUE(unterminated.GetProperty(machine, kCmDrpFriendlyName, text));
  EXPECT_EQ(text, std::u16string(2048, u'\u7979'));
}

TEST_F(DeviceNodeTest, GetDeviceId_OfExactly200CharactersIsTerminatedByTheExtraUnit) {
  const std::u16string id(200, u'I');
  const DeviceNode node(builder.Device(id, builder.Root()));
  const DeviceNode tooLong(builder.Device(std::u16string(201, u'J'), builder.Root()));
  Use(builder);
  std::u16string text;
  EXPECT_TRUE(node.GetDeviceId(machine, text));
  EXPECT_EQ(text, id);
  EXPECT_FALSE(tooLong.GetDeviceId(machine, text));
}

TEST_F(DeviceNodeTest, FailedCallsLeaveOutputsUntouched) {
  const DeviceNode root(builder.Root());
  const DeviceNode unreadable(builder.Device(u"X", builder.Root()).UnreadableStatus());
  Use(builder);
  DeviceNode parent(77);
  std::uint32_t status = 5, problem = 6;
  EXPECT_FALSE(root.GetParent(machine, parent));
  EXPECT_EQ(parent.Handle(), 77u);
  EXPECT_FALSE(unreadable.GetStatus(machine, status, problem));
  EXPECT_EQ(status, 5u);
  EXPECT_EQ(problem, 6u);
}

}  // namespace
}  // namespace ejectra::core
