#include "studio/output_name.h"

#include <cstring>
#include "studio/studio_language.h"

namespace qzf::studio {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool IsDeviceName(const std::string& name) {
  // The part before the first dot is what Windows compares, ignoring case
  // and trailing spaces.
  std::string stem = Upper(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (stem == device) return true;
  }
  if (stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0))
    return stem[3] >= '0' && stem[3] <= '9';
  return false;
}

}  // namespace

bool HasExtension(const std::string& name, const std::string& extension) {
  return name.size() > extension.size() && Upper(name.substr(name.size() - extension.size())) == Upper(extension);
}

std::string CheckOutputName(const std::string& name) {
  if (name.empty()) return Text(MessageId::kGiveFileName);
  if (name.size() > 120) return Text(MessageId::kFileNameTooLong);
  if (name == "." || name == ".." || name.find("..") != std::string::npos) return Text(MessageId::kFileNameDots);
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return Text(MessageId::kFileNameControl);
    if (std::strchr("/\\", c)) return Text(MessageId::kFileNameNoPath);
    if (std::strchr(":*?\"<>|", c)) return Text(MessageId::kFileNameSigns);
  }
  if (name.back() == '.' || name.back() == ' ' || name.front() == ' ') return Text(MessageId::kFileNameEnds);
  if (IsDeviceName(name)) return Text(MessageId::kFileNameDevice);
  return "";
}

}  // namespace qzf::studio
