#include "platform/sim/machine_file.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <stdexcept>

#include "platform/sim/utf.h"

namespace ejectra::platform::sim {

namespace {

using Json = nlohmann::ordered_json;

struct Invalid : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::u16string Text(const Json& value) {
  if (!value.is_string()) throw Invalid("expected a string");
  auto text = Utf8ToUtf16(value.get_ref<const std::string&>());
  if (!text) throw Invalid("a string is not UTF-8");
  return *std::move(text);
}

std::uint32_t Number(const Json& value) {
  if (value.is_number_unsigned()) {
    const auto n = value.get<std::uint64_t>();
    if (n <= 0xFFFFFFFFu) return static_cast<std::uint32_t>(n);
  } else if (value.is_string()) {
    const std::string& s = value.get_ref<const std::string&>();
    std::size_t used = 0;
    try {
      const unsigned long long n = std::stoull(s, &used, 0);
      if (used == s.size() && n <= 0xFFFFFFFFu) return static_cast<std::uint32_t>(n);
    } catch (const std::logic_error&) {
    }
  }
  throw Invalid("expected a 32-bit unsigned number");
}

std::vector<std::u16string> TextList(const Json& value) {
  if (!value.is_array()) throw Invalid("expected a list of strings");
  std::vector<std::u16string> list;
  for (const Json& item : value) list.push_back(Text(item));
  return list;
}

std::vector<std::uint8_t> Hex(const Json& value) {
  if (!value.is_string()) throw Invalid("expected hex digits");
  const std::string& s = value.get_ref<const std::string&>();
  if (s.size() % 2) throw Invalid("odd number of hex digits");
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw Invalid("not a hex digit");
  };
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < s.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(digit(s[i]) * 16 + digit(s[i + 1])));
  }
  return bytes;
}

std::string HexText(const std::vector<std::uint8_t>& bytes) {
  std::string s;
  char pair[3];
  for (const std::uint8_t b : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", b);
    s += pair;
  }
  return s;
}

Guid ParseGuid(const std::string& s) {
  if (s == "volume") return kGuidDevInterfaceVolume;
  if (s == "disk") return kGuidDevInterfaceDisk;
  unsigned d1, d2, d3, b[8];
  char end;
  if (s.size() != 38 ||
      std::sscanf(s.c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}%c", &d1, &d2, &d3, &b[0],
                  &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &end) != 11) {
    throw Invalid("not an interface class: " + s);
  }
  Guid g{d1, static_cast<std::uint16_t>(d2), static_cast<std::uint16_t>(d3), {}};
  for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<std::uint8_t>(b[i]);
  return g;
}

std::string GuidText(const Guid& g) {
  if (g == kGuidDevInterfaceVolume) return "volume";
  if (g == kGuidDevInterfaceDisk) return "disk";
  char s[40];
  std::snprintf(s, sizeof s, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                unsigned{g.Data1}, unsigned{g.Data2}, unsigned{g.Data3}, g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return s;
}

Json List(const Json& object, const char* name) {
  const Json list = object.value(name, Json::array());
  if (!list.is_array()) throw Invalid(std::string(name) + " is not a list");
  return list;
}

bool Flag(const Json& device, const char* name, bool fallback) {
  if (!device.contains(name)) return fallback;
  if (!device[name].is_boolean()) throw Invalid(std::string(name) + " is not true or false");
  return device[name].get<bool>();
}

// The text of a stored UTF-16LE value with exactly one trailing NUL, if it is one.
std::optional<std::u16string> StoredText(const std::vector<std::uint8_t>& data, bool withNul) {
  if (data.size() % 2) return std::nullopt;
  std::u16string text;
  for (std::size_t i = 0; i < data.size(); i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  if (withNul) {
    if (text.empty() || text.back() != u'\0') return std::nullopt;
    text.pop_back();
  }
  if (text.find(u'\0') != std::u16string::npos) return std::nullopt;
  if (Utf8ToUtf16(Utf16ToUtf8(text)) != text) {
    return std::nullopt;  // unpaired surrogates do not survive the trip through UTF-8
  }
  return text;
}

constexpr struct {
  const char* field;
  std::uint32_t code;
} kNamedProperties[] = {{"friendlyName", kCmDrpFriendlyName},
                        {"description", kCmDrpDeviceDesc},
                        {"physicalObjectName", kCmDrpPhysicalDeviceObjectName}};

SimRegistryValue ParseValue(const Json& value) {
  if (!value.is_object()) throw Invalid("a registry value is not an object");
  SimRegistryValue parsed;
  parsed.type = value.contains("type") ? Number(value["type"]) : kRegBinary;
  if (value.contains("text") == value.contains("hex")) {
    throw Invalid("a registry value needs exactly one of text and hex");
  }
  parsed.data = value.contains("text") ? Utf16Bytes(Text(value["text"]), false) : Hex(value["hex"]);
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
    if (d.contains("problem")) device.problem = Number(d["problem"]);
    device.present = Flag(d, "present", true);
    device.deviceIdReadable = Flag(d, "idReadable", true);
    device.statusReadable = Flag(d, "statusReadable", true);
    if (d.contains("ejectAnswer")) device.ejectAnswer = Number(d["ejectAnswer"]);
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

  const Json registry = root.value("localMachine", Json::object());
  if (!registry.is_object()) throw Invalid("localMachine is not an object");
  for (const auto& [path, values] : registry.items()) {
    if (!values.is_object()) throw Invalid("a registry key is not an object");
    SimRegistryKey& key = machine.localMachine[Text(Json(path))];
    for (const auto& [name, value] : values.items()) key[Text(Json(name))] = ParseValue(value);
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
    if (device.problem) d["problem"] = device.problem;
    if (!device.present) d["present"] = false;
    if (!device.deviceIdReadable) d["idReadable"] = false;
    if (!device.statusReadable) d["statusReadable"] = false;
    if (device.ejectAnswer != kCrSuccess) d["ejectAnswer"] = device.ejectAnswer;
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
  Json registry = Json::object();
  for (const auto& [path, values] : machine.localMachine) {
    Json key = Json::object();
    for (const auto& [name, value] : values) key[Utf16ToUtf8(name)] = ValueJson(value);
    registry[Utf16ToUtf8(path)] = key;
  }
  const Json root = {{"devices", devices}, {"dosDevices", dos}, {"localMachine", registry}};
  return root.dump(2) + "\n";
}

}  // namespace ejectra::platform::sim
