// How a Windows-style byte path reaches the Linux file system and back.
#pragma once

#include <string>

namespace qzf {

// GBK path with backslashes -> UTF-8 path with slashes. Bytes that are not
// valid GBK are passed through, so a UTF-8 path given by mistake still works.
std::string NativePathFromWin(const char* path);

// UTF-8 path with slashes -> GBK path with backslashes (bytes that have no
// GBK form are passed through).
std::string WinPathFromNative(const std::string& path);

}  // namespace qzf
