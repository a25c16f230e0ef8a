// SPDX-License-Identifier: MIT
#pragma once
// Running applications, the frontmost one, and the workspace notifications about them.

#include "platform/images.h"
#include "platform/property_list.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

enum class ActivationPolicy { Regular, Accessory, Prohibited };

struct RunningApplication {
    std::optional<std::string> bundleIdentifier; // none: the application has no bundle identifier
    std::string localizedName;                   // may be empty
    std::optional<std::string> bundlePath;       // none when unknown
    ActivationPolicy activationPolicy = ActivationPolicy::Regular;
};

inline constexpr const char* kApplicationActivatedNotification =
    "NSWorkspaceDidActivateApplicationNotification";
inline constexpr const char* kApplicationUnhiddenNotification =
    "NSWorkspaceDidUnhideApplicationNotification";
inline constexpr const char* kApplicationLaunchedNotification =
    "NSWorkspaceDidLaunchApplicationNotification";

// A launcher's panel opened without its launcher coming to the front (a window that takes the
// keyboard while another application stays active), and that panel closed again, also when
// its program ended. Posted by desktops whose launchers work so; the application is the
// launcher, keyed like any other application.
inline constexpr const char* kLauncherPanelDidOpenNotification =
    "VelmoraLauncherPanelDidOpenNotification";
inline constexpr const char* kLauncherPanelDidCloseNotification =
    "VelmoraLauncherPanelDidCloseNotification";

struct WorkspaceNotification {
    std::string name;
    // The application under "NSWorkspaceApplicationKey" of the user information; none when the
    // notification carries no application.
    std::optional<RunningApplication> application;
    // With a launcher panel that opened: its rectangle as a window-list entry's bounds ("X",
    // "Y", "Width", "Height", top-left origin); none when unknown.
    std::optional<PlistDictionary> panelBounds = std::nullopt;
};

class Workspace {
  public:
    using Observer = std::function<void(const WorkspaceNotification&)>;

    Workspace() = default;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    virtual ~Workspace() = default;

    // None when no application is frontmost. Any thread: the address-bar check asks from the
    // global queue.
    virtual std::optional<RunningApplication> frontApplication() = 0;
    // In the order the system gives them; may be empty.
    virtual std::vector<RunningApplication> runningApplications() = 0;
    // OBSERVER is called on the main thread for every later notification named NAME.
    // Notifications posted before the subscription are not delivered.
    virtual void addObserver(const std::string& name, Observer observer) = 0;

    // Installed applications and their files. Main thread.

    // The path of the installed application bundle with BUNDLEIDENTIFIER; none when no
    // installed application has it (or the desktop cannot tell).
    virtual std::optional<std::string> applicationPath(const std::string& bundleIdentifier) {
        (void)bundleIdentifier;
        return std::nullopt;
    }
    // The icon the file browser shows for the file at PATH; nullptr when there is none.
    virtual ImagePtr iconForFile(const std::string& path) {
        (void)path;
        return nullptr;
    }
    // Opens URL with the application the desktop assigns to its scheme. False when nothing
    // took it (the program does not look at the answer). Main thread.
    virtual bool openURL(const std::string& url) {
        (void)url;
        return false;
    }
    // The name the file browser shows for PATH. Without a better name: the path's last
    // component (the empty string for an empty path).
    virtual std::string displayNameAtPath(const std::string& path) {
        std::string trimmed = path;
        while (trimmed.size() > 1 && trimmed.back() == '/')
            trimmed.pop_back();
        auto slash = trimmed.rfind('/');
        return slash == std::string::npos || trimmed.size() == 1 ? trimmed
                                                                 : trimmed.substr(slash + 1);
    }
};

} // namespace velmora
