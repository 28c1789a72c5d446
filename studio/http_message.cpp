#include "studio/http_message.h"

namespace qzf::studio {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::string> HttpRequest::Header(const std::string& lowerName) const {
  const auto it = headers.find(lowerName);
  if (it == headers.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> HttpRequest::QueryParameter(const std::string& name) const {
  std::size_t start = 0;
  while (start <= query.size()) {
    std::size_t end = query.find('&', start);
    if (end == std::string::npos) end = query.size();
    const std::string item = query.substr(start, end - start);
    const std::size_t equals = item.find('=');
    const auto key = PercentDecode(item.substr(0, equals), true);
    if (key && *key == name) return PercentDecode(equals == std::string::npos ? "" : item.substr(equals + 1), true);
    start = end + 1;
  }
  return std::nullopt;
}

std::optional<std::string> PercentDecode(const std::string& text, bool plusIsSpace) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size()) return std::nullopt;
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else if (c == '+' && plusIsSpace) {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace qzf::studio
