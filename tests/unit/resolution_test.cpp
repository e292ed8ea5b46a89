#include <gtest/gtest.h>

#include "core/resolution.h"
#include "tests/support/sim_fixture.h"

namespace ejectra::core {
namespace {

using namespace platform;
using namespace platform::sim;
using testing::DriveOf;
using testing::SimTest;

class ResolveByDeviceObjectTest : public SimTest {
 protected:
  DeviceNode Resolve(char16_t letter, bool expected = true) {
    DeviceNode found;
    EXPECT_EQ(ResolveByDeviceObject(os, DriveOf(letter), found), expected);
    return found;
  }
};

TEST_F(ResolveByDeviceObjectTest, FindsTheDiskWhoseRemovalRelationsNameTheVolumeFirst) {
  builder.AddUsbStick(u'D', u"Other");
  const UsbStorage stick = builder.AddUsbStick(u'E', u"Stick");
  Use(builder);
  EXPECT_EQ(Resolve(u'E').Handle(), stick.disk);
}

TEST_F(ResolveByDeviceObjectTest, ComparesOnlyTheFirstDosTarget) {
  const UsbStorage stick = builder.AddUsbStick(u'E', u"Stick");
  builder.DosDevice(u"F:", {u"\\Device\\Nothing", stick.objectName});
  builder.DosDevice(u"G:", {stick.objectName, u"\\Device\\Nothing"});
  Use(builder);
  Resolve(u'F', false);
  EXPECT_EQ(Resolve(u'G').Handle(), stick.disk);
}

TEST_F(ResolveByDeviceObjectTest, DosTargetTooLongForItsBuffer_Fails) {
  builder.DosDevice(u"E:", {std::u16string(1023, u'x')});  // 1023 + 2 NULs > 1024
  Use(builder);
  Resolve(u'E', false);
  EXPECT_EQ(world.calls.Count("SetupDiGetClassDevsW"), 0u);
}

// Same object name three times: the unreadable one is passed over, the next wins.
TEST_F(ResolveByDeviceObjectTest, SameObjectName_FirstVolumeWithReadableIdWins) {
  const DevInst broken = builder.Device(u"STORAGE\\VOLUME\\BROKEN", builder.VolumeManager())
                             .PhysicalObjectName(u"\\Device\\HarddiskVolume1")
                             .UnreadableId()
                             .Interface(kGuidDevInterfaceVolume, u"\\\\?\\broken");
  builder.Device(u"STORAGE\\VOLUME\\SECOND", builder.VolumeManager())
      .PhysicalObjectName(u"\\DEVICE\\HARDDISKVOLUME1")
      .Interface(kGuidDevInterfaceVolume, u"\\\\?\\second");
  builder.Device(u"STORAGE\\VOLUME\\THIRD", builder.VolumeManager())
      .PhysicalObjectName(u"\\Device\\HarddiskVolume1")
      .Interface(kGuidDevInterfaceVolume, u"\\\\?\\third");
  Use(builder);
  ASSERT_NE(broken, 0u);
  std::u16string id;
  ASSERT_TRUE(FindVolumeId(os, u"\\Device\\HarddiskVolume1", id));
  EXPECT_EQ(id, u"STORAGE\\VOLUME\\SECOND");
}

TEST_F(ResolveByDeviceObjectTest, NoVolumeMatches_NoDiskIsExaminedAndNothingPauses) {
  builder.AddUsbStick(u'E', u"Stick");
  builder.DosDevice(u"F:", {u"\\Device\\LanmanRedirector\\;F:0\\server\\share"});
  Use(builder);
  Resolve(u'F', false);
  EXPECT_TRUE(world.calls.Details("Sleep").empty());
  EXPECT_EQ(world.calls.Count("CM_Get_Device_ID_ListW"), 0u);
}

TEST_F(ResolveByDeviceObjectTest, PausesTenMillisecondsBeforeEveryDiskExamined) {
  builder.AddFixedDisk(u'C', u"SSD");
  builder.AddUsbStick(u'D', u"One");
  builder.AddUsbStick(u'E', u"Two");
  builder.AddUsbStick(u'F', u"Three");
  Use(builder);
  Resolve(u'E');
  EXPECT_EQ(world.calls.Details("Sleep"), (std::vector<std::string>{"10", "10", "10"}));
  EXPECT_EQ(world.clock.Now(), 30u);
}

TEST_F(ResolveByDeviceObjectTest, RemovalListNamingTheVolumeSecond_FallsBackToBusRelationsFirstEntry) {
  const UsbStorage stick = builder.AddUsbStick(u'E', u"Stick");
  builder.Get(stick.disk).RemovalRelations({u"OTHER\\VOLUME", stick.volumeId});
  Use(builder);
  Resolve(u'E', false);

  builder.Get(stick.disk).BusRelations({stick.volumeId, u"OTHER\\VOLUME"});
  Use(builder);
  EXPECT_EQ(Resolve(u'E').Handle(), stick.disk);

  builder.Get(stick.disk).BusRelations({u"OTHER\\VOLUME", stick.volumeId});
  Use(builder);
  Resolve(u'E', false);
}

TEST_F(ResolveByDeviceObjectTest, FirstRelationEntry_MatchesTheVolumeIdWithLettersAToZFolded) {
  const UsbStorage stick = builder.AddUsbStick(u'E', u"Stick");
  std::u16string lower = stick.volumeId;
  for (char16_t& c : lower) c = platform::FoldAsciiCase(c);
  ASSERT_NE(lower, stick.volumeId);
  builder.Get(stick.disk).RemovalRelations({lower});
  Use(builder);
  EXPECT_EQ(Resolve(u'E').Handle(), stick.disk);
}

TEST_F(ResolveByDeviceObjectTest, DiskWhoseIdOrRelationsCannotBeRead_IsPassedOver) {
  const UsbStorage first = builder.AddUsbStick(u'E', u"First");
  const UsbStorage second = builder.AddUsbStick(u'F', u"Second");
  builder.Get(second.disk).RemovalRelations({first.volumeId});
  builder.Get(first.disk).UnreadableId();
  Use(builder);
  EXPECT_EQ(Resolve(u'E').Handle(), second.disk);

  Use(builder);
  world.calls.Fail("CM_Get_Device_ID_ListW", kCrFailure, 0, 2);
  Resolve(u'E', false);  // the second disk's lists both fail
}

TEST_F(ResolveByDeviceObjectTest, SetsThatCannotBeOpenedOrListed_Fail) {
  builder.AddUsbStick(u'E', u"Stick");
  Use(builder);
  world.calls.Fail("SetupDiGetClassDevsW", kErrorNotEnoughMemory, /*skip=*/1);
  Resolve(u'E', false);  // the disk set
  world.calls.Fail("SetupDiEnumDeviceInfo", kErrorGenFailure);
  Resolve(u'E', false);  // the volume list
}

class ReadMountLinkTest : public SimTest {
 protected:
  std::u16string Read(char16_t letter, bool expected = true) {
    Use(builder);
    std::u16string link = u"untouched";
    EXPECT_EQ(ReadMountLink(os, DriveOf(letter), link), expected);
    return link;
  }
};

TEST_F(ReadMountLinkTest, TurnsTheRecordIntoAnInterfacePath) {
  builder.MountRecord(u'E', u"\\??\\STORAGE#Volume#1");
  EXPECT_EQ(Read(u'E'), u"\\\\?\\STORAGE#Volume#1");
}

TEST_F(ReadMountLinkTest, RejectsRecordsThatAreNotATextInTheRightForm) {
  builder.MountRecordData(u'E', kRegSz, EncodeUtf16le(u"\\??\\STORAGE#Volume#1", true));
  Read(u'E', false);
  builder.MountRecordData(u'E', kRegBinary, {0x4C, 0x9A, 0x11, 0x5E, 0x00, 0x7E, 0, 0, 0, 0, 0, 0});
  Read(u'E', false);  // a fixed disk's signature and offset
  builder.MountRecord(u'E', u"\\??");
  Read(u'E', false);
  builder.MountRecord(u'E', u"\\\\?\\STORAGE");
  Read(u'E', false);
  builder.MountRecordData(u'E', kRegBinary, {});
  Read(u'E', false);
  Read(u'Q', false);  // no record at all
}

TEST_F(ReadMountLinkTest, ReadsOddLengthsAndUnterminatedDataWithinTheirBytes) {
  std::vector<std::uint8_t> odd = EncodeUtf16le(u"\\??\\AB", false);
  odd.push_back('C');  // half a unit: read as C with a zero high byte
  builder.MountRecordData(u'E', kRegBinary, odd);
  EXPECT_EQ(Read(u'E'), u"\\\\?\\ABC");
  std::vector<std::uint8_t> early = EncodeUtf16le(u"\\??\\AB", true);
  early.insert(early.end(), {'Z', 0});
  builder.MountRecordData(u'E', kRegBinary, early);
  EXPECT_EQ(Read(u'E'), u"\\\\?\\AB");
}

TEST_F(ReadMountLinkTest, AbsurdSize_Fails) {
  builder.MountRecordData(u'E', kRegBinary, EncodeUtf16le(u"\\??\\" + std::u16string(40000, u'x'), false));
  Read(u'E', false);
}

TEST_F(ReadMountLinkTest, RegistryFailures_FailAndCloseTheKey) {
  builder.MountRecord(u'E', u"\\??\\STORAGE#Volume#1");
  Use(builder);
  std::u16string link;
  world.calls.Fail("RegQueryValueExW", kErrorMoreData, /*skip=*/1);
  EXPECT_FALSE(ReadMountLink(os, DriveOf(u'E'), link));  // the value grew between the two reads
  world.calls.Fail("RegOpenKeyExW", 5 /* ERROR_ACCESS_DENIED */);
  EXPECT_FALSE(ReadMountLink(os, DriveOf(u'E'), link));
  EXPECT_EQ(world.calls.Count("RegCloseKey"), 1u);
}

TEST_F(ReadMountLinkTest, MissingKey_Fails) {
  builder.State().registry = platform::sim::RegistryTree();
  Read(u'E', false);
}

class ResolveByMountRecordTest : public SimTest {};

TEST_F(ResolveByMountRecordTest, FindsTheFirstOwnerOfTheVolumeInterface) {
  const UsbStorage stick = builder.AddUsbStick(u'E', u"Stick");
  const DevInst twin = builder.Device(u"STORAGE\\VOLUME\\TWIN", builder.VolumeManager())
                           .Interface(kGuidDevInterfaceVolume, stick.interfacePath);
  Use(builder);
  DeviceNode found;
  ASSERT_TRUE(ResolveByMountRecord(os, DriveOf(u'E'), found));
  EXPECT_EQ(found.Handle(), stick.volume);
  EXPECT_NE(twin, stick.volume);
}

TEST_F(ResolveByMountRecordTest, RecordOfOnlyThePrefix_MatchesNothing) {
  builder.AddUsbStick(u'E', u"Stick");
  builder.MountRecord(u'E', u"\\??\\");
  Use(builder);
  DeviceNode found;
  EXPECT_FALSE(ResolveByMountRecord(os, DriveOf(u'E'), found));
  EXPECT_TRUE(found.IsEmpty());
}

}  // namespace
}  // namespace ejectra::core
