#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "platform/types.h"
#include "tests/contract/contract_platform.h"

namespace ejectra::testing {
namespace {

using namespace platform;

constexpr ErrorCode kPoison = 0xDEADBEEF;
constexpr Guid kNoSuchClass = {0x7A3C9E51, 0x0D2B, 0x4E8F, {0x9A, 1, 2, 3, 4, 5, 6, 7}};
constexpr std::uint32_t kInterfaceSet = kDigcfPresent | kDigcfDeviceInterface;
constexpr std::uint32_t kAllInterfaces = kInterfaceSet | kDigcfAllClasses;

class PlatformContract : public ::testing::Test {
 protected:
  void SetUp() override { os_ = std::make_unique<CoreServices>(harness_->Services()); }
  void TearDown() override {
    for (const DevInfoHandle set : sets_) EXPECT_TRUE(os().devices.SetupDiDestroyDeviceInfoList(set));
  }

  CoreServices& os() { return *os_; }
  DevInfoHandle Open(const Guid* cls, std::uint32_t flags) {
    const DevInfoHandle set = os().devices.SetupDiGetClassDevsW(cls, os().shell.GetDesktopWindow(), flags);
    EXPECT_NE(set, kInvalidHandleValue);
    if (set != kInvalidHandleValue) sets_.push_back(set);
    return set;
  }
  void Poison() { os().kernel.SetLastError(kPoison); }
  ErrorCode LastError() { return os().kernel.GetLastError(); }

  // The first interface of any of a few common classes, if the machine has one.
  bool AnyInterface(DevInfoHandle set, SpDeviceInterfaceData& iface) {
    static constexpr Guid kCommonClasses[] = {
        kGuidDevInterfaceVolume,
        kGuidDevInterfaceDisk,
        {0x5B45201D, 0xF2F2, 0x4F3B, {0x85, 0xBB, 0x30, 0xFF, 0x1F, 0x95, 0x35, 0x99}},  // display adapter
        {0xE6F07B5F, 0xEE97, 0x4A90, {0xB0, 0x76, 0x33, 0xF5, 0x7B, 0xF4, 0xEA, 0xA7}},  // monitor
        {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}},  // HID
        {0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}},  // audio
    };
    for (const Guid& cls : kCommonClasses) {
      iface = SpDeviceInterfaceData{};
      iface.cbSize = sizeof iface;
      if (os().devices.SetupDiEnumDeviceInterfaces(set, nullptr, cls, 0, &iface)) return true;
    }
    return false;
  }

 private:
  std::unique_ptr<ContractHarness> harness_ = MakeContractHarness();
  std::unique_ptr<CoreServices> os_;
  std::vector<DevInfoHandle> sets_;
};

TEST_F(PlatformContract, EnumDeviceInfo_EmptySet_FailsAtOnceWithNoMoreItems) {
  const DevInfoHandle set = Open(&kNoSuchClass, kInterfaceSet);
  SpDevinfoData device{};
  device.cbSize = sizeof device;
  Poison();
  EXPECT_FALSE(os().devices.SetupDiEnumDeviceInfo(set, 0, &device));
  EXPECT_EQ(LastError(), kErrorNoMoreItems);
}

TEST_F(PlatformContract, EnumDeviceInfo_PastTheEnd_FailsWithNoMoreItems) {
  const DevInfoHandle set = Open(nullptr, kAllInterfaces);
  SpDevinfoData device{};
  device.cbSize = sizeof device;
  std::uint32_t index = 0;
  while (index < 100000 && os().devices.SetupDiEnumDeviceInfo(set, index, &device)) ++index;
  Poison();
  EXPECT_FALSE(os().devices.SetupDiEnumDeviceInfo(set, index, &device));
  EXPECT_EQ(LastError(), kErrorNoMoreItems);
}

TEST_F(PlatformContract, EnumDeviceInterfaces_PastTheEnd_FailsWithNoMoreItems) {
  const DevInfoHandle set = Open(nullptr, kAllInterfaces);
  SpDeviceInterfaceData iface{};
  iface.cbSize = sizeof iface;
  Poison();
  EXPECT_FALSE(os().devices.SetupDiEnumDeviceInterfaces(set, nullptr, kNoSuchClass, 0, &iface));
  EXPECT_EQ(LastError(), kErrorNoMoreItems);
}

