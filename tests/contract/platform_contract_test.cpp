#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/owners.h"
#include "platform/text.h"
#include "platform/types.h"
#include "tests/contract/contract_platform.h"

namespace ejectra::testing {
namespace {

using namespace platform;

constexpr ErrorCode kPoison = 0xDEADBEEF;
constexpr Guid kNoSuchClass = {0x7A3C9E51, 0x0D2B, 0x4E8F, {0x9A, 1, 2, 3, 4, 5, 6, 7}};
constexpr std::uint32_t kInterfaceSet = kDigcfPresent | kDigcfDeviceInterface;
constexpr std::uint32_t kAllInterfaces = kInterfaceSet | kDigcfAllClasses;

// A GUID nobody has used: random, new for each call.
Guid UniqueGuid() {
  std::random_device random;
  std::uint32_t words[4];
  for (std::uint32_t& word : words) word = random();
  Guid guid;
  static_assert(sizeof guid == sizeof words);
  std::memcpy(&guid, words, sizeof guid);
  return guid;
}

// A registry key or object name no other program uses: the machine's
// registry and object names are shared with everything that runs on it.
std::u16string UniqueName() { return u"EjectraContract" + FormatGuid(UniqueGuid()); }

// Each test reaches the platform through a harness of its own.
class ContractTest : public ::testing::Test {
 protected:
  ContractHarness& harness() { return *harness_; }

 private:
  std::unique_ptr<ContractHarness> harness_ = MakeContractHarness();
};

// --- The core's services -----------------------------------------------------

class PlatformContract : public ContractTest {
 protected:
  void SetUp() override { os_ = std::make_unique<CoreServices>(harness().Services()); }
  void TearDown() override {
    for (const DevInfoHandle set : sets_) EXPECT_TRUE(os().devices.SetupDiDestroyDeviceInfoList(set));
  }

