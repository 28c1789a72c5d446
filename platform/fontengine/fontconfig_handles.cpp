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

}  // namespace qzf
