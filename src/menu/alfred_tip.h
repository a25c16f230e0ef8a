// SPDX-License-Identifier: MIT
#pragma once
// The tip about Alfred shown from the settings menu. The text is also the lookup key of its
// translations; a desktop without one shows the key itself.

namespace velmora {

inline constexpr const char* kAlfredTipKey =
    "提示：\n        Alfred只有在Alfred偏好设置里设置双击修饰键触发才能有效切换输入法!";
inline constexpr const char* kAlfredTipButtonKey = "OK";

} // namespace velmora