TEST_F(PlatformContract, InterfaceDetail_WithoutBuffer_FailsAndReportsTheSize) {
  const DevInfoHandle set = Open(nullptr, kAllInterfaces);
  SpDeviceInterfaceData iface;
  if (!AnyInterface(set, iface)) GTEST_SKIP() << "this machine has no interface of a common class";
  SpDevinfoData device{};
  device.cbSize = sizeof device;
  std::uint32_t required = 0;
  Poison();
  EXPECT_FALSE(os().devices.SetupDiGetDeviceInterfaceDetailW(set, iface, nullptr, 0, &required, &device));
  EXPECT_EQ(LastError(), kErrorInsufficientBuffer);
  EXPECT_GT(required, kInterfaceDetailPathOffset + sizeof(char16_t));

  std::vector<unsigned char> detail(required + 2);
  const std::uint32_t header = kInterfaceDetailHeaderSize;
  std::memcpy(detail.data(), &header, sizeof header);
  SpDevinfoData owner{};
  owner.cbSize = sizeof owner;
  ASSERT_TRUE(os().devices.SetupDiGetDeviceInterfaceDetailW(set, iface, detail.data(), required, nullptr, &owner));
  EXPECT_EQ(owner.DevInst, device.DevInst);  // the probe names the owner too
  char16_t first;
  std::memcpy(&first, detail.data() + kInterfaceDetailPathOffset, sizeof first);
  EXPECT_EQ(first, u'\\');
}

TEST_F(PlatformContract, DeviceNodes_HaveIdsStatusAndParents) {
  const DevInfoHandle set = Open(nullptr, kAllInterfaces);
  SpDevinfoData device{};
  device.cbSize = sizeof device;
  if (!os().devices.SetupDiEnumDeviceInfo(set, 0, &device)) GTEST_SKIP() << "no device";
  std::array<char16_t, 201> id{};
  ASSERT_EQ(os().devices.CM_Get_Device_IDW(device.DevInst, id.data(), 200, 0), kCrSuccess);
  EXPECT_NE(id[0], u'\0');
  std::uint32_t status = 0, problem = 0;
  EXPECT_EQ(os().devices.CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0), kCrSuccess);
  DevInst parent = 0;
  const ConfigRet answer = os().devices.CM_Get_Parent(&parent, device.DevInst, 0);
  if (answer != kCrSuccess) GTEST_SKIP() << "this platform keeps no device tree (Wine)";
  EXPECT_NE(parent, 0u);
}

TEST_F(PlatformContract, QueryDosDevice_UnknownName_Fails) {
  std::array<char16_t, 64> targets{};
  Poison();
  EXPECT_EQ(os().kernel.QueryDosDeviceW(u"Q:", targets.data(), 64), 0u);
  EXPECT_EQ(LastError(), kErrorFileNotFound);
}

TEST_F(PlatformContract, QueryDosDevice_KnownName_ListsTargetsEndingInTwoNuls) {
  std::array<char16_t, 1024> targets;
  targets.fill(u'#');
  const std::uint32_t stored = os().kernel.QueryDosDeviceW(u"C:", targets.data(), 1024);
  ASSERT_GE(stored, 3u);
  EXPECT_NE(targets[0], u'\0');
  EXPECT_EQ(targets[stored - 1], u'\0');
  EXPECT_EQ(targets[stored - 2], u'\0');
}

TEST_F(PlatformContract, Registry_MissingKey_FailsWithFileNotFound) {
  RegKey key = 0;
  EXPECT_EQ(os().registry.RegOpenKeyExW(kHkeyLocalMachine, u"SYSTEM\\NoSuchKey\\Ejectra", 0, kKeyRead, &key),
            static_cast<std::int32_t>(kErrorFileNotFound));
}

TEST_F(PlatformContract, Registry_SizeProbeThenShortBufferThenRead) {
  RegKey key = 0;
  ASSERT_EQ(os().registry.RegOpenKeyExW(kHkeyLocalMachine, u"SYSTEM\\MountedDevices", 0, kKeyRead, &key), 0);
  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(os().registry.RegQueryValueExW(key, u"\\DosDevices\\C:", &type, nullptr, &size), 0);
  EXPECT_EQ(type, kRegBinary);
  ASSERT_GT(size, 1u);
  std::vector<unsigned char> data(size);
  std::uint32_t shortSize = size - 1;
  EXPECT_EQ(os().registry.RegQueryValueExW(key, u"\\DosDevices\\C:", &type, data.data(), &shortSize),
            static_cast<std::int32_t>(kErrorMoreData));
  std::uint32_t fullSize = size;
  EXPECT_EQ(os().registry.RegQueryValueExW(key, u"\\DosDevices\\C:", &type, data.data(), &fullSize), 0);
  EXPECT_EQ(fullSize, size);
  EXPECT_EQ(os().registry.RegQueryValueExW(key, u"\\DosDevices\\Q:", &type, nullptr, &size),
            static_cast<std::int32_t>(kErrorFileNotFound));
  EXPECT_EQ(os().registry.RegCloseKey(key), 0);
}

TEST_F(PlatformContract, StrCpyN_CopiesAtMostCapacityLessOneAndTerminates) {
  std::array<char16_t, 8> target;
  target.fill(u'#');
  os().shell.StrCpyNW(target.data(), u"abcdef", 4);
  EXPECT_EQ(std::u16string(target.data()), u"abc");
  EXPECT_EQ(target[4], u'#');
  os().shell.StrCpyNW(target.data(), u"xy", 8);
  EXPECT_EQ(std::u16string(target.data()), u"xy");
}

}  // namespace
}  // namespace ejectra::testing
