// SPDX-License-Identifier: MIT
#pragma once
// Which desktop the agent runs on, found at start from the session's environment: sway when
// $SWAYSOCK is set and sway answers there; KDE Plasma when, in a Wayland session, KWin owns
// org.kde.KWin on the session bus ($XDG_CURRENT_DESKTOP alone proves nothing); GNOME when, in a
// Wayland session that $XDG_CURRENT_DESKTOP calls GNOME, gnome-shell owns org.gnome.Shell (its
// extension's state is said with it); X11 through $DISPLAY when no Wayland session is there. A
// Wayland session of another compositor is said, not worked around through XWayland (whose windows
// are not the ones the user types in). "--desktop NAME" forces one. Every check is kept as a line,
// for "velmora desktop" and for the agent's reason to stop.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmora::program {

enum class DesktopKind { X11, Sway, Kde, Gnome };

struct DesktopName {
    DesktopKind kind;
    const char* name;  // as --desktop takes it
    const char* title; // as lines show it
    bool supported;    // false: found, but the agent cannot run there yet
};

// Every desktop the agent knows of, in the order they are tried.
std::span<const DesktopName> desktopNames();

struct DesktopFinding {
    std::optional<DesktopKind> desktop; // none: the agent cannot run here
    std::vector<std::string> checks;    // one line per check, in order
    std::string swaySocket;             // with sway: where it answered
};

struct DesktopEnvironment {
    std::function<std::optional<std::string>(const char* name)> variable;
    // Whether sway answers on the socket at PATH; WHAT says its version or why not.
    std::function<bool(const std::string& path, std::string* what)> swayAnswers;
    // Whether KWin owns org.kde.KWin on the session bus; WHAT says why not.
    std::function<bool(std::string* what)> kwinOnBus;
    // Whether gnome-shell owns org.gnome.Shell on the session bus; WHAT says the state of the
    // agent's Shell extension, or why not.
    std::function<bool(std::string* what)> gnomeShellOnBus;
};

// The process's own environment, with sway asked through its socket and the session bus
// asked for KWin and GNOME Shell.
DesktopEnvironment processDesktopEnvironment();

// FORCED: the name given with --desktop; empty to find it.
DesktopFinding findDesktop(const DesktopEnvironment& environment, const std::string& forced);

// "velmora desktop": prints the checks and the outcome. 0 when the agent can run, else 1.
int printDesktop(std::ostream& out, const std::string& forced);

} // namespace velmora::program
