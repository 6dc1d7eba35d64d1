#pragma once

namespace widgets {

// Maps the Chinese font names the windows ask for (宋体, 楷体_GB2312, 仿宋_GB2312,
// 华文仿宋, 黑体) to the Noto CJK fonts, and makes Noto Sans CJK SC the default, so that
// every text renders as Chinese.
void installChineseFonts();

} // namespace widgets
