#include "platform/native/native_path.h"

#include "platform/base/codepage.h"

namespace qzf {

std::string NativePathFromWin(const char* path) {
  std::string s = path ? path : "";
  if (auto utf8 = GbkToUtf8(s)) s = *utf8;
  for (char& c : s) {
    if (c == '\\') c = '/';
  }
  return s;
}

std::string WinPathFromNative(const std::string& path) {
  std::string s = path;
  if (auto gbk = Utf8ToGbk(s)) s = *gbk;
  for (char& c : s) {
    if (c == '/') c = '\\';
  }
  return s;
}

}  // namespace qzf
