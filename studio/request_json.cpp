#include "studio/request_json.h"

#include "studio/studio_language.h"
namespace qzf::studio {

using nlohmann::json;

std::optional<json> ParseJsonBody(std::string_view body, std::string& error) {
  bool tooDeep = false;
  // The parser keeps its own stack; refusing the first value past the limit
  // keeps anything deeper out of the result (and everything after it once
  // one was found).
  const json::parser_callback_t limit = [&tooDeep](int depth, json::parse_event_t event, json&) {
    if ((event == json::parse_event_t::object_start || event == json::parse_event_t::array_start) &&
        depth >= kMaxJsonDepth)
      tooDeep = true;
    return !tooDeep;
  };
  json parsed = json::parse(body.begin(), body.end(), limit, false);
  if (tooDeep) {
    error = Text(MessageId::kJsonTooDeep, std::to_string(kMaxJsonDepth));
    return std::nullopt;
  }
  if (parsed.is_discarded()) {
    error = Text(MessageId::kJsonInvalid);
    return std::nullopt;
  }
  if (!parsed.is_object()) {
    error = Text(MessageId::kJsonNotObject);
    return std::nullopt;
  }
  return parsed;
}

std::string UnknownField(const json& object, std::initializer_list<std::string_view> known) {
  for (const auto& item : object.items()) {
    bool found = false;
    for (const std::string_view name : known) found = found || item.key() == name;
    if (!found) return Text(MessageId::kUnknownField, item.key());
  }
  return "";
}

bool ReadInteger(const json& value, const std::string& name, std::int64_t min, std::int64_t max, std::int64_t& out,
                 std::string& error) {
  const std::string range = Text(MessageId::kFieldInteger, name, std::to_string(min), std::to_string(max));
  if (!value.is_number_integer()) {
    error = range;
    return false;
  }
  // Past the signed range only as unsigned, and then past every maximum.
  if (value.is_number_unsigned() && value.get<std::uint64_t>() > static_cast<std::uint64_t>(max)) {
    error = range;
    return false;
  }
  const auto number = value.get<std::int64_t>();
  if (number < min || number > max) {
    error = range;
    return false;
  }
  out = number;
  return true;
}

bool ReadString(const json& value, const std::string& name, std::string& out, std::string& error) {
  if (!value.is_string()) {
    error = Text(MessageId::kFieldString, name);
    return false;
  }
  out = value.get<std::string>();
  return true;
}

bool ReadBool(const json& value, const std::string& name, bool& out, std::string& error) {
  if (!value.is_boolean()) {
    error = Text(MessageId::kFieldBool, name);
    return false;
  }
  out = value.get<bool>();
  return true;
}

bool IsArrayField(const json& value, const std::string& name, std::size_t maxItems, std::string& error) {
  if (!value.is_array() || value.size() > maxItems) {
    error = Text(MessageId::kFieldArray, name, std::to_string(maxItems));
    return false;
  }
  return true;
}

}  // namespace qzf::studio
