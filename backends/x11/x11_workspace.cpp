// SPDX-License-Identifier: MIT
#include "x11_workspace.h"

#include "client_windows.h"

#include <algorithm>
#include <set>

namespace velmora::x11 {

namespace {

constexpr std::uint32_t kClientEventMask =
    XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_FOCUS_CHANGE;

bool contains(const std::vector<xcb_atom_t>& atoms, xcb_atom_t atom) {
    return std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

} // namespace

X11Workspace::X11Workspace(X11Connection& connection, ApplicationIdentities& identities, Log log,
                           InstalledApplications* installed, WindowIcons* windowIcons)
    : connection_(connection), identities_(identities), log_(std::move(log)), installed_(installed),
      windowIcons_(windowIcons), panels_(connection, identities) {
    // The root's children mapping and unmapping: launcher panels, and the clients themselves
    // without a window manager.
    connection_.selectRootEvents(XCB_EVENT_MASK_PROPERTY_CHANGE |
                                 XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    panels_.takeOpenPanels();
    connection_.addEventHandler([this](const xcb_generic_event_t& event) { onEvent(event); });
    detectWindowManager();
    refreshClients(false);
    refreshActive(false);
    connection_.flush();
}

void X11Workspace::detectWindowManager() {
    std::optional<xcb_window_t> check = ewmhCheckWindow(connection_);
    ewmh_ = check.has_value();
    checkWindow_ = check.value_or(XCB_WINDOW_NONE);
    if (ewmh_) {
        // Its destruction tells us that the window manager is gone.
        std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_.xcb(), checkWindow_, XCB_CW_EVENT_MASK, &mask);
        toldAboutFocusMode_ = false;
        return;
    }
    if (!toldAboutFocusMode_) {
        log_("no EWMH window manager is running: following the input focus instead");
        toldAboutFocusMode_ = true;
    }
}

void X11Workspace::onEvent(const xcb_generic_event_t& event) {
    if (auto change = panels_.onEvent(event))
        postPanelChange(*change);
    switch (event.response_type & 0x7F) {
    case XCB_PROPERTY_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (e.window == connection_.root())
            onRootProperty(e.atom);
        else if (clients_.contains(e.window) && (e.atom == connection_.atoms().wmState ||
                                                 e.atom == connection_.ewmh()._NET_WM_STATE ||
                                                 e.atom == connection_.ewmh()._NET_WM_WINDOW_TYPE))
            refreshClientState(e.window, true);
        else if (windowIcons_ && e.atom == connection_.ewmh()._NET_WM_ICON)
            if (auto client = clients_.find(e.window); client != clients_.end())
                windowIcons_->forget(client->second.identity.key);
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
        if (ewmh_ && e.window == checkWindow_) {
            detectWindowManager();
            refreshClients(true);
            refreshActive(true);
        } else if (!ewmh_) {
            refreshClients(true);
        }
        break;
    }
    case XCB_MAP_NOTIFY:
    case XCB_UNMAP_NOTIFY:
    case XCB_REPARENT_NOTIFY:
        if (!ewmh_)
            refreshClients(true);
        break;
    case XCB_FOCUS_IN: {
        const auto& e = reinterpret_cast<const xcb_focus_in_event_t&>(event);
        if (!ewmh_)
            refreshActive(true);
        else if (focusReachedClient(e)) {
            // The window manager focuses a window before it publishes it as the active one,
            // by a millisecond or so: the switch starts from the focus. The property change
            // that follows names the same window and changes nothing.
            focused_ = e.event;
            becomeActive(e.event, true);
        }
        break;
    }
    case XCB_FOCUS_OUT: {
        const auto& e = reinterpret_cast<const xcb_focus_out_event_t&>(event);
        // Focus moving inside the window, or a grab that takes the keyboard for a while, leaves
        // it focused.
        if (e.event == focused_ && e.detail != XCB_NOTIFY_DETAIL_INFERIOR &&
            (e.mode == XCB_NOTIFY_MODE_NORMAL || e.mode == XCB_NOTIFY_MODE_WHILE_GRABBED))
            focused_ = XCB_WINDOW_NONE;
        break;
    }
    default:
        break;
    }
}

void X11Workspace::onRootProperty(xcb_atom_t atom) {
    auto& ewmh = connection_.ewmh();
    if (atom == ewmh._NET_SUPPORTING_WM_CHECK) {
        detectWindowManager();
        refreshClients(true);
        refreshActive(true);
    } else if (ewmh_ && atom == ewmh._NET_CLIENT_LIST) {
        refreshClients(true);
    } else if (ewmh_ && atom == ewmh._NET_ACTIVE_WINDOW) {
        refreshActive(true);
    }
}

void X11Workspace::storeState(Client& client, const WindowFacts& facts) {
    auto& ewmh = connection_.ewmh();
    client.wmState = facts.wmState;
    xcb_atom_t type = primaryWindowType(connection_, facts);
    bool normal = type == XCB_ATOM_NONE || type == ewmh._NET_WM_WINDOW_TYPE_NORMAL;
    client.listed = normal && !contains(facts.netWmStates, ewmh._NET_WM_STATE_SKIP_TASKBAR);
}

void X11Workspace::refreshClients(bool notify) {
    std::vector<xcb_window_t> order = clientWindowsByAge(connection_, ewmh_);
    std::vector<xcb_window_t> fresh;
    for (xcb_window_t window : order)
        if (!clients_.contains(window))
            fresh.push_back(window);
    for (xcb_window_t window : fresh)
        xcb_change_window_attributes(connection_.xcb(), window, XCB_CW_EVENT_MASK,
                                     &kClientEventMask);
    // Read after selecting, so that no change between the two goes unseen.
    std::vector<WindowFacts> facts = readWindowFacts(connection_, fresh, kWmStatePart | kTypePart);
    std::vector<AppIdentity> identities = identities_.identify(fresh);

    std::set<xcb_window_t> live(order.begin(), order.end());
    std::erase_if(clients_, [&](const auto& entry) { return !live.contains(entry.first); });
    if (!live.contains(focused_)) // gone without a word about its focus
        focused_ = XCB_WINDOW_NONE;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        if (!facts[i].exists)
            continue; // destroyed while we looked; its removal from the list follows
        Client& client = clients_[fresh[i]];
        client.identity = identities[i];
        storeState(client, facts[i]);
    }
    clientOrder_.clear();
    for (xcb_window_t window : order)
        if (clients_.contains(window))
            clientOrder_.push_back(window);