  CoreServices& os() { return *os_; }
  DevInfoHandle Open(const Guid* cls, std::uint32_t flags) {
    const DevInfoHandle set = os().devices.SetupDiGetClassDevsW(cls, os().desktop.GetDesktopWindow(), flags);
    EXPECT_NE(set, kInvalidHandleValue);
    if (set != kInvalidHandleValue) sets_.push_back(set);
    return set;
  }
  void Poison() { os().kernel.SetLastError(kPoison); }
  // The first device of all classes, whose instance ID must read; false
  // when the platform lists none.
  bool FirstDevice(SpDevinfoData& device, std::array<char16_t, 201>& id) {
    const DevInfoHandle set = Open(nullptr, kAllInterfaces);
    device = SpDevinfoData{};
    device.cbSize = sizeof device;
    if (!os().devices.SetupDiEnumDeviceInfo(set, 0, &device)) return false;
    EXPECT_EQ(os().devices.CM_Get_Device_IDW(device.DevInst, id.data(), 200, 0), kCrSuccess);
    EXPECT_NE(id[0], u'\0');
    return true;
  }
  UniqueFileHandle OpenVolume(const char16_t* name) {
    return UniqueFileHandle(os().kernel, os().volumes.CreateFileW(name, 0, kFileShareRead | kFileShareWrite,
                                                                  kOpenExisting, 0));
  }
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
  SpDevinfoData device;
  std::array<char16_t, 201> id{};
  if (!FirstDevice(device, id)) GTEST_SKIP() << "no device";
  std::uint32_t status = 0, problem = 0;
  EXPECT_EQ(os().devices.CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0), kCrSuccess);
  DevInst parent = 0;
  const ConfigRet answer = os().devices.CM_Get_Parent(&parent, device.DevInst, 0);
  if (answer != kCrSuccess) GTEST_SKIP() << "this platform keeps no device tree (Wine)";
  EXPECT_NE(parent, 0u);
}

// The configuration manager on what is not there. Wine 8 keeps no device
// tree and answers several of these calls from stubs: CM_Get_Device_ID_ListW
// succeeds with an empty list for any filter, CM_Get_DevNode_Registry_PropertyW
// answers CR_FAILURE, CM_Request_Device_EjectW CR_SUCCESS, and a made-up node
// is CR_NO_SUCH_DEVNODE where Windows says CR_INVALID_DEVNODE. So a buffer too
// small cannot be met there, and these cases hold what both do.
constexpr DevInst kMadeUpNode = 0x7FFFFFF0;  // Wine numbers its nodes from 0
constexpr char16_t kMissingDeviceId[] = u"ROOT\\EJECTRA_NO_SUCH_DEVICE\\0000";

TEST_F(PlatformContract, DeviceIdList_RemovalRelationsOfAPresentDevice_EndInAnEmptyString) {
  SpDevinfoData device;
  std::array<char16_t, 201> id{};
  if (!FirstDevice(device, id)) GTEST_SKIP() << "no device";
  std::array<char16_t, 4096> list;
  list.fill(u'#');
  ASSERT_EQ(os().devices.CM_Get_Device_ID_ListW(id.data(), list.data(), list.size(),
                                               kCmGetIdListFilterRemovalRelations),
            kCrSuccess);
  std::size_t at = 0;
  while (at < list.size() && list[at] != u'\0') at += std::u16string_view(list.data() + at).size() + 1;
  EXPECT_LT(at, list.size());  // an empty string ends the list inside the buffer
}

TEST_F(PlatformContract, DeviceIdList_MissingDevice_ListsNothing) {
  std::array<char16_t, 64> list;
  list.fill(u'#');
  const ConfigRet answer = os().devices.CM_Get_Device_ID_ListW(
      kMissingDeviceId, list.data(), list.size(), kCmGetIdListFilterRemovalRelations);
  // Windows refuses the ID; Wine 8 succeeds with an empty list.
  if (answer == kCrSuccess) {
    EXPECT_EQ(list[0], u'\0');
  }
}

TEST_F(PlatformContract, RegistryProperty_MadeUpNode_FailsAndLeavesBufferAndLengthAlone) {
  std::array<char16_t, 16> buffer;
  buffer.fill(u'#');
  std::uint32_t type = 0, length = sizeof buffer;  // Wine 8 clears the type
  EXPECT_NE(os().devices.CM_Get_DevNode_Registry_PropertyW(kMadeUpNode, kCmDrpDeviceDesc, &type,
                                                           buffer.data(), &length, 0),
            kCrSuccess);
  EXPECT_EQ(length, sizeof buffer);
  EXPECT_EQ(buffer[0], u'#');
}

TEST_F(PlatformContract, Parent_MadeUpNode_FailsAndLeavesTheParentAlone) {
  DevInst parent = 77;
  EXPECT_NE(os().devices.CM_Get_Parent(&parent, kMadeUpNode, 0), kCrSuccess);
  EXPECT_EQ(parent, 77u);
}

TEST_F(PlatformContract, RequestEject_MadeUpNode_LeavesTheVetoNameAlone) {
  // Windows answers CR_INVALID_DEVNODE, Wine 8 CR_SUCCESS with the veto type
  // cleared: neither the answer nor the type is held.
  std::uint32_t vetoType = 0;
  std::array<char16_t, 260> vetoName;
  vetoName.fill(u'#');
  os().devices.CM_Request_Device_EjectW(kMadeUpNode, &vetoType, vetoName.data(), vetoName.size(), 0);
  EXPECT_EQ(vetoName[0], u'#');
}

// Windows answers ERROR_EVT_CHANNEL_NOT_FOUND, Wine 8 no handle for every
// query with the last error 0: only the missing handle is held.
TEST_F(PlatformContract, EventLog_QueryOfAChannelNobodyMade_GivesNoHandle) {
  const std::u16string channel = UniqueName();
  const EventHandle results =
      os().events.EvtQuery(channel.c_str(), u"*", kEvtQueryChannelPath | kEvtQueryReverseDirection);
  EXPECT_EQ(results, 0u);
  if (results) os().events.EvtClose(results);
}

// FILETIME: 100 ns since 1601; any clock of ours is past 2020-01-01.
TEST_F(PlatformContract, SystemTime_IsAFileTimeOfNow) {
  constexpr std::uint64_t k2020 = 132223104000000000;
  const std::uint64_t first = os().kernel.GetSystemTimeAsFileTime();
  EXPECT_GT(first, k2020);
  EXPECT_GE(os().kernel.GetSystemTimeAsFileTime(), first);
}

TEST_F(PlatformContract, QueryDosDevice_UnknownName_Fails) {
  std::array<char16_t, 64> targets{};
  Poison();
  EXPECT_EQ(os().dosDevices.QueryDosDeviceW(u"Q:", targets.data(), 64), 0u);
  EXPECT_EQ(LastError(), kErrorFileNotFound);
}

TEST_F(PlatformContract, QueryDosDevice_KnownName_ListsTargetsEndingInTwoNuls) {
  std::array<char16_t, 1024> targets;
  targets.fill(u'#');
  const std::uint32_t stored = os().dosDevices.QueryDosDeviceW(u"C:", targets.data(), 1024);
  ASSERT_GE(stored, 3u);
  EXPECT_NE(targets[0], u'\0');
  EXPECT_EQ(targets[stored - 1], u'\0');
  EXPECT_EQ(targets[stored - 2], u'\0');
}

// Drive types and volumes, on what every machine has: the system drive C:,
// opened for no access (which needs no administrator), and no drive Q:.
// Locking and dismounting are left to the simulation: Wine 8 grants every
// lock, even through a closed handle, and dismounts nothing (ERROR_NOT_SUPPORTED),
// and on Windows they would take the system drive away.
TEST_F(PlatformContract, DriveType_SystemDrive_IsFixed) {
  EXPECT_EQ(os().volumes.GetDriveTypeW(u"C:\\"), kDriveFixed);
}

TEST_F(PlatformContract, DriveType_LetterWithoutDrive_HasNoRootDirectory) {
  EXPECT_EQ(os().volumes.GetDriveTypeW(u"Q:\\"), kDriveNoRootDir);
}

TEST_F(PlatformContract, OpenVolume_SystemDriveSharedForReadAndWrite_GivesAHandle) {
  const UniqueFileHandle volume = OpenVolume(u"\\\\.\\C:");
  EXPECT_TRUE(volume) << LastError();
}

TEST_F(PlatformContract, OpenVolume_LetterWithoutDrive_FailsWithFileNotFound) {
  Poison();
  EXPECT_FALSE(OpenVolume(u"\\\\.\\Q:"));
  EXPECT_EQ(LastError(), kErrorFileNotFound);
}

// The storage requests need read access: asked through an open for none,
// they are refused before the drive sees them.
TEST_F(PlatformContract, StorageRequests_VolumeOpenedForNoAccess_FailWithAccessDenied) {
  const UniqueFileHandle volume = OpenVolume(u"\\\\.\\C:");
  ASSERT_TRUE(volume);
  const std::uint8_t allowRemoval = 0;
  std::uint32_t returned = 0;
  Poison();
  EXPECT_FALSE(os().volumes.DeviceIoControl(volume.get(), kIoctlStorageMediaRemoval, &allowRemoval, 1,
                                            nullptr, 0, &returned));
  EXPECT_EQ(LastError(), kErrorAccessDenied);
  Poison();
  EXPECT_FALSE(os().volumes.DeviceIoControl(volume.get(), kIoctlStorageEjectMedia, nullptr, 0, nullptr, 0,
                                            &returned));
  EXPECT_EQ(LastError(), kErrorAccessDenied);
}

TEST_F(PlatformContract, Registry_MissingKey_FailsWithFileNotFound) {
  RegKey key = 0;
  EXPECT_EQ(os().registry.RegOpenKeyExW(kHkeyLocalMachine, u"SYSTEM\\NoSuchKey\\Ejectra", 0, kKeyRead, &key),
            static_cast<std::int32_t>(kErrorFileNotFound));
}

TEST_F(PlatformContract, Registry_SizeProbeThenShortBufferThenRead) {
  UniqueRegKey key(os().registry);
  ASSERT_EQ(os().registry.RegOpenKeyExW(kHkeyLocalMachine, u"SYSTEM\\MountedDevices", 0, kKeyRead, key.put()), 0);
  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(os().registry.RegQueryValueExW(key.get(), u"\\DosDevices\\C:", &type, nullptr, &size), 0);
  EXPECT_EQ(type, kRegBinary);
  ASSERT_GT(size, 1u);
  std::vector<unsigned char> data(size);
  std::uint32_t shortSize = size - 1;
  EXPECT_EQ(os().registry.RegQueryValueExW(key.get(), u"\\DosDevices\\C:", &type, data.data(), &shortSize),
            static_cast<std::int32_t>(kErrorMoreData));
  std::uint32_t fullSize = size;
  EXPECT_EQ(os().registry.RegQueryValueExW(key.get(), u"\\DosDevices\\C:", &type, data.data(), &fullSize), 0);
  EXPECT_EQ(fullSize, size);
  EXPECT_EQ(os().registry.RegQueryValueExW(key.get(), u"\\DosDevices\\Q:", &type, nullptr, &size),
            static_cast<std::int32_t>(kErrorFileNotFound));
}

TEST_F(PlatformContract, StrCpyN_CopiesAtMostCapacityLessOneAndTerminates) {
  std::array<char16_t, 8> target;
  target.fill(u'#');
  os().strings.StrCpyNW(target.data(), u"abcdef", 4);
  EXPECT_EQ(std::u16string(target.data()), u"abc");
  EXPECT_EQ(target[4], u'#');
  os().strings.StrCpyNW(target.data(), u"xy", 8);
  EXPECT_EQ(std::u16string(target.data()), u"xy");
}

TEST_F(ContractTest, Bundles_ShareOneKernelBase) {
  KernelBase& kernel = harness().Services().kernel;
  EXPECT_EQ(&harness().Process().kernel, &kernel);
  EXPECT_EQ(&harness().Synchronization().kernel, &kernel);
}

// --- The registry: writes, deletes, enumeration and the two views -----------

constexpr auto kFileNotFound = static_cast<std::int32_t>(kErrorFileNotFound);

// A test's keys live below HKLM\SOFTWARE\<name_> in either view and at
// HKCR\CLSID\<classId_> in the 32-bit view; they go when the test ends,
// whether it passed or not.
class RegistryContract : public ContractTest {
 protected:
  void TearDown() override {
    Remove(kHkeyLocalMachine, u"SOFTWARE", name_, kKeyWow64_64Key);
    Remove(kHkeyLocalMachine, u"SOFTWARE", name_, kKeyWow64_32Key);
    Remove(kHkeyClassesRoot, u"CLSID", classId_, kKeyWow64_32Key);
  }

