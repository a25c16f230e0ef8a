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

SwayWorkspace::SwayWorkspace(SwayIpc& ipc, const QJsonDocument& tree, Identify identify,
                             InstalledApplicationLookup installed, Log log)
    : WindowEventWorkspace(std::move(installed)), identify_(std::move(identify)),
      log_(std::move(log)) {
    takeTree(tree.object(), 0);
    ipc.onEvent(kWindowEvent, [this](const QJsonObject& event) { onWindowEvent(event); });
}

void SwayWorkspace::takeTree(const QJsonObject& node, int depth) {
    if (depth > kMaxTreeDepth || windows_.full()) {
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
        if (!windows_.full())
            remember(id, container, true);
    } else if (change == "close") {
        windows_.forget(id);
    }
}

ApplicationWindow SwayWorkspace::remember(std::int64_t id, const QJsonObject& container,
                                          bool notify) {
    const WindowIdentity identity = windowIdentityOf(container);
    const ApplicationWindow window(identify_(identity), identity.pid);
    if (windows_.remember(id, window) && notify)
        launched(window);
    return window;
}

void SwayWorkspace::becomeActive(std::int64_t id, const QJsonObject& container) {
    // A focus event carries the whole container: what it says now is what counts (an app_id
    // may be set after the window appeared).
    activated(remember(id, container, true));
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

} // namespace velmora::sway
