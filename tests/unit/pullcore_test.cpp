#include <gtest/gtest.h>

#include <array>

#include "core/pullcore.h"
#include "core/removable_device.h"
#include "tests/support/sim_fixture.h"

namespace ejectra::core {
namespace {

using namespace platform;
using namespace platform::sim;
using testing::DriveNumber;
using testing::DriveOf;
using testing::Ejected;
using testing::SimTest;

constexpr ErrorCode kPoison = 0xDEADBEEF;

class PullcoreTest : public SimTest {
 protected:
  void SetUp() override {
    stick = builder.AddUsbStick(u'E', u"SanDisk Cruzer Blade USB Device");
    Use(builder);
  }
  UsbStorage stick;
};

TEST_F(PullcoreTest, DriveNumbersOutsideAToZ_AnswerFalseBeforeAnyPlatformCall) {
  for (const int drive : {0, 27, -1, 91, 0x7FFFFFFF, -0x7FFFFFFF - 1}) {
    std::array<char16_t, 8> name{u'n'}, description{u'd'};
    EXPECT_FALSE(IsRemovableHardwareDrive(os, drive));
    EXPECT_FALSE(IsRemovableHardwareDriveExW(os, drive, name.data(), 8, description.data(), 8));
    EXPECT_FALSE(RemoveHardwareDrive(os, drive));
    EXPECT_EQ(name[0], u'n');
    EXPECT_EQ(description[0], u'd');
  }
  EXPECT_EQ(world.calls.Log(), std::vector<SimCall>{});
}

TEST_F(PullcoreTest, RemovableStick_IsFoundRemovedOnceAndThenGone) {
  EXPECT_TRUE(IsRemovableHardwareDrive(os, DriveNumber(u'E')));
  EXPECT_TRUE(Ejected(world).empty());
  EXPECT_TRUE(RemoveHardwareDrive(os, DriveNumber(u'E')));
  EXPECT_EQ(Ejected(world), std::vector<DevInst>{stick.usbDevice});
  EXPECT_FALSE(IsRemovableHardwareDrive(os, DriveNumber(u'E')));
  EXPECT_FALSE(RemoveHardwareDrive(os, DriveNumber(u'E')));
  EXPECT_EQ(Ejected(world).size(), 1u);
}

TEST_F(PullcoreTest, VetoedEject_AnswersFalseAfterExactlyOneRequest) {
  builder.Get(stick.usbDevice).EjectAnswer(kCrRemoveVetoed);
  Use(builder);
  EXPECT_FALSE(RemoveHardwareDrive(os, DriveNumber(u'E')));
  EXPECT_EQ(Ejected(world), std::vector<DevInst>{stick.usbDevice});
}

// The parent decides, one level up, by all three bits.
struct ParentCase {
  const char* name;
  std::uint32_t parentStatus;
  std::uint32_t diskStatus;
  std::uint32_t grandparentStatus;
  bool removable;
};

class ParentRuleTest : public SimTest, public ::testing::WithParamInterface<ParentCase> {};

TEST_P(ParentRuleTest, DecidesByTheDirectParentsStatusAlone) {
  const ParentCase& c = GetParam();
  const UsbStorage s = builder.AddUsbStick(u'E', u"Stick");
  builder.Get(s.usbDevice).Status(c.parentStatus);
  builder.Get(s.disk).Status(c.diskStatus);
  builder.Get(builder.UsbController()).Status(c.grandparentStatus);
  Use(builder);
  EXPECT_EQ(IsRemovableHardwareDrive(os, DriveNumber(u'E')), c.removable);
  EXPECT_EQ(RemoveHardwareDrive(os, DriveNumber(u'E')), c.removable);
  EXPECT_EQ(Ejected(world).size(), c.removable ? 1u : 0u);
  if (c.removable) {
    EXPECT_EQ(Ejected(world)[0], s.usbDevice);
  }
}

constexpr std::uint32_t kR = kDnRemovable, kD = kDnDisableable, kP = kDnHasProblem;
INSTANTIATE_TEST_SUITE_P(
    Status, ParentRuleTest,
    ::testing::Values(ParentCase{"RemovableDisableable", kR | kD, 0, 0, true},
                      ParentCase{"OtherBitsIgnored", 0xFFFFFFFF & ~kP, 0, 0, true},
                      ParentCase{"WithProblem", kR | kD | kP, 0, 0, false},
                      ParentCase{"NotDisableable", kR, 0, 0, false},
                      ParentCase{"NotRemovable", kD, 0, 0, false},
                      ParentCase{"OnlyTheFoundNodeRemovable", 0, kR | kD, 0, false},
                      ParentCase{"OnlyTheGrandparentRemovable", 0, 0, kR | kD, false}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(PullcoreTest, NodeWithoutParentOrUnreadableParentStatus_IsNotRemovable) {
  world.calls.Fail("CM_Get_Parent", kCrNoSuchDevNode);
  EXPECT_FALSE(IsRemovableHardwareDrive(os, DriveNumber(u'E')));
  world.calls.Fail("CM_Get_DevNode_Status", kCrNoSuchDevNode);
  EXPECT_FALSE(IsRemovableHardwareDrive(os, DriveNumber(u'E')));
  EXPECT_TRUE(IsRemovableHardwareDrive(os, DriveNumber(u'E')));
  EXPECT_TRUE(Ejected(world).empty());
}

TEST_F(PullcoreTest, DeviceObjectPathFailing_FallsBackToTheMountRecord) {
  // Media whose volume interface hangs below the disk itself, as older
  // systems expose removable media.
  const DevInst media = builder.Device(u"STORAGE\\REMOVABLEMEDIA\\7&1&0&RM", stick.disk)
                            .Interface(kGuidDevInterfaceVolume, u"\\\\?\\STORAGE#RemovableMedia#7&1&0&RM");
  builder.MountRecord(u'E', u"\\??\\storage#removablemedia#7&1&0&rm");
  builder.DosDevice(u"E:", {u"\\Device\\Harddisk1\\DP(1)0-0+7"});
  Use(builder);
  DeviceNode device, parent;
  ASSERT_TRUE(FindRemovableDevice(os, DriveOf(u'E'), device, parent));
  EXPECT_EQ(device.Handle(), media);
  EXPECT_EQ(parent.Handle(), stick.disk);
  EXPECT_EQ(world.calls.Count("RegOpenKeyExW"), 1u);
}

TEST_F(PullcoreTest, MountRecordOfAFixedVolume_IsNotRemovable) {
  builder.DosDevice(u"E:", {u"\\Device\\Elsewhere"});
  Use(builder);
  DeviceNode device(99), parent(98);
  // The record leads to the volume, whose parent is the volume manager.
  EXPECT_FALSE(FindRemovableDevice(os, DriveOf(u'E'), device, parent));
  EXPECT_EQ(device.Handle(), 99u);
  EXPECT_EQ(parent.Handle(), 98u);
}

TEST_F(PullcoreTest, DeviceObjectPathFound_MountRecordIsNeverRead) {
  builder.MountRecord(u'E', u"\\??\\somewhere else");
  Use(builder);
  EXPECT_TRUE(IsRemovableHardwareDrive(os, DriveNumber(u'E')));
  EXPECT_EQ(world.calls.Count("RegOpenKeyExW"), 0u);
}

TEST_F(PullcoreTest, OutOfMemoryInsideACall_AnswersFalse) {
  world.calls.Throw("CM_Get_DevNode_Registry_PropertyW");
  EXPECT_FALSE(IsRemovableHardwareDrive(os, DriveNumber(u'E')));
  world.calls.Throw("CM_Request_Device_EjectW");
  EXPECT_FALSE(RemoveHardwareDrive(os, DriveNumber(u'E')));
  std::array<char16_t, 64> name{}, description{};
  world.calls.Throw("CM_Get_DevNode_Status");
  EXPECT_FALSE(
      IsRemovableHardwareDriveExW(os, DriveNumber(u'E'), name.data(), 64, description.data(), 64));
  EXPECT_TRUE(
      IsRemovableHardwareDriveExW(os, DriveNumber(u'E'), name.data(), 64, description.data(), 64));
}

// The buffers of the extended query: name "Stick" (5 characters), description
// "USB 大容量記憶装置" (11 characters).
class ExtendedQueryTest : public SimTest {
 protected:
  void SetUp() override {
    stick = builder.AddUsbStick(u'E', u"Stick");
    Use(builder);
    name.fill(u'#');
    description.fill(u'#');
    world.kernel.SetLastError(kPoison);
  }
  bool Query(char16_t* n, int nc, char16_t* d, int dc) {
    return IsRemovableHardwareDriveExW(os, DriveNumber(u'E'), n, nc, d, dc);
  }
  std::u16string Name() const { return std::u16string(name.data()); }
  std::u16string Description() const { return std::u16string(description.data()); }
  bool Untouched(const std::array<char16_t, 32>& buffer) const {
    return std::all_of(buffer.begin(), buffer.end() - 1, [](char16_t c) { return c == u'#'; });
  }

  static constexpr std::u16string_view kDescription = u"USB 大容量記憶装置";
  UsbStorage stick;
  std::array<char16_t, 32> name, description;
};

TEST_F(ExtendedQueryTest, BothFit_WritesBothTexts) {
  name.back() = description.back() = u'\0';
  EXPECT_TRUE(Query(name.data(), 6, description.data(), 12));  // exact capacities
  EXPECT_EQ(Name(), u"Stick");
  EXPECT_EQ(Description(), kDescription);
  EXPECT_NE(world.kernel.GetLastError(), kErrorInsufficientBuffer);  // only the search set it
}

TEST_F(ExtendedQueryTest, NameOneShort_FailsWithoutWriting) {
  EXPECT_FALSE(Query(name.data(), 5, description.data(), 32));
  EXPECT_EQ(world.kernel.GetLastError(), kErrorInsufficientBuffer);
  EXPECT_TRUE(Untouched(name));
  EXPECT_TRUE(Untouched(description));
}

TEST_F(ExtendedQueryTest, NameFitsDescriptionDoesNot_WritesOnlyTheName) {
  EXPECT_FALSE(Query(name.data(), 32, description.data(), 11));
  EXPECT_EQ(world.kernel.GetLastError(), kErrorInsufficientBuffer);
  EXPECT_EQ(Name(), u"Stick");
  EXPECT_TRUE(Untouched(description));
}

TEST_F(ExtendedQueryTest, NegativeCapacity_AlwaysFails) {
  EXPECT_FALSE(Query(name.data(), -1, description.data(), 32));
  EXPECT_EQ(world.kernel.GetLastError(), kErrorInsufficientBuffer);
  world.kernel.SetLastError(kPoison);
  EXPECT_FALSE(Query(name.data(), 32, description.data(), -2147483647 - 1));
  EXPECT_EQ(world.kernel.GetLastError(), kErrorInsufficientBuffer);
}

TEST_F(ExtendedQueryTest, NullBuffers_AreSkippedOnlyWhenTheirCapacitySuffices) {
  EXPECT_FALSE(Query(nullptr, 0, nullptr, 0));  // even an empty name needs one character
  EXPECT_EQ(world.kernel.GetLastError(), kErrorInsufficientBuffer);
  description.back() = u'\0';
  EXPECT_TRUE(Query(nullptr, 256, description.data(), 256));
  EXPECT_EQ(Description(), kDescription);
  name.back() = u'\0';
  EXPECT_TRUE(Query(name.data(), 256, nullptr, 256));
  EXPECT_EQ(Name(), u"Stick");
}

TEST_F(ExtendedQueryTest, UnreadableTexts_AreEmpty) {
  builder.State().devices[stick.disk - 1].properties.erase(kCmDrpFriendlyName);
  builder.Get(stick.usbDevice).Description(std::u16string(2048, u'x'));  // too long to read
  Use(builder);
  EXPECT_TRUE(Query(name.data(), 1, description.data(), 1));
  EXPECT_EQ(name[0], u'\0');
  EXPECT_EQ(description[0], u'\0');
  EXPECT_EQ(name[1], u'#');
}

TEST_F(ExtendedQueryTest, NotRemovable_WritesNothingAndLeavesTheLastErrorAlone) {
  builder.Get(stick.usbDevice).Status(kFixedStatus);
  Use(builder);
  world.kernel.SetLastError(kPoison);
  EXPECT_FALSE(Query(name.data(), 0, description.data(), 0));
  EXPECT_NE(world.kernel.GetLastError(), kErrorInsufficientBuffer);
  EXPECT_TRUE(Untouched(name));
}

}  // namespace
}  // namespace ejectra::core