  Registry& registry() { return harness().Registry(); }

  // Whether `path` below `parent` opens for reading; `access` may name a view.
  bool Exists(RegKey parent, const std::u16string& path, std::uint32_t access = 0) {
    UniqueRegKey key(registry());
    return registry().RegOpenKeyExW(parent, path.c_str(), 0, kKeyRead | access, key.put()) == 0;
  }
  UniqueRegKey Create(RegKey parent, const std::u16string& path, std::uint32_t access = 0) {
    UniqueRegKey key(registry());
    const std::int32_t status =
        registry().RegCreateKeyExW(parent, path.c_str(), kKeyAllAccess | access, key.put());
    EXPECT_EQ(status, 0) << ::testing::PrintToString(path);
    return key;
  }
  UniqueRegKey Software(std::uint32_t view) {
    UniqueRegKey key(registry());
    const std::uint32_t access = kKeyAllAccess | view;
    EXPECT_EQ(registry().RegOpenKeyExW(kHkeyLocalMachine, u"SOFTWARE", 0, access, key.put()), 0);
    return key;
  }
  // SOFTWARE\<name_> in the 32-bit view. Below a handle of that view both a
  // 32-bit and a 64-bit program stay in it without naming it again; below one
  // of the 64-bit view a 32-bit program would have to name the view on every
  // call, which RegDeleteKeyW cannot.
  UniqueRegKey Scratch() { return Create(Software(kKeyWow64_32Key).get(), name_); }

