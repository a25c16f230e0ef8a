// SPDX-License-Identifier: MIT
#pragma once
// The KWin script that tells the agent of each activation, each move or resize of the window in
// front and each closed window. KWin runs it in its own JavaScript engine and it calls the
// agent's D-Bus object with callDBus, every value as text (numbers too: what the engine makes
// of a number is not the same in every KWin version). Plasma 5 names the workspace's signals
// clientActivated and clientRemoved, Plasma 6 windowActivated and windowRemoved; the script takes
// whichever exist.

#include <QString>

namespace velmora::kde {

inline constexpr const char* kActivationPath = "/com/quorvant/Velmora/KWin";
inline constexpr const char* kActivationInterface = "com.quorvant.Velmora.KWin";

// The script, calling SERVICE (the agent's bus name) at kActivationPath.
QString kwinActivationScript(const QString& service);

} // namespace velmora::kde
