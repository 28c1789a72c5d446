#include "studio/output_name.h"

#include <cstring>

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
  if (name.empty()) return "请填写文件名";
  if (name.size() > 120) return "文件名太长";
  if (name == "." || name == ".." || name.find("..") != std::string::npos) return "文件名不能含有“..”";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return "文件名不能含有控制字符";
    if (std::strchr("/\\", c)) return "只能写文件名，不能写路径（不能含有 / 或 \\）";
    if (std::strchr(":*?\"<>|", c)) return "文件名不能含有 : * ? \" < > | 这些字符";
  }
  if (name.back() == '.' || name.back() == ' ' || name.front() == ' ')
    return "文件名不能以点或空格结尾，也不能以空格开头";
  if (IsDeviceName(name)) return "这是 Windows 的设备名，不能用作文件名";
  return "";
}

}  // namespace qzf::studio