  std::int32_t SetText(RegKey key, const char16_t* name, std::u16string_view text) {
    const auto size = static_cast<std::uint32_t>((text.size() + 1) * sizeof(char16_t));
    return registry().RegSetValueExW(key, name, kRegSz, std::u16string(text).c_str(), size);
  }
  // The names RegEnumKeyExW gives for the indexes 0, 1, ..., and the status
  // that ended them.
  std::vector<std::u16string> Subkeys(RegKey key, std::int32_t* end = nullptr) {
    std::vector<std::u16string> names;
    std::u16string name;
    std::uint32_t index = 0;
    std::int32_t status;
    while ((status = registry().RegEnumKeyExW(key, index++, name)) == 0) names.push_back(name);
    if (end) *end = status;
    return names;
  }
  // The REG_SZ value `name` of `key`; empty when it cannot be read.
  std::u16string Text(RegKey key, const char16_t* name) {
    std::array<char16_t, 64> text{};
    std::uint32_t size = sizeof text - sizeof(char16_t);  // the last unit stays NUL
    if (registry().RegQueryValueExW(key, name, nullptr, text.data(), &size) != 0) return {};
    return text.data();
  }

  const std::u16string name_ = UniqueName();
  const std::u16string classId_ = FormatGuid(UniqueGuid());

