// Opens a web address in the player's default browser: xdg-open on Linux,
// the shell on Windows. Returns at once; false when nothing could be started.
#pragma once

#include <string>

namespace qzf::studio {

bool OpenInBrowser(const std::string& url);

}  // namespace qzf::studio
