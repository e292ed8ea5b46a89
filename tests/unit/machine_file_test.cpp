#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>
#include <type_traits>
#include <variant>

#include "core/pullcore.h"
#include "platform/sim/machine_builder.h"
#include "platform/sim/machine_fields.h"
#include "platform/sim/machine_file.h"
#include "platform/sim/sim_core_services.h"
#include "platform/sim/utf.h"

namespace ejectra::platform::sim {
namespace {

std::string ReadSample() {
  std::ifstream file(EJECTRA_SAMPLE_MACHINE, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Utf8(const char16_t* text) { return Utf16ToUtf8(text); }

TEST(MachineFile, WriteThenParse_KeepsEveryField) {
  MachineBuilder b;
  const UsbStorage stick = b.AddUsbStick(u'E', u"Stick \u00e9\u3042");
  b.Get(stick.disk)
      .Property(42, kRegDword, {1, 2, 3})
      .Property(kCmDrpFriendlyName, kRegSz, EncodeUtf16le(u"no terminator", false))
      .BusRelations({u"A", u"B"})
      .UnreadableId()
      .Interface(Guid{0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}}, u"\\\\?\\x");
  b.Get(stick.usbDevice).EjectAnswer(kCrRemoveVetoed).UnreadableStatus().Status(7);
  b.Get(stick.volume).NotPresent();
  b.MountRecordData(u'F', kRegBinary, {0xD8, 0x00});  // half a surrogate as text: kept as hex
  b.DosDevice(u"Q:", {u"one", u"two"});
  b.Volume(u'G', kDriveCdrom, false);
  MachineState original = b.Build();
  original.volumes[u"Z:"] = SimVolume{kDriveRemote, true, true};
  original.devices[stick.usbDevice - 1].vetoWithSuccess = true;

  std::string error;
  const auto parsed = ParseMachine(WriteMachine(original), &error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_EQ(WriteMachine(*parsed), WriteMachine(original));
  ASSERT_EQ(parsed->devices.size(), original.devices.size());
  const SimDevice& disk = parsed->devices[stick.disk - 1];
  EXPECT_EQ(disk.properties.at(42).data, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(disk.properties.at(kCmDrpFriendlyName).data, EncodeUtf16le(u"no terminator", false));
  EXPECT_FALSE(disk.deviceIdReadable);
  EXPECT_EQ(parsed->devices[stick.usbDevice - 1].ejectAnswer, kCrRemoveVetoed);
  EXPECT_TRUE(parsed->devices[stick.usbDevice - 1].vetoWithSuccess);
  EXPECT_FALSE(parsed->devices[stick.disk - 1].vetoWithSuccess);
  EXPECT_FALSE(parsed->devices[stick.volume - 1].present);
  EXPECT_EQ(parsed->interfaces.size(), original.interfaces.size());
  EXPECT_EQ(parsed->volumes, original.volumes);
  EXPECT_EQ(parsed->volumes.size(), 3u);
  EXPECT_EQ(parsed->registry.Find(kHkeyLocalMachine, u"SYSTEM\\MountedDevices")->values.at(u"\\DosDevices\\F:").data,
            (std::vector<std::uint8_t>{0xD8, 0x00}));
}

// A described field left out of a file reads as its member's default, and a
// value other than the default is written and read back.
template <typename Record, std::size_t N>
void ExpectFieldsKept(const MachineField<Record> (&fields)[N], Record& (*in)(MachineState&)) {
  for (const auto& field : fields) {
    SCOPED_TRACE(field.name);
    EXPECT_EQ(FieldValue(Record{}, field), field.absent);
    MachineBuilder b;
    b.AddUsbStick(u'E', u"Stick");
    MachineState machine = b.Build();
    const std::uint32_t other =
        std::holds_alternative<bool Record::*>(field.member) ? !field.absent : field.absent + 7;
    std::visit(
        [&](auto member) {
          auto& value = in(machine).*member;
          value = static_cast<std::remove_reference_t<decltype(value)>>(other);
        },
        field.member);
    auto parsed = ParseMachine(WriteMachine(machine));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(FieldValue(in(*parsed), field), other);
  }
}

TEST(MachineFile, DescribedFields_DefaultsAndValues_Kept) {
  ExpectFieldsKept(kDeviceFields, +[](MachineState& m) -> SimDevice& { return m.devices.back(); });
  ExpectFieldsKept(kVolumeFields, +[](MachineState& m) -> SimVolume& { return m.volumes.at(u"E:"); });
  ExpectFieldsKept(kMachineFields, +[](MachineState& m) -> MachineState& { return m; });
}

TEST(MachineFile, RejectsWhatIsNotADescription) {
  for (const char* text : {
           "", "[]", "{\"devices\": 3}", "{\"devices\": [{}]}",
           "{\"devices\": [{\"id\": \"A\"}, {\"id\": \"a\"}]}",            // IDs fold A-Z
           "{\"devices\": [{\"id\": \"A\", \"parent\": \"B\"}]}",
           "{\"devices\": [{\"id\": \"A\", \"status\": \"0x100000000\"}]}",
           "{\"devices\": [{\"id\": \"A\", \"status\": -1}]}",
           "{\"devices\": [{\"id\": \"A\", \"interfaces\": [{\"class\": \"{bad}\"}]}]}",
           "{\"devices\": [{\"id\": \"A\", \"properties\": [{\"code\": 1, \"hex\": \"abc\"}]}]}",
           "{\"localMachine\": {\"K\": {\"V\": {\"text\": \"x\", \"hex\": \"00\"}}}}",
           "{\"dosDevices\": {\"E:\": \"not a list\"}}",
           "{\"volumes\": []}", "{\"volumes\": {\"E:\": 2}}",
           "{\"volumes\": {\"E:\": {\"medium\": 1}}}",
           "{\"volumes\": {\"E:\": {\"type\": -1}}}",
           "{\"devices\": [{\"id\": \"\\ud800\"}]}",
       }) {
    std::string error;
    EXPECT_FALSE(ParseMachine(text, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

TEST(MachineFile, SystemLog_WriteThenParse_KeepsEveryRecordInOrder) {
  SimEvent first{u"Microsoft-Windows-Kernel-PnP", 225, 29'376'000'123, {}, {}};
  first.texts[u"ProcessName"] = u"\\Device\\HarddiskVolume1\\\u30e1\u30e2.exe";
  first.texts[u"DeviceInstance"] = u"USB\\VID_1058&PID_25E2\\5758";
  first.numbers[u"ProcessId"] = 4242;
  const SimEvent second{u"Other", 7, 0xFFFF'FFFF'FFFFull, {}, {{u"N", 0xFFFFFFFFu}}};
  const MachineState machine = MachineBuilder().Build();

  std::string error;
  const auto log = ParseSystemLog(WriteMachine(machine, {first, second}), &error);
  ASSERT_TRUE(log) << error;
  ASSERT_EQ(log->size(), 2u);
  EXPECT_EQ((*log)[0].provider, first.provider);
  EXPECT_EQ((*log)[0].id, 225u);
  EXPECT_EQ((*log)[0].created, first.created);
  EXPECT_EQ((*log)[0].texts, first.texts);
  EXPECT_EQ((*log)[0].numbers, first.numbers);
  EXPECT_EQ((*log)[1].created, second.created);
  EXPECT_EQ((*log)[1].numbers, second.numbers);
  EXPECT_TRUE(ParseMachine(WriteMachine(machine, {first})));  // still a machine description
}

TEST(MachineFile, SystemLog_AbsentOrMalformed_EmptyOrRefused) {
  const auto none = ParseSystemLog(WriteMachine(MachineBuilder().Build()));
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
  for (const char* text : {"[]", "{\"systemLog\": 3}", "{\"systemLog\": [1]}",
                           "{\"systemLog\": [{\"provider\": \"P\", \"id\": 1, \"created\": -5}]}",
                           "{\"systemLog\": [{\"provider\": \"P\", \"id\": 1}]}",
                           "{\"systemLog\": [{\"provider\": \"P\", \"id\": 1, \"created\": 0, \"texts\": []}]}"}) {
    std::string error;
    EXPECT_FALSE(ParseSystemLog(text, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

// The bundled sample machine, drive by drive, through the exported operations.
TEST(SampleMachine, AnswersForEveryDrive) {
  std::string error;
  auto state = ParseMachine(ReadSample(), &error);
  ASSERT_TRUE(state) << error;
  SimWorld world(*std::move(state));
  SimCoreServices machine(world);
  const CoreServices os = machine.Services();

  struct Expected {
    char16_t letter;
    const char16_t* name;  // null: not removable
    const char16_t* description;
  };
  const Expected expected[] = {
      {u'C', nullptr, nullptr},
      {u'E', u"SanDisk Cruzer Blade USB Device", u"USB 大容量記憶装置"},
      {u'F', u"Generic- SD/MMC USB Device", u"USB 大容量記憶装置"},
      {u'G', nullptr, nullptr},  // the card reader's empty slot
      {u'H', u"WD My Passport 25E2 SCSI Disk Device", u"USB 接続 SCSI (UAS) マス ストレージ デバイス"},
      {u'I', nullptr, nullptr},  // the same disk's second partition
      {u'J', u"", u"ディスク ドライブ"},  // only through its mount record
      {u'Z', nullptr, nullptr},  // a network share
  };
  for (int drive = 1; drive <= 26; ++drive) {
    const auto letter = static_cast<char16_t>(u'@' + drive);
    const Expected* e = nullptr;
    for (const Expected& x : expected) {
      if (x.letter == letter) e = &x;
    }
    std::array<char16_t, 256> name{}, description{};
    const bool removable =
        core::IsRemovableHardwareDriveExW(os, drive, name.data(), 256, description.data(), 256);
    EXPECT_EQ(core::IsRemovableHardwareDrive(os, drive), removable) << static_cast<char>(letter);
    if (e && e->name) {
      EXPECT_TRUE(removable) << static_cast<char>(letter);
      EXPECT_EQ(Utf8(name.data()), Utf8(e->name));
      EXPECT_EQ(Utf8(description.data()), Utf8(e->description));
    } else {
      EXPECT_FALSE(removable) << static_cast<char>(letter);
    }
  }
  EXPECT_EQ(world.calls.Count("CM_Request_Device_EjectW"), 0u);
  std::string types;  // GetDriveTypeW of A:\ to Z:\, one digit each
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    types += static_cast<char>('0' + os.volumes.GetDriveTypeW(std::u16string{letter, u':', u'\\'}.c_str()));
  }
  EXPECT_EQ(types, "1131222332" + std::string(15, '1') + "4");
  EXPECT_FALSE(world.machine.volumes.at(u"G:").medium);  // the card reader's empty MS slot
}

}  // namespace
}  // namespace ejectra::platform::sim
