// Machine descriptions: a simulated machine written as JSON.
//
//   {
//     "devices": [
//       { "id": "USB\\VID_0781&PID_5567\\4C530001", "parent": "PCI\\...",
//         "status": "0x0180600A", "description": "USB 大容量記憶装置" },
//       { "id": "USBSTOR\\DISK&...\\4C530001&0", "parent": "USB\\VID_0781&PID_5567\\4C530001",
//         "friendlyName": "SanDisk Cruzer Blade USB Device",
//         "removalRelations": ["STORAGE\\VOLUME\\..."],
//         "interfaces": [ { "class": "disk", "path": "\\\\?\\usbstor#..." } ] },
//       ...
//     ],
//     "dosDevices": { "E:": ["\\Device\\HarddiskVolume3"] },
//     "volumes": { "E:": { "type": 2, "medium": true } },
//     "localMachine": {
//       "SYSTEM\\MountedDevices": {
//         "\\DosDevices\\E:": { "type": 3, "text": "\\??\\STORAGE#Volume#..." } } }
//   }
//
// Device fields besides "id": "parent" (an ID; none for the root), "status",
// (a number, or a "0x..." string), "friendlyName", "description",
// "physicalObjectName", "properties" ([{ "code", "type", "hex" }] for raw
// values), "removalRelations", "busRelations", "interfaces" ({ "class":
// "volume", "disk" or a "{GUID}", "path" }) and "holders" ([{ "processId",
// "image" }]). A volume is given by its drive. The plain flags and numbers
// of a device, a volume and the machine, with their defaults, are those of
// machine_fields.h. The registry is given by key paths below "localMachine"
// and "classesRoot"; values hold "type" and either "text" (UTF-16LE, no
// NUL) or "hex".
//
// A description may also carry the System log's records, oldest first:
//   "systemLog": [ { "provider": "Microsoft-Windows-Kernel-PnP", "id": 225,
//                    "created": 29376000000, "texts": { "ProcessName": "..." },
//                    "numbers": { "ProcessId": 4242 } } ]
// with "created" in ms of the world's clock (0 = kSimEpochFileTime).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <vector>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_world.h"

namespace ejectra::platform::sim {

// Nothing, with a reason in `error`, when the text is not a valid description.
std::optional<MachineState> ParseMachine(std::string_view json, std::string* error = nullptr);
std::string WriteMachine(const MachineState& machine);

// The description's System log (none when it carries none); nothing, with a
// reason in `error`, when the text is not a valid description of one.
std::optional<std::vector<SimEvent>> ParseSystemLog(std::string_view json,
                                                    std::string* error = nullptr);
// The machine and the System log's records, as one description.
std::string WriteMachine(const MachineState& machine, const std::vector<SimEvent>& systemLog);

}  // namespace ejectra::platform::sim
