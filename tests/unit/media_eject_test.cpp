#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/pullcore.h"
#include "platform/calling_convention.h"
#include "platform/owners.h"
#include "platform/sim/machine_file.h"
#include "tests/support/sim_fixture.h"
#include "tests/support/sim_pullcore.h"

namespace ejectra::core {
namespace {

using namespace platform;
using namespace platform::sim;
using testing::DriveNumber;
using testing::SimTest;

const std::vector<std::string> kSequence = {
    "GetDriveTypeW(F:\\)", "CreateFileW(\\\\.\\F: 0xC0000000 share 3 creation 3 flags 0x00000000)",
    "DeviceIoControl(FSCTL_LOCK_VOLUME)", "DeviceIoControl(FSCTL_DISMOUNT_VOLUME)",
    "DeviceIoControl(IOCTL_STORAGE_MEDIA_REMOVAL 0)", "DeviceIoControl(IOCTL_STORAGE_EJECT_MEDIA)",
    "CloseHandle"};

// On the bundled sample machine: F: the card reader's SD slot with a card, G: its empty MS slot.
class MediaEjectTest : public SimTest {
 protected:
  void SetUp() override {
    std::stringstream text;
    text << std::ifstream(EJECTRA_SAMPLE_MACHINE, std::ios::binary).rdbuf();
    machine.State() = *ParseMachine(text.str());
  }
  void TearDown() override {
    EXPECT_EQ(world.kernelObjects.OpenHandles(), 0u) << "a volume was not closed";
    SimTest::TearDown();
  }
  std::vector<std::string> Calls() const {  // as logged, pauses left out
    std::vector<std::string> calls;
    for (const SimCall& call : world.calls.Log()) {
      if (call.name == "Sleep") continue;
      std::ostringstream text;
      text << call;
      calls.push_back(text.str());
    }
    return calls;
  }
  bool Medium(const char16_t* drive) const { return world.machine.volumes.at(drive).medium; }
};

TEST_F(MediaEjectTest, CardInF_EjectsTheMediumInOrderAndKeepsTheReader) {
  EXPECT_EQ(EjectDriveMedia(os, DriveNumber(u'F')), kMediaEjected);
  EXPECT_EQ(Calls(), kSequence);
  EXPECT_EQ(world.clock.Now(), 0u);
  EXPECT_FALSE(Medium(u"F:"));
  EXPECT_TRUE(Medium(u"E:"));
  EXPECT_FALSE(world.kernelObjects.LocksVolume(u"F:"));
  EXPECT_TRUE(world.machine.Device(world.machine.Find(u"USB\\VID_0BDA&PID_0158\\20120926571200000"))->present);
  EXPECT_TRUE(world.machine.dosDevices.contains(u"F:") && world.machine.dosDevices.contains(u"G:"));
}

// A step failing by plan ends the sequence there (the volume still closed);
// once dismounted, the medium is free to take out by hand.
struct FailedStep { const char* name; const char* call; std::uint32_t skip; std::size_t logged; int answer; };
class MediaStepTest : public MediaEjectTest, public ::testing::WithParamInterface<FailedStep> {};

TEST_P(MediaStepTest, StepFailing_StopsThereWithItsAnswer) {
  world.calls.Fail(GetParam().call, kErrorGenFailure, GetParam().skip);
  EXPECT_EQ(EjectDriveMedia(os, DriveNumber(u'F')), GetParam().answer);
  std::vector<std::string> expected(kSequence.begin(), kSequence.begin() + GetParam().logged);
  if (GetParam().logged > 2) expected.push_back("CloseHandle");
  EXPECT_EQ(Calls(), expected);
  EXPECT_EQ(world.clock.Now(), 0u);
  EXPECT_TRUE(Medium(u"F:"));
}

INSTANTIATE_TEST_SUITE_P(Steps, MediaStepTest,
                         ::testing::Values(FailedStep{"Open", "CreateFileW", 0, 2, kMediaFailed},
                                           FailedStep{"Lock", "DeviceIoControl", 0, 3, kMediaFailed},
                                           FailedStep{"Dismount", "DeviceIoControl", 1, 4, kMediaFailed},
                                           FailedStep{"AllowRemoval", "DeviceIoControl", 2, 5, kMediaDismounted},
                                           FailedStep{"Eject", "DeviceIoControl", 3, 6, kMediaDismounted}),
                         [](const auto& param) { return std::string(param.param.name); });

// Rights: an open kept to administrators, a lock or dismount refused for
// want of volume-management access; none of them is waited for. A file
// system that checks that access grants it to our open for data.
struct RightsCase {
  const char* name;
  bool elevated, adminOnly, checksVolumeAccess;
  std::uint32_t refusedControl;  // which DeviceIoControl fails (0: none)
  ErrorCode error;
  int answer;
  std::size_t controls;  // DeviceIoControl calls made
};
class MediaRightsTest : public MediaEjectTest, public ::testing::WithParamInterface<RightsCase> {};

TEST_P(MediaRightsTest, Rights_DecideTheAnswerAtOnce) {
  const RightsCase& c = GetParam();
  MachineState& state = machine.State();
  state.elevated = c.elevated;
  state.volumes[u"F:"].adminOnly = c.adminOnly;
  state.volumes[u"F:"].checksVolumeAccess = c.checksVolumeAccess;
  if (c.refusedControl) world.calls.Fail("DeviceIoControl", c.error, c.refusedControl - 1);
  EXPECT_EQ(EjectDriveMedia(os, DriveNumber(u'F')), c.answer);
  EXPECT_EQ(world.calls.Count("DeviceIoControl"), c.controls);
  EXPECT_EQ(world.clock.Now(), 0u);
  EXPECT_EQ(Medium(u"F:"), c.answer != kMediaEjected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MediaRightsTest,
    ::testing::Values(
        RightsCase{"OpenKeptToAdministrators", false, true, false, 0, 0, kMediaAccessDenied, 0},
        RightsCase{"LockInvalidParameter", false, false, false, 1, kErrorInvalidParameter, kMediaAccessDenied, 1},
        RightsCase{"DismountInvalidParameter", true, false, false, 2, kErrorInvalidParameter, kMediaAccessDenied, 2},
        RightsCase{"DismountAccessDenied", true, false, false, 2, kErrorAccessDenied, kMediaAccessDenied, 2},
        RightsCase{"NotElevatedOnAFileSystemThatChecks", false, false, true, 0, 0, kMediaEjected, 4},
        RightsCase{"ElevatedEverywhere", true, true, true, 0, 0, kMediaEjected, 4}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(MediaEjectTest, ReaderWithoutEject_DismountedAndSafeToTakeOut) {
  machine.State().volumes[u"F:"].ejectError = kErrorInvalidFunction;
  EXPECT_EQ(EjectDriveMedia(os, DriveNumber(u'F')), kMediaDismounted);
  EXPECT_EQ(Calls(), kSequence);
}

TEST_F(MediaEjectTest, DiscDrive_OpenedForReadingOnlyAndEjected) {
  machine.State().volumes[u"F:"].type = kDriveCdrom;
  EXPECT_EQ(EjectDriveMedia(os, DriveNumber(u'F')), kMediaEjected);
  EXPECT_EQ(world.calls.Details("CreateFileW"),
            std::vector<std::string>{"\\\\.\\F: 0x80000000 share 3 creation 3 flags 0x00000000"});
  EXPECT_FALSE(Medium(u"F:"));
}

TEST_F(MediaEjectTest, HeldVolume_TriesTheLockTenTimes100msApartThenAnswersInUse) {
  for (SimDevice& device : machine.State().devices) {  // F:'s volume, held by a viewer
    if (device.instanceId.find(u"PROD_SD#MMC") != std::u16string::npos) device.holders.push_back({77, u"v"});
  }
  EXPECT_EQ(EjectDriveMedia(os, DriveNumber(u'F')), kMediaInUse);
  EXPECT_EQ(world.calls.Count("DeviceIoControl"), 10u);
  EXPECT_EQ(world.calls.Details("Sleep"), std::vector<std::string>(9, "100"));
  EXPECT_EQ(world.clock.Now(), 900u);
  EXPECT_TRUE(Medium(u"F:"));
}

TEST_F(MediaEjectTest, LockHeldByAnotherOpen_AnswersInUseUntilThatOpenCloses) {
  UniqueFileHandle other(os.kernel, os.volumes.CreateFileW(u"\\\\.\\F:", kGenericRead, 3, kOpenExisting, 0));
  std::uint32_t returned = 0;
  ASSERT_TRUE(os.volumes.DeviceIoControl(other.get(), kFsctlLockVolume, nullptr, 0, nullptr, 0, &returned));
  EXPECT_EQ(EjectDriveMedia(os, DriveNumber(u'F')), kMediaInUse);
  other.reset();
  EXPECT_EQ(EjectDriveMedia(os, DriveNumber(u'F')), kMediaEjected);
}

class MediaLockRefusalTest : public MediaEjectTest, public ::testing::WithParamInterface<ErrorCode> {};

TEST_P(MediaLockRefusalTest, RefusedThreeTimesThenGranted_EjectsAfter300ms) {
  world.calls.Fail("DeviceIoControl", GetParam(), 0, 3);
  EXPECT_EQ(EjectDriveMedia(os, DriveNumber(u'F')), kMediaEjected);
  EXPECT_EQ(world.calls.Count("DeviceIoControl"), 7u);
  EXPECT_EQ(world.clock.Now(), 300u);
}

INSTANTIATE_TEST_SUITE_P(HeldByOthers, MediaLockRefusalTest,
                         ::testing::Values(kErrorAccessDenied, kErrorSharingViolation));

TEST_F(MediaEjectTest, EmptySlotG_AnswersFailedAtOnce) {
  EXPECT_EQ(EjectDriveMedia(os, DriveNumber(u'G')), kMediaFailed);
  EXPECT_EQ(world.calls.Count("DeviceIoControl"), 1u);
  EXPECT_EQ(world.clock.Now(), 0u);
}

TEST_F(MediaEjectTest, ThrowingPlatform_AnswersFailedAndClosesTheVolume) {
  world.calls.Throw("DeviceIoControl", 1);
  EXPECT_EQ(EjectDriveMedia(os, DriveNumber(u'F')), kMediaFailed);
  EXPECT_EQ(world.calls.Count("CloseHandle"), 1u);
}

TEST_F(MediaEjectTest, DriveNumbersOutsideAToZ_AnswerNotRemovableBeforeAnyPlatformCall) {
  for (const int drive : {0, 27, -1}) EXPECT_EQ(EjectDriveMedia(os, drive), kMediaNotRemovable);
  EXPECT_EQ(world.calls.Log(), std::vector<SimCall>{});
}

TEST_F(MediaEjectTest, SimulatedLibrary_ExportsEjectDriveMediaAndLogsItsCall) {
  SimLibrary library = ejectra::testing::SimPullcoreLibrary(machine);
  library.attach(true);
  EXPECT_EQ(reinterpret_cast<int(EJECTRA_WINAPI*)(int)>(library.exports.at("EjectDriveMedia"))(6), kMediaEjected);
  library.attach(false);
  EXPECT_EQ(ejectra::testing::PullcoreCalls(world), std::vector<std::string>{"EjectDriveMedia 6"});
}

// By the drive's type alone: removable and CD-ROM drives are tried, others not.
class MediaDriveTypeTest : public SimTest, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(MediaDriveTypeTest, DriveType_DecidesWhetherTheMediumIsTried) {
  builder.AddUsbStick(u'E', u"Stick");
  Use(builder.Volume(u'E', GetParam()));
  const bool tried = GetParam() == kDriveRemovable || GetParam() == kDriveCdrom;
  EXPECT_EQ(EjectDriveMedia(os, DriveNumber(u'E')), tried ? kMediaEjected : kMediaNotRemovable);
  EXPECT_EQ(world.calls.Log().size(), tried ? 7u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Types, MediaDriveTypeTest, ::testing::Range(kDriveUnknown, kDriveRamdisk + 1));

}  // namespace
}  // namespace ejectra::core
