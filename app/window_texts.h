// The texts the main window shows, as GBK bytes (the comment above each gives
// it in readable form). They are converted to UTF-16 only where they are shown.
#pragma once

namespace qzf {

// "古今英雄现在穿越时空汇聚一堂。"
inline constexpr char kPreviewLine1[] =
    "\xb9\xc5\xbd\xf1\xd3\xa2\xd0\xdb\xcf\xd6\xd4\xda\xb4\xa9\xd4\xbd\xca\xb1\xbf\xd5\xbb\xe3\xbe\xdb\xd2\xbb\xcc\xc3"
    "\xa1\xa3";
// "为夺取天下的新战争，"
inline constexpr char kPreviewLine2[] =
    "\xce\xaa\xb6\xe1\xc8\xa1\xcc\xec\xcf\xc2\xb5\xc4\xd0\xc2\xd5\xbd\xd5\xf9\xa3\xac";
// "已经拉开了帷幕……"
inline constexpr char kPreviewLine3[] = "\xd2\xd1\xbe\xad\xc0\xad\xbf\xaa\xc1\xcb\xe1\xa1\xc4\xbb\xa1\xad\xa1\xad";

// "宋体", the face of the preview before any choice.
inline constexpr char kStartupPreviewFace[] = "\xcb\xce\xcc\xe5";

// "错误"
inline constexpr char kErrorCaption[] = "\xb4\xed\xce\xf3";
// "无法创建主窗口。"
inline constexpr char kDialogFailedText[] = "\xce\xde\xb7\xa8\xb4\xb4\xbd\xa8\xd6\xf7\xb4\xb0\xbf\xda\xa1\xa3";
// "无法载入背景图片。"
inline constexpr char kPictureFailedText[] = "\xce\xde\xb7\xa8\xd4\xd8\xc8\xeb\xb1\xb3\xbe\xb0\xcd\xbc\xc6\xac\xa1\xa3";

}  // namespace qzf
