#include "platform/sim/machine_file.h"

#include <cstdio>
#include <type_traits>
#include <variant>

#include "platform/sim/machine_fields.h"
#include "platform/sim/machine_file_json.h"
#include "platform/sim/utf.h"

namespace ejectra::platform::sim {

namespace {

using namespace json;

template <typename Record, std::size_t N>
void ReadFields(const Json& from, const MachineField<Record> (&fields)[N], Record& record) {
  for (const auto& field : fields) {
    std::visit(
        [&](auto member) {
          if constexpr (std::is_same_v<decltype(member), bool Record::*>) {
            record.*member = Flag(from, field.name, field.absent != 0);
          } else {
            record.*member = from.contains(field.name) ? Number(from[field.name]) : field.absent;
          }
        },
        field.member);
  }
}

template <typename Record, std::size_t N>
void WriteFields(const Record& record, const MachineField<Record> (&fields)[N], Json& to) {
  for (const auto& field : fields) {
    const std::uint32_t value = FieldValue(record, field);
    if (value == field.absent && !field.alwaysWritten) continue;
    if (std::holds_alternative<bool Record::*>(field.member)) {
      to[field.name] = value != 0;
    } else {
      to[field.name] = value;
    }
  }
}

SimRegistryValue ParseValue(const Json& value) {
  if (!value.is_object()) throw Invalid("a registry value is not an object");
  SimRegistryValue parsed;
  parsed.type = value.contains("type") ? Number(value["type"]) : kRegBinary;
  if (value.contains("text") == value.contains("hex")) {
    throw Invalid("a registry value needs exactly one of text and hex");
  }
  parsed.data = value.contains("text") ? EncodeUtf16le(Text(value["text"]), false) : Hex(value["hex"]);
  return parsed;
}

MachineState Parse(const Json& root) {
  if (!root.is_object()) throw Invalid("the description is not an object");
  MachineState machine;

  const Json devices = List(root, "devices");
  std::vector<std::u16string> parents;
  for (const Json& d : devices) {
    if (!d.is_object()) throw Invalid("a device is not an object");
    SimDevice device;
    device.instanceId = Text(d.value("id", Json()));
    if (device.instanceId.empty()) throw Invalid("a device has an empty id");
    if (machine.Find(device.instanceId)) throw Invalid("two devices share an id");
    parents.push_back(d.contains("parent") && !d["parent"].is_null() ? Text(d["parent"]) : u"");
    if (d.contains("status")) device.status = Number(d["status"]);
    ReadFields(d, kDeviceFields, device);
    for (const auto& named : kNamedProperties) {
      if (d.contains(named.field)) device.properties[named.code] = TextProperty(Text(d[named.field]));
    }
    for (const Json& p : List(d, "properties")) {
      if (!p.is_object()) throw Invalid("a property is not an object");
      device.properties[Number(p.value("code", Json()))] =
          SimProperty{p.contains("type") ? Number(p["type"]) : kRegBinary, Hex(p.value("hex", Json()))};
    }
    if (d.contains("removalRelations")) device.removalRelations = TextList(d["removalRelations"]);
    if (d.contains("busRelations")) device.busRelations = TextList(d["busRelations"]);
    for (const Json& h : List(d, "holders")) {
      if (!h.is_object()) throw Invalid("a holder is not an object");
      device.holders.push_back(
          SimHolder{Number(h.value("processId", Json())), Text(h.value("image", Json()))});
    }
    machine.devices.push_back(std::move(device));
    const auto owner = static_cast<DevInst>(machine.devices.size());
    for (const Json& i : List(d, "interfaces")) {
      if (!i.is_object() || !i.contains("class") || !i["class"].is_string()) {
        throw Invalid("an interface needs a class");
      }
      machine.interfaces.push_back(
          SimInterface{ParseGuid(i["class"].get<std::string>()), Text(i.value("path", Json())), owner});
    }
  }
  for (std::size_t i = 0; i < parents.size(); ++i) {
    if (parents[i].empty()) continue;
    machine.devices[i].parent = machine.Find(parents[i]);
    if (!machine.devices[i].parent) throw Invalid("a parent names no device");
  }

  const Json dos = root.value("dosDevices", Json::object());
  if (!dos.is_object()) throw Invalid("dosDevices is not an object");
  for (const auto& [name, targets] : dos.items()) {
    machine.dosDevices[Text(Json(name))] = TextList(targets);
  }

  ReadFields(root, kMachineFields, machine);
  const Json volumes = root.value("volumes", Json::object());
  if (!volumes.is_object()) throw Invalid("volumes is not an object");
  for (const auto& [name, v] : volumes.items()) {
    if (!v.is_object()) throw Invalid("a volume is not an object");
    SimVolume volume;
    ReadFields(v, kVolumeFields, volume);
    machine.volumes[Text(Json(name))] = volume;
  }

  for (const auto& [field, registryRoot] : kRegistryRoots) {
    const Json keys = root.value(field, Json::object());
    if (!keys.is_object()) throw Invalid(std::string(field) + " is not an object");
    for (const auto& [path, values] : keys.items()) {
      if (!values.is_object()) throw Invalid("a registry key is not an object");
      SimRegistryKey& key = machine.registry.Create(registryRoot, Text(Json(path)));
      for (const auto& [name, value] : values.items()) key.values[Text(Json(name))] = ParseValue(value);
    }
  }
  return machine;
}

Json ValueJson(const SimRegistryValue& value) {
  Json j = {{"type", value.type}};
  if (const auto text = StoredText(value.data, false); text && !text->empty()) {
    j["text"] = Utf16ToUtf8(*text);
  } else {
    j["hex"] = HexText(value.data);
  }
  return j;
}

// Every key that has values or no subkeys, by its path; the others are
// implied by their subkeys or by every registry's skeleton.
void KeysJson(RegKey root, const SimRegistryKey& key, const std::u16string& path, Json& out) {
  const bool implied = key.subkeys.empty() && RegistryTree::IsSkeleton(root, path);
  if (!path.empty() && (!key.values.empty() || (key.subkeys.empty() && !implied))) {
    Json values = Json::object();
    for (const auto& [name, value] : key.values) values[Utf16ToUtf8(name)] = ValueJson(value);
    out[Utf16ToUtf8(path)] = values;
  }
  for (const auto& [name, child] : key.subkeys) {
    KeysJson(root, *child, path.empty() ? name : path + u"\\" + name, out);
  }
}

}  // namespace

std::optional<MachineState> ParseMachine(std::string_view json, std::string* error) {
  try {
    return Parse(Json::parse(json));
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return std::nullopt;
  }
}

std::string WriteMachine(const MachineState& machine) {
  Json devices = Json::array();
  for (std::size_t i = 0; i < machine.devices.size(); ++i) {
    const SimDevice& device = machine.devices[i];
    Json d = {{"id", Utf16ToUtf8(device.instanceId)}};
    if (const SimDevice* parent = machine.Device(device.parent)) {
      d["parent"] = Utf16ToUtf8(parent->instanceId);
    }
    char status[16];
    std::snprintf(status, sizeof status, "0x%08X", unsigned{device.status});
    d["status"] = status;
    WriteFields(device, kDeviceFields, d);
    Json raw = Json::array();
    for (const auto& [code, property] : device.properties) {
      const char* field = nullptr;
      for (const auto& named : kNamedProperties) {
        if (named.code == code) field = named.field;
      }
      const auto text = StoredText(property.data, true);
      if (field && property.type == kRegSz && text) {
        d[field] = Utf16ToUtf8(*text);
      } else {
        raw.push_back({{"code", code}, {"type", property.type}, {"hex", HexText(property.data)}});
      }
    }
    if (!raw.empty()) d["properties"] = raw;
    auto list = [](const std::vector<std::u16string>& ids) {
      Json l = Json::array();
      for (const auto& id : ids) l.push_back(Utf16ToUtf8(id));
      return l;
    };
    if (!device.removalRelations.empty()) d["removalRelations"] = list(device.removalRelations);
    if (!device.busRelations.empty()) d["busRelations"] = list(device.busRelations);
    for (const SimHolder& holder : device.holders) {
      d["holders"].push_back({{"processId", holder.processId}, {"image", Utf16ToUtf8(holder.imagePath)}});
    }
    Json interfaces = Json::array();
    for (const SimInterface& iface : machine.interfaces) {
      if (iface.owner == i + 1) {
        interfaces.push_back({{"class", GuidText(iface.interfaceClass)},
                              {"path", Utf16ToUtf8(iface.path)}});
      }
    }
    if (!interfaces.empty()) d["interfaces"] = interfaces;
    devices.push_back(std::move(d));
  }

  Json dos = Json::object();
  for (const auto& [name, targets] : machine.dosDevices) {
    Json l = Json::array();
    for (const auto& t : targets) l.push_back(Utf16ToUtf8(t));
    dos[Utf16ToUtf8(name)] = l;
  }
  Json root = {{"devices", devices}, {"dosDevices", dos}};
  if (!machine.volumes.empty()) {
    Json volumes = Json::object();
    for (const auto& [name, volume] : machine.volumes) {
      Json v = Json::object();
      WriteFields(volume, kVolumeFields, v);
      volumes[Utf16ToUtf8(name)] = v;
    }
    root["volumes"] = volumes;
  }
  WriteFields(machine, kMachineFields, root);
  for (const auto& [field, registryRoot] : kRegistryRoots) {
    Json keys = Json::object();
    KeysJson(registryRoot, *machine.registry.Root(registryRoot), u"", keys);
    if (!keys.empty() || registryRoot == kHkeyLocalMachine) root[field] = keys;
  }
  return root.dump(2) + "\n";
}

}  // namespace ejectra::platform::sim