 private:
  // `name` below `root`\`parent` in `view`, with everything below it.
  void Remove(RegKey root, const char16_t* parent, const std::u16string& name, std::uint32_t view) {
    UniqueRegKey key(registry());
    if (registry().RegOpenKeyExW(root, parent, 0, kKeyAllAccess | view, key.put()) == 0) {
      RemoveTree(key.get(), name, view);
    }
  }
  void RemoveTree(RegKey parent, const std::u16string& name, std::uint32_t view) {
    {
      UniqueRegKey key(registry());
      const std::int32_t opened =
          registry().RegOpenKeyExW(parent, name.c_str(), 0, kKeyAllAccess | view, key.put());
      if (opened != 0) return;
      for (const std::u16string& child : Subkeys(key.get())) RemoveTree(key.get(), child, view);
    }
    EXPECT_EQ(harness().DeleteKeyInView(parent, name.c_str(), view), 0)
        << "left behind: " << ::testing::PrintToString(name);
  }
};

TEST_F(RegistryContract, CreateKey_In32BitView_LivesBelowWow6432NodeOfThe64BitView) {
  Create(kHkeyLocalMachine, u"SOFTWARE\\" + name_, kKeyWow64_32Key);
  EXPECT_TRUE(Exists(kHkeyLocalMachine, u"SOFTWARE\\" + name_, kKeyWow64_32Key));
  EXPECT_TRUE(Exists(kHkeyLocalMachine, u"SOFTWARE\\WOW6432Node\\" + name_, kKeyWow64_64Key));
  EXPECT_FALSE(Exists(kHkeyLocalMachine, u"SOFTWARE\\" + name_, kKeyWow64_64Key));
}

TEST_F(RegistryContract, CreateKey_In64BitView_IsUnseenByThe32BitView) {
  Create(kHkeyLocalMachine, u"SOFTWARE\\" + name_, kKeyWow64_64Key);
  EXPECT_TRUE(Exists(kHkeyLocalMachine, u"SOFTWARE\\" + name_, kKeyWow64_64Key));
  EXPECT_FALSE(Exists(kHkeyLocalMachine, u"SOFTWARE\\" + name_, kKeyWow64_32Key));
  EXPECT_FALSE(Exists(kHkeyLocalMachine, u"SOFTWARE\\WOW6432Node\\" + name_, kKeyWow64_64Key));
}

TEST_F(RegistryContract, CreateKey_BelowSoftwareOpenedIn32BitView_StaysInThatView) {
  const UniqueRegKey software = Software(kKeyWow64_32Key);
  const UniqueRegKey key = Create(software.get(), name_);
  Create(key.get(), u"Child");
  EXPECT_TRUE(Exists(software.get(), name_ + u"\\Child"));
  EXPECT_TRUE(
      Exists(kHkeyLocalMachine, u"SOFTWARE\\WOW6432Node\\" + name_ + u"\\Child", kKeyWow64_64Key));
  EXPECT_FALSE(Exists(kHkeyLocalMachine, u"SOFTWARE\\" + name_, kKeyWow64_64Key));

  EXPECT_EQ(registry().RegDeleteKeyW(key.get(), u"Child"), 0);
  EXPECT_FALSE(Exists(kHkeyLocalMachine, u"SOFTWARE\\" + name_ + u"\\Child", kKeyWow64_32Key));
  EXPECT_TRUE(Exists(kHkeyLocalMachine, u"SOFTWARE\\" + name_, kKeyWow64_32Key));
}

TEST_F(RegistryContract, CreateKey_ClassIdIn32BitView_LivesBelowWow6432NodeClsid) {
  Create(kHkeyClassesRoot, u"CLSID\\" + classId_, kKeyWow64_32Key);
  EXPECT_TRUE(Exists(kHkeyClassesRoot, u"CLSID\\" + classId_, kKeyWow64_32Key));
  EXPECT_TRUE(Exists(kHkeyClassesRoot, u"WOW6432Node\\CLSID\\" + classId_, kKeyWow64_64Key));
  EXPECT_FALSE(Exists(kHkeyClassesRoot, u"CLSID\\" + classId_, kKeyWow64_64Key));
}

TEST_F(RegistryContract, SetValue_Text_ReadsBackThroughSizeProbeShortBufferAndRead) {
  const UniqueRegKey key = Scratch();
  static constexpr char16_t kText[] = u"Ejectra";
  ASSERT_EQ(registry().RegSetValueExW(key.get(), u"Name", kRegSz, kText, sizeof kText), 0);

  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(registry().RegQueryValueExW(key.get(), u"Name", &type, nullptr, &size), 0);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, sizeof kText);  // the terminator as written
  std::array<char16_t, 16> text{};
  std::uint32_t shortSize = 4;
  EXPECT_EQ(registry().RegQueryValueExW(key.get(), u"Name", &type, text.data(), &shortSize),
            static_cast<std::int32_t>(kErrorMoreData));
  EXPECT_EQ(shortSize, sizeof kText);  // what it needs
  std::uint32_t fullSize = sizeof text;
  EXPECT_EQ(registry().RegQueryValueExW(key.get(), u"Name", &type, text.data(), &fullSize), 0);
  EXPECT_EQ(fullSize, sizeof kText);
  EXPECT_EQ(std::u16string(text.data()), kText);
}

TEST_F(RegistryContract, SetValue_Dword_ReadsBackThroughSizeProbeShortBufferAndRead) {
  const UniqueRegKey key = Scratch();
  const std::uint32_t number = 0x12345678;
  ASSERT_EQ(registry().RegSetValueExW(key.get(), u"Number", kRegDword, &number, sizeof number), 0);

  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(registry().RegQueryValueExW(key.get(), u"Number", &type, nullptr, &size), 0);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(size, sizeof number);
  std::uint32_t read = 0, shortSize = 2;
  EXPECT_EQ(registry().RegQueryValueExW(key.get(), u"Number", &type, &read, &shortSize),
            static_cast<std::int32_t>(kErrorMoreData));
  EXPECT_EQ(shortSize, sizeof number);
  std::uint32_t fullSize = sizeof read;
  EXPECT_EQ(registry().RegQueryValueExW(key.get(), u"Number", &type, &read, &fullSize), 0);
  EXPECT_EQ(read, number);
}

TEST_F(RegistryContract, DefaultValue_NullOrEmptyName_NamesTheSameValue) {
  const UniqueRegKey key = Scratch();
  std::uint32_t size = 0;
  EXPECT_EQ(registry().RegQueryValueExW(key.get(), nullptr, nullptr, nullptr, &size),
            kFileNotFound);  // a new key has none

  ASSERT_EQ(SetText(key.get(), u"", u"empty name"), 0);
  EXPECT_EQ(Text(key.get(), nullptr), u"empty name");
  ASSERT_EQ(SetText(key.get(), nullptr, u"null name"), 0);
  EXPECT_EQ(Text(key.get(), u""), u"null name");

  EXPECT_EQ(registry().RegDeleteValueW(key.get(), nullptr), 0);
  EXPECT_EQ(registry().RegQueryValueExW(key.get(), u"", nullptr, nullptr, &size), kFileNotFound);
}