    // Applications in the order they first appeared; those without windows have quit.
    std::set<std::string> present;
    std::vector<AppIdentity> launched;
    for (xcb_window_t window : clientOrder_) {
        const AppIdentity& identity = clients_[window].identity;
        present.insert(identity.key);
        if (!apps_.contains(identity.key)) {
            if (identity.bundleIdentifier && !identity.desktopFilePath && !isAgent(identity)) {
                if (seenClasses_.size() >= kMaxSeenClasses)
                    seenClasses_.clear();
                seenClasses_[*identity.bundleIdentifier] = {identity.localizedName, identity.key};
            }
            apps_[identity.key] = identity;
            appOrder_.push_back(identity.key);
            launched.push_back(identity);
        }
    }
    std::erase_if(appOrder_, [&](const std::string& key) { return !present.contains(key); });
    std::erase_if(apps_, [&](const auto& entry) { return !present.contains(entry.first); });
    if (active_ != XCB_WINDOW_NONE)
        live.insert(active_);
    identities_.retainOnly(live);
    connection_.flush();
    publishActive(); // the front application may have become listed or unlisted
    if (notify)
        for (const AppIdentity& identity : launched)
            if (!isAgent(identity)) // its own windows coming and going are no launch
                post(kApplicationLaunchedNotification, identity);
}

bool X11Workspace::focusReachedClient(const xcb_focus_in_event_t& event) const {
    // Focus that passes through while a grab starts or ends, or that follows the pointer over
    // the root, is no activation.
    if (event.mode != XCB_NOTIFY_MODE_NORMAL && event.mode != XCB_NOTIFY_MODE_WHILE_GRABBED)
        return false;
    if (event.detail == XCB_NOTIFY_DETAIL_POINTER ||
        event.detail == XCB_NOTIFY_DETAIL_POINTER_ROOT || event.detail == XCB_NOTIFY_DETAIL_NONE)
        return false;
    return clients_.contains(event.event);
}

void X11Workspace::refreshActive(bool notify) {
    const xcb_window_t window = activeClientWindow(connection_, ewmh_);
    // Window managers clear the active window when the old one loses the focus and name the
    // new one after it gained it: the new one has been active since its focus arrived.
    if (window == XCB_WINDOW_NONE && active_ != XCB_WINDOW_NONE && active_ == focused_)
        return;
    becomeActive(window, notify);
}

void X11Workspace::becomeActive(xcb_window_t window, bool notify) {
    if (window == active_)
        return;
    active_ = window;
    if (window == XCB_WINDOW_NONE) {
        activeApp_.reset();
        publishActive();
        return;
    }
    AppIdentity identity = identities_.identify({window})[0];
    bool otherApplication = !activeApp_ || activeApp_->key != identity.key;
    activeApp_ = identity;
    // Before the observers run: what they ask from other threads must already see it.
    publishActive();
    if (notify && otherApplication)
        post(kApplicationActivatedNotification, identity);
}

void X11Workspace::refreshClientState(xcb_window_t window, bool notify) {
    WindowFacts facts = readWindowFacts(connection_, {window}, kWmStatePart | kTypePart)[0];
    auto it = clients_.find(window);
    if (!facts.exists || it == clients_.end())
        return;
    bool wasIconic = it->second.wmState == kWmStateIconic;
    storeState(it->second, facts);
    if (activeApp_ && it->second.identity.key == activeApp_->key)
        publishActive();
    bool isIconic = it->second.wmState == kWmStateIconic;
    if (notify && wasIconic && !isIconic)
        post(kApplicationUnhiddenNotification, it->second.identity);
}

