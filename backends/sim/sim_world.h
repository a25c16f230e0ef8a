// SPDX-License-Identifier: MIT
#pragma once
// Everything the simulated desktop knows: input sources, applications, screens, windows,
// the pointer, and who has subscribed to what.

#include "platform/distributed_notifications.h"
#include "platform/event_monitor.h"
#include "platform/property_list.h"
#include "platform/text_input_sources.h"
#include "platform/workspace.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::sim {

struct SimApp {
    std::optional<std::string> bundleIdentifier;
    std::string name;
    ActivationPolicy policy = ActivationPolicy::Regular;
    bool installed = true;
    bool running = true;
    std::string owner; // process name in the window list

    RunningApplication asRunning() const;
    // "/Applications/<Name>.app" for an installed application; none otherwise.
    std::optional<std::string> bundlePath() const;
};

extern const char* const kSimBundleVersion;

// The version of the system the program was first written for.
struct SimSystemVersion {
    int major = 10;
    int minor = 15;
};

struct SimScreen {
    std::int32_t number = 1;
    double width = 1440;
    double height = 900;
};

// An entry of the user's login-items list; an empty path does not resolve.
struct SimLoginEntry {
    std::uint64_t serial = 0;
    std::string path;
};

struct SimWorld {
    // Input sources in the system's order; the current one by ID (none: no current source).
    std::vector<InputSource> inputs;
    std::optional<std::string> currentInputID;
    bool currentSetExplicitly = false;

    // Applications in declaration order; the frontmost by index into apps.
    std::vector<SimApp> apps;
    std::optional<std::size_t> frontmost;

    std::vector<SimScreen> screens{SimScreen{}};
    std::optional<std::int32_t> mainScreenNumber = 1;
    std::optional<std::int32_t> deepestScreenNumber = 1;
    // The screen at the desktop's origin: the first one declared.
    std::optional<std::int32_t> originScreenNumber = 1;
    bool screensDeclared = false;

    // Front to back. Windows put there by a scenario carry their handle under
    // kSimWindowHandleKey, a key the agent never reads.
    PlistArray windows;
    Point cursorHotSpot{0, 0};
    // Scenarios set only the hot spot (`cursor text|arrow`): their cursor has no name.
    std::optional<std::string> cursorName;

    std::optional<std::string> uptimeOutput =
        "10:00  up 2 days,  3:04, 2 users, load averages: 1.0 1.0 1.0";
    std::string bundlePath = "/Applications/Velmora.app";
    SimSystemVersion systemVersion;
    // The program's own "CFBundleShortVersionString": the project's version.
    std::string bundleVersion = kSimBundleVersion;
    // Property-list files by path. An installed application's Contents/Info.plist needs no
    // entry: it is made from the declaration (see SimPropertyListFiles).
    std::map<std::string, PlistValue> files;

    // The user's login-items list, in order; its serial numbers are never reused.
    std::vector<SimLoginEntry> loginItems;
    std::uint64_t nextLoginItemSerial = 1;
    bool loginItemsUnavailable = false;
    // URLs the program opened, in order.
    std::vector<std::string> openedURLs;
    // The program asked to terminate.
    bool terminated = false;

    std::map<std::string, std::vector<Workspace::Observer>> workspaceObservers;
    // By the simulated desktop's names (sim_broadcast_names.h).
    std::map<std::string, std::vector<std::function<void(const std::string& name)>>>
        distributedObservers;
    std::vector<std::pair<std::uint64_t, EventMonitor::Handler>> eventMonitors;

    std::optional<std::size_t> appIndex(const std::string& bundleIdentifier) const;
    // The first installed application whose bundle path is PATH; nullptr when none.
    const SimApp* installedAppAt(const std::string& path) const;
    const InputSource* input(const std::string& id) const;

    // Window list changes by handle. Putting a handle that exists replaces that window.
    void putWindowInFront(const std::string& handle, PlistDictionary entry);
    // Each returns false when no window has HANDLE.
    bool removeWindow(const std::string& handle);
    bool bringWindowToFront(const std::string& handle);
    bool moveWindow(const std::string& handle, const PlistDictionary& bounds);

  private:
    std::optional<std::size_t> windowIndex(const std::string& handle) const;
};

// Replaces the login-items list with PATHS, in order.
void setLoginItems(SimWorld& world, const std::vector<std::string>& paths);

inline constexpr const char* kSimWindowHandleKey = "simWindowHandle";
inline constexpr Point kTextCursorHotSpot{4, 9};
inline constexpr Point kArrowCursorHotSpot{0, 0};

} // namespace velmora::sim
