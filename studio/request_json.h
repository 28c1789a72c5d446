// A request's JSON body, read as data from a stranger: parsed with a limit
// on nesting (a deep value would otherwise overflow the stack of whatever
// walks it), and each field checked for type and range before it is
// narrowed. Messages are in Simplified Chinese, for the page, and name the
// field.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace qzf::studio {

inline constexpr int kMaxJsonDepth = 32;

// The body as a JSON object; nullopt, with `error`, when it is not JSON, is
// nested deeper than kMaxJsonDepth or is not an object.
std::optional<nlohmann::json> ParseJsonBody(std::string_view body, std::string& error);

// The message when `object` has a field not in `known`, else empty.
std::string UnknownField(const nlohmann::json& object, std::initializer_list<std::string_view> known);

// Field readers: false, with `error` naming `name`, when the value has the
// wrong type or range.
bool ReadInteger(const nlohmann::json& value, const std::string& name, std::int64_t min, std::int64_t max,
                 std::int64_t& out, std::string& error);
bool ReadString(const nlohmann::json& value, const std::string& name, std::string& out, std::string& error);
bool ReadBool(const nlohmann::json& value, const std::string& name, bool& out, std::string& error);
bool IsArrayField(const nlohmann::json& value, const std::string& name, std::size_t maxItems, std::string& error);

}  // namespace qzf::studio
