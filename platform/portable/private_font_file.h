// A font file made usable by this process alone, for as long as the holder
// lives: AddFontResourceExA with FR_PRIVATE, then RemoveFontResourceExA.
// CreateFontA then finds the file's fonts by any of their family names and
// the installed faces list them, on Windows through GDI and natively through
// the stand-ins.
#pragma once

#include <string>

namespace qzf {

class PrivateFontFile {
 public:
  // path: in the ANSI code page (GBK), as the platform's calls take it.
  explicit PrivateFontFile(std::string path);
  ~PrivateFontFile();
  PrivateFontFile(const PrivateFontFile&) = delete;
  PrivateFontFile& operator=(const PrivateFontFile&) = delete;

  // What AddFontResourceExA counted; 0 when the file gave no font.
  int fontsAdded() const { return fontsAdded_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fontsAdded_ = 0;
};

}  // namespace qzf
