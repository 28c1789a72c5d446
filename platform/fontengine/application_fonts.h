// Font files made usable by this process alone, as GDI's private font
// resources are: fontconfig application fonts of the configuration the
// matcher and the face list use. A file may be added more than once; it
// stays until it has been removed as often.
#pragma once

#include <string>

namespace qzf {

// The number of outline faces the file holds, now usable by family name;
// 0 (and nothing added) when it holds none or cannot be read.
int AddApplicationFontFile(const std::string& path);

// False when the file was not added.
bool RemoveApplicationFontFile(const std::string& path);

}  // namespace qzf
