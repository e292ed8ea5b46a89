// The plain properties of a simulated machine's records (a flag or a
// number) as a machine file holds them, each described once: its field, the
// member it fills, and its value when the field is left out, which is the
// member's default. The file's reader and writer both go by these rows, so
// a new property of this kind is a member in machine_state.h and a row here.
#pragma once

#include <cstdint>
#include <span>
#include <variant>

#include "platform/sim/machine_state.h"

namespace ejectra::platform::sim {

template <typename Record>
struct MachineField {
  const char* name;
  std::variant<bool Record::*, std::uint32_t Record::*> member;
  std::uint32_t absent;  // a flag's as 0 or 1
  bool alwaysWritten = false;  // written even when it is `absent`
};

inline constexpr MachineField<SimDevice> kDeviceFields[] = {
    {"present", &SimDevice::present, true},
    {"idReadable", &SimDevice::deviceIdReadable, true},
    {"statusReadable", &SimDevice::statusReadable, true},
    {"ejectAnswer", &SimDevice::ejectAnswer, kCrSuccess},
    {"vetoWithSuccess", &SimDevice::vetoWithSuccess, false},
    {"eventDelay", &SimDevice::eventDelay, 0},
};

inline constexpr MachineField<SimVolume> kVolumeFields[] = {
    {"type", &SimVolume::type, kDriveNoRootDir, true},
    {"medium", &SimVolume::medium, true, true},
    {"adminOnly", &SimVolume::adminOnly, false},
    {"checksVolumeAccess", &SimVolume::checksVolumeAccess, false},
    {"ejectError", &SimVolume::ejectError, 0},
};

inline constexpr MachineField<MachineState> kMachineFields[] = {
    {"elevated", &MachineState::elevated, true},
};

// The member's value as a number (a flag as 0 or 1).
template <typename Record>
std::uint32_t FieldValue(const Record& record, const MachineField<Record>& field) {
  return std::visit([&](auto member) { return static_cast<std::uint32_t>(record.*member); },
                    field.member);
}

}  // namespace ejectra::platform::sim
