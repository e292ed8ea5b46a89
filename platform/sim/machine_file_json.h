// The JSON pieces of machine descriptions: reading and writing the values
// that machine_file.cpp puts together.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/types.h"

namespace ejectra::platform::sim::json {

using Json = nlohmann::ordered_json;

// What is not a valid description; the message says why.
struct Invalid : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::u16string Text(const Json& value);
// A 32-bit unsigned number, or a string of one ("0x0180600A").
std::uint32_t Number(const Json& value);
std::vector<std::u16string> TextList(const Json& value);
std::vector<std::uint8_t> Hex(const Json& value);
std::string HexText(const std::vector<std::uint8_t>& bytes);
// "volume", "disk" or a "{GUID}".
Guid ParseGuid(const std::string& text);
std::string GuidText(const Guid& guid);
// The list `name` of `object`; an empty one when it has none.
Json List(const Json& object, const char* name);
bool Flag(const Json& device, const char* name, bool fallback);
// The text of a stored UTF-16LE value with exactly one trailing NUL, if it is one.
std::optional<std::u16string> StoredText(const std::vector<std::uint8_t>& data, bool withNul);

constexpr struct {
  const char* field;
  RegKey root;
} kRegistryRoots[] = {{"localMachine", kHkeyLocalMachine}, {"classesRoot", kHkeyClassesRoot}};

constexpr struct {
  const char* field;
  std::uint32_t code;
} kNamedProperties[] = {{"friendlyName", kCmDrpFriendlyName},
                        {"description", kCmDrpDeviceDesc},
                        {"physicalObjectName", kCmDrpPhysicalDeviceObjectName}};


}  // namespace ejectra::platform::sim::json