TEST_F(RegistryContract, DeleteValue_Missing_FailsWithFileNotFound) {
  const UniqueRegKey key = Scratch();
  ASSERT_EQ(SetText(key.get(), u"Present", u"here"), 0);
  EXPECT_EQ(registry().RegDeleteValueW(key.get(), u"Missing"), kFileNotFound);
  EXPECT_EQ(registry().RegDeleteValueW(key.get(), u"Present"), 0);
  EXPECT_EQ(registry().RegDeleteValueW(key.get(), u"Present"), kFileNotFound);
}

TEST_F(RegistryContract, DeleteKey_WithSubkeys_IsRefusedWithAccessDenied) {
  const UniqueRegKey key = Scratch();
  Create(key.get(), u"Parent\\Child");
  EXPECT_EQ(registry().RegDeleteKeyW(key.get(), u"Parent"),
            static_cast<std::int32_t>(kErrorAccessDenied));
  EXPECT_TRUE(Exists(key.get(), u"Parent\\Child"));

  EXPECT_EQ(registry().RegDeleteKeyW(key.get(), u"Parent\\Child"), 0);
  EXPECT_EQ(registry().RegDeleteKeyW(key.get(), u"Parent"), 0);
  EXPECT_EQ(registry().RegDeleteKeyW(key.get(), u"Parent"), kFileNotFound);
}

TEST_F(RegistryContract, DeleteKey_WhileOpen_LeavesAHandleThatFailsWithKeyDeleted) {
  const UniqueRegKey key = Scratch();
  const UniqueRegKey doomed = Create(key.get(), u"Doomed");
  ASSERT_EQ(registry().RegDeleteKeyW(key.get(), u"Doomed"), 0);
  EXPECT_FALSE(Exists(key.get(), u"Doomed"));

  constexpr auto kKeyDeleted = static_cast<std::int32_t>(kErrorKeyDeleted);
  std::uint32_t size = 0;
  EXPECT_EQ(registry().RegQueryValueExW(doomed.get(), u"Any", nullptr, nullptr, &size),
            kKeyDeleted);
  EXPECT_EQ(SetText(doomed.get(), u"Any", u"value"), kKeyDeleted);
  std::u16string name;
  EXPECT_EQ(registry().RegEnumKeyExW(doomed.get(), 0, name), kKeyDeleted);
  UniqueRegKey child(registry());
  EXPECT_EQ(registry().RegCreateKeyExW(doomed.get(), u"Child", kKeyAllAccess, child.put()),
            kKeyDeleted);
}

TEST_F(RegistryContract, EnumKey_Subkeys_ComeInNameOrderThenNoMoreItems) {
  const UniqueRegKey key = Scratch();
  for (const char16_t* name : {u"charlie", u"alpha", u"Bravo"}) Create(key.get(), name);

  std::int32_t end = 0;
  const std::vector<std::u16string> names = Subkeys(key.get(), &end);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"alpha", u"Bravo", u"charlie"}));  // A-Z folded
  EXPECT_EQ(end, static_cast<std::int32_t>(kErrorNoMoreItems));
}

// --- Named mutexes and events ------------------------------------------------

class SynchronizationContract : public ContractTest {
 protected:
  Synchronization& sync() { return os_.sync; }
  UniqueHandle Own(Handle handle) { return UniqueHandle(os_.kernel, handle); }
  void Poison() { os_.kernel.SetLastError(kPoison); }
  ErrorCode LastError() { return os_.kernel.GetLastError(); }

  const SynchronizationServices os_ = harness().Synchronization();

  const std::u16string name_ = UniqueName();
};

TEST_F(SynchronizationContract, OpenMutex_NameNobodyMade_FailsWithFileNotFound) {
  Poison();
  const UniqueHandle mutex = Own(sync().OpenMutexW(kSynchronize, false, name_.c_str()));
  EXPECT_FALSE(mutex);
  EXPECT_EQ(LastError(), kErrorFileNotFound);
}

TEST_F(SynchronizationContract, CreateMutex_NewName_ClearsTheLastErrorAndOpens) {
  Poison();
  const UniqueHandle mutex = Own(sync().CreateMutexW(name_.c_str()));
  ASSERT_TRUE(mutex);
  EXPECT_EQ(LastError(), kErrorSuccess);  // what tells a new mutex from an old one
  const UniqueHandle opened = Own(sync().OpenMutexW(kSynchronize, false, name_.c_str()));
  EXPECT_TRUE(opened);
}

TEST_F(SynchronizationContract, CreateMutex_ExistingName_GivesAHandleWithAlreadyExists) {
  const UniqueHandle first = Own(sync().CreateMutexW(name_.c_str()));
  ASSERT_TRUE(first);
  Poison();
  const UniqueHandle second = Own(sync().CreateMutexW(name_.c_str()));
  EXPECT_TRUE(second);
  EXPECT_EQ(LastError(), kErrorAlreadyExists);
}