bool X11Workspace::isAgent(const AppIdentity& identity) {
    return identity.bundleIdentifier == kOwnBundleIdentifier;
}

RunningApplication X11Workspace::running(const AppIdentity& identity) const {
    RunningApplication app;
    app.bundleIdentifier = identity.bundleIdentifier;
    app.localizedName = identity.localizedName;
    app.bundlePath = identity.desktopFilePath;
    bool listed = false;
    bool known = false;
    for (const auto& [window, client] : clients_) {
        if (client.identity.key != identity.key)
            continue;
        known = true;
        listed = listed || client.listed;
    }
    // An application whose windows we have not read yet counts as an ordinary one. The agent
    // is an accessory whatever windows it shows (its settings, a file dialog).
    app.activationPolicy = (listed || !known) && !isAgent(identity) ? ActivationPolicy::Regular
                                                                    : ActivationPolicy::Accessory;
    return app;
}

void X11Workspace::publishActive() {
    auto snapshot = std::make_shared<ActiveWindowSnapshot>();
    snapshot->window = active_;
    if (activeApp_)
        snapshot->application = running(*activeApp_);
    std::lock_guard lock(snapshotMutex_);
    snapshot_ = std::move(snapshot);
}

X11Workspace::ActiveWindowSnapshot X11Workspace::activeWindowSnapshot() const {
    std::shared_ptr<const ActiveWindowSnapshot> snapshot;
    {
        std::lock_guard lock(snapshotMutex_);
        snapshot = snapshot_;
    }
    return *snapshot; // copied outside the lock: the snapshot never changes
}

std::optional<RunningApplication> X11Workspace::frontApplication() {
    return activeWindowSnapshot().application;
}

std::vector<RunningApplication> X11Workspace::runningApplications() {
    std::vector<RunningApplication> result;
    for (const std::string& key : appOrder_)
        result.push_back(running(apps_.at(key)));
    for (const AppIdentity& launcher : panels_.seenLaunchers())
        if (!apps_.contains(launcher.key))
            result.push_back(running(launcher));
    return result;
}

void X11Workspace::postPanelChange(const LauncherPanelWatch::Change& change) {
    if (!change.opened) {
        post(kLauncherPanelDidCloseNotification, change.launcher);
        return;
    }
    // A launcher without windows of its own starts afresh for each panel (rofi and dmenu are
    // run for each use): it is launched, so that the rule list offers it.
    if (!apps_.contains(change.launcher.key))
        post(kApplicationLaunchedNotification, change.launcher);
    post(kLauncherPanelDidOpenNotification, change.launcher, change.bounds);
}

void X11Workspace::addObserver(const std::string& name, Observer observer) {
    observers_[name].push_back(std::move(observer));
}

void X11Workspace::post(const char* name, const AppIdentity& identity,
                        std::optional<PlistDictionary> panelBounds) {
    auto it = observers_.find(name);
    if (it == observers_.end())
        return;
    WorkspaceNotification notification{name, running(identity), std::move(panelBounds)};
    auto observers = it->second; // an observer may subscribe more
    for (auto& observer : observers)
        observer(notification);
}

std::optional<std::string> X11Workspace::applicationPath(const std::string& bundleIdentifier) {
    if (installed_)
        if (auto path = installed_->desktopFileForId(bundleIdentifier))
            return path;
    if (seenClasses_.contains(bundleIdentifier))
        return std::string(kWindowClassPathPrefix) + bundleIdentifier;
    return std::nullopt;
}

ImagePtr X11Workspace::windowIconOf(const std::string& key) {
    if (!windowIcons_)
        return nullptr;
    // The first window of the application that still exists.
    xcb_window_t window = XCB_WINDOW_NONE;
    for (xcb_window_t client : clientOrder_)
        if (clients_.at(client).identity.key == key) {
            window = client;
            break;
        }
    return windowIcons_->iconOf(key, window);
}

const X11Workspace::SeenClass* X11Workspace::seenClassAt(const std::string& path) const {
    if (!path.starts_with(kWindowClassPathPrefix))
        return nullptr;
    auto seen = seenClasses_.find(path.substr(kWindowClassPathPrefix.size()));
    return seen != seenClasses_.end() ? &seen->second : nullptr;
}

ImagePtr X11Workspace::iconForFile(const std::string& path) {
    if (path.starts_with(kWindowClassPathPrefix)) {
        const SeenClass* seen = seenClassAt(path);
        return seen ? windowIconOf(seen->key) : nullptr;
    }
    if (ImagePtr icon = installed_ ? installed_->iconForDesktopFile(path) : nullptr)
        return icon;
    for (const auto& [key, identity] : apps_)
        if (identity.desktopFilePath == path)
            return windowIconOf(key);
    return nullptr;
}

std::string X11Workspace::displayNameAtPath(const std::string& path) {
    if (const SeenClass* seen = seenClassAt(path))
        return seen->name;
    if (installed_)
        if (auto name = installed_->displayNameOfDesktopFile(path))
            return *name;
    return Workspace::displayNameAtPath(path);
}

} // namespace velmora::x11
