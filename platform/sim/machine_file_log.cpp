// The System log's records in a machine description ("systemLog"): how a
// world's log outlives the process that wrote it.
#include <optional>

#include "platform/sim/machine_file.h"
#include "platform/sim/machine_file_json.h"
#include "platform/sim/utf.h"

namespace ejectra::platform::sim {

namespace {

using namespace json;

std::uint64_t Milliseconds(const Json& value) {
  if (!value.is_number_unsigned()) throw Invalid("created is not a number of milliseconds");
  return value.get<std::uint64_t>();
}

SimEvent ParseEvent(const Json& e) {
  if (!e.is_object()) throw Invalid("a record is not an object");
  SimEvent event;
  event.provider = Text(e.value("provider", Json()));
  event.id = Number(e.value("id", Json()));
  event.created = Milliseconds(e.value("created", Json()));
  const Json texts = e.value("texts", Json::object());
  const Json numbers = e.value("numbers", Json::object());
  if (!texts.is_object() || !numbers.is_object()) throw Invalid("a record's data is not an object");
  for (const auto& [name, text] : texts.items()) event.texts[Text(Json(name))] = Text(text);
  for (const auto& [name, number] : numbers.items()) event.numbers[Text(Json(name))] = Number(number);
  return event;
}

Json EventJson(const SimEvent& event) {
  Json texts = Json::object();
  for (const auto& [name, text] : event.texts) texts[Utf16ToUtf8(name)] = Utf16ToUtf8(text);
  Json numbers = Json::object();
  for (const auto& [name, number] : event.numbers) numbers[Utf16ToUtf8(name)] = number;
  return {{"provider", Utf16ToUtf8(event.provider)},
          {"id", event.id},
          {"created", event.created},
          {"texts", texts},
          {"numbers", numbers}};
}

}  // namespace

std::optional<std::vector<SimEvent>> ParseSystemLog(std::string_view text, std::string* error) {
  try {
    const Json root = Json::parse(text);
    if (!root.is_object()) throw Invalid("the description is not an object");
    std::vector<SimEvent> log;
    for (const Json& e : List(root, "systemLog")) log.push_back(ParseEvent(e));
    return log;
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return std::nullopt;
  }
}

std::string WriteMachine(const MachineState& machine, const std::vector<SimEvent>& systemLog) {
  Json root = Json::parse(WriteMachine(machine));
  Json records = Json::array();
  for (const SimEvent& event : systemLog) records.push_back(EventJson(event));
  root["systemLog"] = records;
  return root.dump(2) + "\n";
}

}  // namespace ejectra::platform::sim