TEST_F(SynchronizationContract, WaitForSingleObject_FreeMutex_TakesIt) {
  const UniqueHandle mutex = Own(sync().CreateMutexW(name_.c_str()));
  ASSERT_TRUE(mutex);
  EXPECT_EQ(sync().WaitForSingleObject(mutex.get(), 0), kWaitObject0);
  EXPECT_TRUE(sync().ReleaseMutex(mutex.get()));
}

TEST_F(SynchronizationContract, ReleaseMutex_NotOwned_FailsWithNotOwner) {
  const UniqueHandle mutex = Own(sync().CreateMutexW(name_.c_str()));
  ASSERT_TRUE(mutex);
  Poison();
  EXPECT_FALSE(sync().ReleaseMutex(mutex.get()));  // never taken
  EXPECT_EQ(LastError(), kErrorNotOwner);

  ASSERT_EQ(sync().WaitForSingleObject(mutex.get(), 0), kWaitObject0);
  ASSERT_TRUE(sync().ReleaseMutex(mutex.get()));
  Poison();
  EXPECT_FALSE(sync().ReleaseMutex(mutex.get()));  // given back already
  EXPECT_EQ(LastError(), kErrorNotOwner);
}

TEST_F(SynchronizationContract, AutoResetEvent_Set_LetsOneWaitThrough) {
  const UniqueHandle event = Own(sync().CreateEventW(false, false, nullptr));
  ASSERT_TRUE(event);
  EXPECT_EQ(sync().WaitForSingleObject(event.get(), 0), kWaitTimeout);
  EXPECT_TRUE(sync().SetEvent(event.get()));
  EXPECT_EQ(sync().WaitForSingleObject(event.get(), 0), kWaitObject0);
  EXPECT_EQ(sync().WaitForSingleObject(event.get(), 0), kWaitTimeout);
}

TEST_F(SynchronizationContract, WaitForSingleObject_ClosedHandle_FailsWithInvalidHandle) {
  UniqueHandle event = Own(sync().CreateEventW(false, true, nullptr));
  ASSERT_TRUE(event);
  const Handle closed = event.get();
  event.reset();
  Poison();
  EXPECT_EQ(sync().WaitForSingleObject(closed, 0), kWaitFailed);
  EXPECT_EQ(LastError(), kErrorInvalidHandle);
}

// --- What the tools reach: modules, command lines, drives, output, COM -------

bool IsFullPath(std::u16string_view path) {
  const bool onDrive = path.size() > 3 && path[1] == u':' && path[2] == u'\\';
  return onDrive || path.starts_with(u"\\\\");
}

class ProcessContract : public ContractTest {
 protected:
  ProcessServices& os() { return os_; }
  void Poison() { os_.SetLastError(kPoison); }
  ErrorCode LastError() { return os_.GetLastError(); }

  std::u16string ProgramPath() {
    std::array<char16_t, 1024> path{};
    const std::uint32_t length = os_.modules.GetModuleFileNameW(0, path.data(), path.size());
    return std::u16string(path.data(), length < path.size() ? length : 0);
  }

 private:
  ProcessServices os_ = harness().Process();
};

TEST_F(ProcessContract, GetModuleFileName_Program_IsItsFullPath) {
  std::array<char16_t, 1024> path;
  path.fill(u'#');
  const std::uint32_t length = os().modules.GetModuleFileNameW(0, path.data(), path.size());
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, path.size());
  EXPECT_EQ(path[length], u'\0');
  const std::u16string text(path.data(), length);
  EXPECT_EQ(text.find(u'\0'), std::u16string::npos);
  EXPECT_TRUE(IsFullPath(text)) << ::testing::PrintToString(text);
  EXPECT_TRUE(FoldedAsciiCase(text).ends_with(u".exe")) << ::testing::PrintToString(text);
}

TEST_F(ProcessContract, GetModuleFileName_ShortCapacity_ReturnsTheCapacityAndCutsThePath) {
  const std::u16string full = ProgramPath();
  ASSERT_GT(full.size(), 5u);
  std::array<char16_t, 8> cut;
  cut.fill(u'#');
  Poison();
  EXPECT_EQ(os().modules.GetModuleFileNameW(0, cut.data(), 5), 5u);
  EXPECT_EQ(LastError(), kErrorInsufficientBuffer);
  EXPECT_EQ(std::u16string(cut.data(), 4), full.substr(0, 4));
  // cut[4] is a NUL on Windows since Vista, and the path's fifth character
  // under Wine as on XP: the contract leaves it open.
  EXPECT_EQ(cut[5], u'#');

  // No room for the terminator is short too.
  std::vector<char16_t> exact(full.size() + 1, u'#');
  const auto length = static_cast<std::uint32_t>(full.size());
  Poison();
  EXPECT_EQ(os().modules.GetModuleFileNameW(0, exact.data(), length), length);
  EXPECT_EQ(LastError(), kErrorInsufficientBuffer);
  EXPECT_EQ(exact[length], u'#');
}

