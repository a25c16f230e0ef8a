// SPDX-License-Identifier: MIT
#include "sway_workspace.h"

#include <QJsonArray>

#include <algorithm>
#include <set>

namespace velmora::sway {

namespace {

constexpr qsizetype kMaxNameCharacters = 512;
int coordinate(const QJsonObject& rect, const char* key) {
    constexpr qint64 farthest = SwayWorkspace::kFarthestCoordinate;
    return static_cast<int>(std::clamp<qint64>(rect.value(key).toInteger(), -farthest, farthest));
}

std::optional<std::string> usableText(const QJsonValue& value) {
    const QString text = value.toString();
    if (text.isEmpty() || text.size() > kMaxNameCharacters ||
        text.contains(QChar::ReplacementCharacter))
        return std::nullopt;
    return text.toStdString();
}

bool isWindow(const QJsonObject& node) {
    return node.contains("app_id") || node.contains("window_properties");
}

} // namespace

WindowIdentity windowIdentityOf(const QJsonObject& container) {
    WindowIdentity identity;
    identity.appId = usableText(container.value("app_id"));
    if (!identity.appId)
        identity.windowClass =
            usableText(container.value("window_properties").toObject().value("class"));
    identity.pid = std::max<std::int64_t>(0, container.value("pid").toInteger());
    return identity;
}

SwayWorkspace::SwayWorkspace(SwayIpc& ipc, const QJsonDocument& tree, ApplicationLookup lookup,
                             Log log)
    : lookup_(std::move(lookup)), log_(std::move(log)) {
    takeTree(tree.object(), 0);
    ipc.onEvent(kWindowEvent, [this](const QJsonObject& event) { onWindowEvent(event); });
}

void SwayWorkspace::takeTree(const QJsonObject& node, int depth) {
    if (depth > kMaxTreeDepth || windows_.size() >= kMaxWindows) {
        if (!toldTreeCut_ && log_)
            log_("sway's window tree is larger than the agent reads; the rest is left out");
        toldTreeCut_ = true;
        return;
    }
    if (isWindow(node)) {
        const std::int64_t id = node.value("id").toInteger();
        remember(id, node, false);
        if (node.value("focused").toBool()) {
            becomeActive(id, node);
            takeFrontFrame(node);
        }
    }
    for (const char* children : {"nodes", "floating_nodes"})
        for (const QJsonValue child : node.value(children).toArray())
            takeTree(child.toObject(), depth + 1);
}

void SwayWorkspace::onWindowEvent(const QJsonObject& event) {
    const QString change = event.value("change").toString();
    const QJsonObject container = event.value("container").toObject();
    const std::int64_t id = container.value("id").toInteger();
    if (change == "focus") {
        becomeActive(id, container);
        takeFrontFrame(container);
    } else if (change == "move" || change == "floating" || change == "fullscreen_mode") {
        if (container.value("focused").toBool())
            takeFrontFrame(container);
    } else if (change == "new") {
        if (windows_.size() < kMaxWindows)
            remember(id, container, true);
    } else if (change == "close") {
        const auto closed = windows_.find(id);
        if (closed == windows_.end())
            return;
        const std::string key = closed->second.key;
        windows_.erase(closed);
        if (std::none_of(windows_.begin(), windows_.end(),
                         [&](const auto& window) { return window.second.key == key; }))
            std::erase(appOrder_, key);
    }
}

std::string SwayWorkspace::keyOf(const RunningApplication& application,
                                 const WindowIdentity& identity) const {
    if (application.bundleIdentifier)
        return "app:" + *application.bundleIdentifier;
    return "pid:" + std::to_string(identity.pid);
}

SwayWorkspace::Window& SwayWorkspace::remember(std::int64_t id, const QJsonObject& container,
                                               bool notify) {
    const WindowIdentity identity = windowIdentityOf(container);
    Window window{.key = {}, .application = lookup_.identify(identity)};
    window.key = keyOf(window.application, identity);
    const bool launched =
        std::find(appOrder_.begin(), appOrder_.end(), window.key) == appOrder_.end();
    if (launched)
        appOrder_.push_back(window.key);
    Window& stored = windows_[id] = std::move(window);
    if (notify && launched && stored.application.activationPolicy == ActivationPolicy::Regular)
        post(kApplicationLaunchedNotification, stored.application);
    return stored;
}

void SwayWorkspace::becomeActive(std::int64_t id, const QJsonObject& container) {
    // A focus event carries the whole container: what it says now is what counts (an app_id
    // may be set after the window appeared).
    const Window& window = remember(id, container, true);
    const bool otherApplication = activeKey_ != window.key;
    activeKey_ = window.key;
    {
        std::lock_guard lock(frontMutex_);
        front_ = window.application;
    }
    if (otherApplication)
        post(kApplicationActivatedNotification, window.application);
}

void SwayWorkspace::takeFrontFrame(const QJsonObject& container) {
    const QJsonObject rect = container.value("rect").toObject();
    const QRect frame(coordinate(rect, "x"), coordinate(rect, "y"), coordinate(rect, "width"),
                      coordinate(rect, "height"));
    if (frame.isEmpty() || frame == frontFrame_)
        return;
    frontFrame_ = frame;
    if (frameObserver_)
        frameObserver_(frame);
}

void SwayWorkspace::setFrontFrameObserver(FrameObserver observer) {
    frameObserver_ = std::move(observer);
}

std::optional<RunningApplication> SwayWorkspace::frontApplication() {
    std::lock_guard lock(frontMutex_);
    return front_;
}

std::vector<RunningApplication> SwayWorkspace::runningApplications() {
    std::vector<RunningApplication> result;
    for (const std::string& key : appOrder_)
        for (const auto& [id, window] : windows_)
            if (window.key == key) {
                result.push_back(window.application);
                break;
            }
    return result;
}

void SwayWorkspace::addObserver(const std::string& name, Observer observer) {
    observers_[name].push_back(std::move(observer));
}

void SwayWorkspace::post(const char* name, const RunningApplication& application) {
    auto it = observers_.find(name);
    if (it == observers_.end())
        return;
    const WorkspaceNotification notification{name, application};
    auto observers = it->second; // an observer may subscribe more
    for (auto& observer : observers)
        observer(notification);
}

std::optional<std::string> SwayWorkspace::applicationPath(const std::string& bundleIdentifier) {
    return lookup_.applicationPath ? lookup_.applicationPath(bundleIdentifier) : std::nullopt;
}

ImagePtr SwayWorkspace::iconForFile(const std::string& path) {
    return lookup_.iconForFile ? lookup_.iconForFile(path) : nullptr;
}

std::string SwayWorkspace::displayNameAtPath(const std::string& path) {
    if (lookup_.displayNameAtPath)
        if (auto name = lookup_.displayNameAtPath(path))
            return *name;
    return Workspace::displayNameAtPath(path);
}

} // namespace velmora::sway
