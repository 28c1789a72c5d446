#include "platform/portable/private_font_file.h"

#include <utility>

#include "platform/win32.h"

namespace qzf {

PrivateFontFile::PrivateFontFile(std::string path) : path_(std::move(path)) {
  fontsAdded_ = AddFontResourceExA(path_.c_str(), FR_PRIVATE, nullptr);
}

PrivateFontFile::~PrivateFontFile() {
  if (fontsAdded_ > 0) RemoveFontResourceExA(path_.c_str(), FR_PRIVATE, nullptr);
}

}  // namespace qzf