TEST_F(ProcessContract, GetSystemDirectory_ShortCapacity_ReturnsTheSizeItNeeds) {
  std::array<char16_t, 1> tiny{};
  const std::uint32_t needed = os().modules.GetSystemDirectoryW(tiny.data(), 1);  // with its NUL
  ASSERT_GT(needed, 3u);
  std::vector<char16_t> folder(needed, u'#');
  EXPECT_EQ(os().modules.GetSystemDirectoryW(folder.data(), needed), needed - 1);
  EXPECT_EQ(folder[needed - 1], u'\0');
  const std::u16string path(folder.data());
  EXPECT_TRUE(IsFullPath(path)) << ::testing::PrintToString(path);
  EXPECT_EQ(os().modules.GetSystemDirectoryW(folder.data(), needed - 1), needed);
}

TEST_F(ProcessContract, LoadLibrary_MissingFileBesideTheProgram_FailsWithModNotFound) {
  const std::u16string program = ProgramPath();
  ASSERT_NE(program.rfind(u'\\'), std::u16string::npos);
  const std::u16string path = program.substr(0, program.rfind(u'\\') + 1) + u"PULLCORE.DLL";
  Poison();
  const UniqueModule module(os(), os().modules.LoadLibraryW(path.c_str()));
  EXPECT_FALSE(module);
  EXPECT_EQ(LastError(), kErrorModNotFound);
}

TEST_F(ProcessContract, CommandLineToArgv_SplitsByTheWindowsRules) {
  struct Case {
    const char16_t* line;
    std::vector<std::u16string> args;
  };
  const Case cases[] = {
      {u"prog.exe one  two", {u"prog.exe", u"one", u"two"}},
      {uR"("C:\Program Files\Ejectra\ejectrac.exe" "two words" three)",
       {uR"(C:\Program Files\Ejectra\ejectrac.exe)", u"two words", u"three"}},
      // The program's name takes no escapes: its last backslash keeps the quote closing.
      {uR"("C:\folder\" next)", {uR"(C:\folder\)", u"next"}},
      // A backslash makes a quote a character,
      {uR"(p a\"b)", {u"p", uR"(a"b)"}},
      // 2n backslashes before a quote are n, and the quote opens or closes,
      {uR"(p a\\\\"b c")", {u"p", uR"(a\\b c)"}},
      // 2n + 1 are n and a quote character,
      {uR"(p a\\\"b)", {u"p", uR"(a\"b)"}},
      // and backslashes before anything else are just backslashes.
      {uR"(p a\\b)", {u"p", uR"(a\\b)"}},
      // Two quotes inside quotes are one quote character.
      {uR"(p "a""b")", {u"p", uR"(a"b)"}},
      // Quotes may hold nothing, or sit inside a word.
      {uR"(p "" x a"b c"d)", {u"p", u"", u"x", u"ab cd"}},
  };
  for (const Case& c : cases) {
    std::vector<std::u16string> args;
    const std::string line = ::testing::PrintToString(c.line);
    EXPECT_TRUE(os().process.CommandLineToArgvW(c.line, args)) << line;
    EXPECT_EQ(args, c.args) << line;
  }
}

TEST_F(ProcessContract, GetLogicalDrives_Machine_HasDriveC) {
  EXPECT_NE(os().process.GetLogicalDrives() & (1u << (u'C' - u'A')), 0u);
}

TEST_F(ProcessContract, WideCharToMultiByte_AsciiText_IsThatAscii) {
  EXPECT_EQ(os().process.WideCharToMultiByte(u"Ejectra 1.10: E:\\ is safe ~ {ok}!"),
            "Ejectra 1.10: E:\\ is safe ~ {ok}!");
  EXPECT_EQ(os().process.WideCharToMultiByte(u""), "");
}

// The suite runs with its standard output in a file or a pipe; run at a
// console, the case only checks that a console is a character device.
TEST_F(ProcessContract, ConsoleCalls_RedirectedStandardOutput_HaveNoConsoleToWriteTo) {
  std::uint32_t mode = 0;
  if (os().output.GetConsoleMode(&mode)) {
    EXPECT_EQ(os().output.GetFileType(), kFileTypeChar);
    GTEST_SKIP() << "standard output is a console";
  }
  const std::uint32_t type = os().output.GetFileType();
  EXPECT_TRUE(type == kFileTypeDisk || type == kFileTypePipe || type == kFileTypeChar) << type;
  Poison();
  EXPECT_FALSE(os().output.WriteConsoleW(u"not for a console\n"));
  EXPECT_EQ(LastError(), kErrorInvalidHandle);
}

TEST_F(ProcessContract, CoCreateInstance_UnregisteredClass_FailsWithClassNotRegisteredAndNoObject) {
  const UniqueComInit com(os().com, os().com.CoInitialize() >= 0);
  ASSERT_TRUE(com);
  int marker = 0;
  void* object = &marker;
  EXPECT_EQ(os().com.CoCreateInstance(UniqueGuid(), kClsctxInprocAndLocal, kIidIUnknown, &object),
            kRegdbEClassNotReg);
  EXPECT_EQ(object, nullptr);
}

}  // namespace
}  // namespace ejectra::testing
