// The three lines of the game's text the window previews a face with, as GBK
// bytes (the comment above each gives it in readable form). The pictures of
// the command line and the studio show the same lines.
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

}  // namespace qzf
