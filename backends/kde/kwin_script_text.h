// SPDX-License-Identifier: MIT
#pragma once
// The KWin scripts of the program. KWin runs them in its own JavaScript engine and they call a
// D-Bus object of the program with callDBus, every value as text (numbers too: what the engine
// makes of a number is not the same in every KWin version). Plasma 5 names the workspace's
// signals clientActivated and clientRemoved and its list clientList, Plasma 6 windowActivated,
// windowRemoved and windowList; the scripts take whichever exist.

#include <QString>

namespace velmora::kde {

inline constexpr const char* kActivationPath = "/com/quorvant/Velmora/KWin";
inline constexpr const char* kActivationInterface = "com.quorvant.Velmora.KWin";
inline constexpr const char* kListingPath = "/com/quorvant/Velmora/KWinWindows";

// Tells SERVICE (the agent's bus name) at kActivationPath of each activation (windowActivated),
// each move or resize of the window in front (windowMoved) and each closed window
// (windowClosed).
QString kwinActivationScript(const QString& service);

// Runs once: tells SERVICE at kListingPath of each normal window KWin has (window, with the
// arguments of windowActivated), then that the list is complete (listed).
QString kwinListingScript(const QString& service);

} // namespace velmora::kde
