// SPDX-License-Identifier: MIT
#pragma once
// The workspace on X11: the frontmost application follows the active window, running
// applications are the client windows grouped by application (and the launchers whose panel
// was seen), and the notifications come from property changes on the root and on the clients
// and from the windows the root's children map and unmap.

#include "application_identities.h"
#include "installed_applications.h"
#include "launcher_panel_watch.h"
#include "platform/application.h" // kOwnBundleIdentifier: the agent is no application
#include "platform/workspace.h"
#include "window_facts.h"
#include "window_icons.h"
#include "x11_connection.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace velmora::x11 {

class X11Workspace final : public Workspace {
  public:
    // Reads the current windows at once; notifications are posted only for later changes.
    // INSTALLED answers for installed applications and their files (none: nothing is
    // installed); WINDOWICONS gives the icons windows set themselves (none: applications
    // without a desktop file have no icon). LOG takes the line about a missing window manager.
    using Log = std::function<void(const std::string& line)>;
    X11Workspace(X11Connection& connection, ApplicationIdentities& identities, Log log,
                 InstalledApplications* installed = nullptr, WindowIcons* windowIcons = nullptr);

    std::optional<RunningApplication> frontApplication() override;
    std::vector<RunningApplication> runningApplications() override;
    void addObserver(const std::string& name, Observer observer) override;

    // The desktop file with that id stands for the application bundle. An application known by
    // its window class alone, running or seen since the agent started, has the path
    // kWindowClassPathPrefix + its class instead.
    std::optional<std::string> applicationPath(const std::string& bundleIdentifier) override;
    // For a desktop file, its application's icon and Name; the icon its windows set
    // (_NET_WM_ICON) when the file names none that can be found. For a window-class path, the
    // windows' icon and the class.
    ImagePtr iconForFile(const std::string& path) override;
    std::string displayNameAtPath(const std::string& path) override;
    static constexpr std::string_view kWindowClassPathPrefix = "window-class:";
    // Applications known by their class alone that are remembered at most; a full store starts
    // again with those running.
    static constexpr std::size_t kMaxSeenClasses = 512;
    // URLs go to OPENER (the desktop's URL handler); without one nothing is opened.
    using URLOpener = std::function<bool(const std::string& url)>;
    void setURLOpener(URLOpener opener) { urlOpener_ = std::move(opener); }
    bool openURL(const std::string& url) override { return urlOpener_ && urlOpener_(url); }

    // What is in front, as the main thread last saw it. Any thread: the address-bar check and
    // the main screen are asked from the global queue while the main thread handles events.
    struct ActiveWindowSnapshot {
        xcb_window_t window = XCB_WINDOW_NONE; // the active client window
        std::optional<RunningApplication> application;
    };
    ActiveWindowSnapshot activeWindowSnapshot() const;
    // The active client window; XCB_WINDOW_NONE when no window is active. Any thread.
    xcb_window_t activeWindow() const { return activeWindowSnapshot().window; }
    // Main thread.
    bool followsInputFocus() const { return !ewmh_; }

  private:
    struct Client {
        AppIdentity identity;
        std::optional<std::uint32_t> wmState;
        bool listed = false; // a normal window that the taskbar shows
    };

    void onEvent(const xcb_generic_event_t& event);
    void onRootProperty(xcb_atom_t atom);
    void detectWindowManager();
    void refreshClients(bool notify);
    // Reads which window is active, and takes it as the active one.
    void refreshActive(bool notify);
    void becomeActive(xcb_window_t window, bool notify);
    // Whether focus arrived in a window we know as a client, as an activation does.
    bool focusReachedClient(const xcb_focus_in_event_t& event) const;
    void refreshClientState(xcb_window_t window, bool notify);
    void storeState(Client& client, const WindowFacts& facts);
    RunningApplication running(const AppIdentity& identity) const;
    static bool isAgent(const AppIdentity& identity);
    void post(const char* name, const AppIdentity& identity,
              std::optional<PlistDictionary> panelBounds = std::nullopt);
    void postPanelChange(const LauncherPanelWatch::Change& change);
    void publishActive();
    // The icon the windows of the application KEY set themselves.
    ImagePtr windowIconOf(const std::string& key);

    X11Connection& connection_;
    ApplicationIdentities& identities_;
    Log log_;
    InstalledApplications* installed_;
    WindowIcons* windowIcons_;
    bool ewmh_ = false;
    xcb_window_t checkWindow_ = XCB_WINDOW_NONE;
    bool toldAboutFocusMode_ = false;
    std::vector<xcb_window_t> clientOrder_;
    std::map<xcb_window_t, Client> clients_;
    std::vector<std::string> appOrder_; // identity keys, by first appearance
    std::map<std::string, AppIdentity> apps_;
    // Applications without a desktop file seen since the start, by class.
    struct SeenClass {
        std::string name;
        std::string key; // of its identity
    };
    std::map<std::string, SeenClass> seenClasses_;
    // The application PATH names when it is a window-class path of a class seen; else null.
    const SeenClass* seenClassAt(const std::string& path) const;
    xcb_window_t active_ = XCB_WINDOW_NONE;
    // The client that the focus last reached and has not left (window managers with EWMH).
    xcb_window_t focused_ = XCB_WINDOW_NONE;
    std::optional<AppIdentity> activeApp_;
    std::map<std::string, std::vector<Observer>> observers_;
    URLOpener urlOpener_;
    LauncherPanelWatch panels_;

    // Everything above belongs to the main thread. Other threads see the front only through
    // this snapshot, replaced whole (never changed in place) whenever what it holds may change.
    mutable std::mutex snapshotMutex_;
    std::shared_ptr<const ActiveWindowSnapshot> snapshot_ =
        std::make_shared<const ActiveWindowSnapshot>();
};

} // namespace velmora::x11
