#include "platform/fontengine/fontconfig_handles.h"

namespace qzf {
namespace {

struct FcConfigDeleter {
  void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};

}  // namespace

FcConfig* ProcessFontconfig() {
  static const std::unique_ptr<FcConfig, FcConfigDeleter> config(FcInitLoadConfigAndFonts());
  return config.get();
}

std::mutex& FontconfigLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace qzf
