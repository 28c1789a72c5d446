// The texts the main window shows, as GBK bytes (the comment above each gives
// it in readable form). They are converted to UTF-16 only where they are shown.
#pragma once

#include "preview/preview_lines.h"

namespace qzf {

// "宋体", the face of the preview before any choice.
inline constexpr char kStartupPreviewFace[] = "\xcb\xce\xcc\xe5";

// "错误"
inline constexpr char kErrorCaption[] = "\xb4\xed\xce\xf3";
// "无法创建主窗口。"
inline constexpr char kDialogFailedText[] = "\xce\xde\xb7\xa8\xb4\xb4\xbd\xa8\xd6\xf7\xb4\xb0\xbf\xda\xa1\xa3";
// "无法载入背景图片。"
inline constexpr char kPictureFailedText[] = "\xce\xde\xb7\xa8\xd4\xd8\xc8\xeb\xb1\xb3\xbe\xb0\xcd\xbc\xc6\xac\xa1\xa3";

}  // namespace qzf
