// GBK (code page 936) to and from UTF-16 at the edge to the wide Windows
// calls, so that shown texts do not depend on the system's code page.
#pragma once

#ifdef _WIN32
#include <string>
#include <string_view>

namespace qzf {

// Bytes that are not valid GBK become the replacement character.
std::wstring GbkToWide(std::string_view gbk);

// Characters without a GBK form become '?'.
std::string WideToGbk(std::wstring_view wide);

}  // namespace qzf
#endif
