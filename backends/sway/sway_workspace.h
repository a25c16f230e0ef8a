// SPDX-License-Identifier: MIT
#pragma once
// The workspace on sway: the front application follows sway's window events (change "focus"),
// the running applications are the windows of sway's tree and of later "new" and "close"
// events, grouped by application. sway names a window's application by its Wayland app_id,
// or by its X11 class for XWayland windows; which installed application that is, the program
// decides (LOOKUP), as it does on X11.

#include "sway_ipc.h"

#include "platform/workspace.h"

#include <QRect>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace velmora::sway {

// What sway says about a window's application. Text that is empty, too long or was no UTF-8
// (sway passes on what clients set) counts as not given.
struct WindowIdentity {
    std::optional<std::string> appId;       // Wayland windows
    std::optional<std::string> windowClass; // XWayland windows: window_properties.class
    std::int64_t pid = 0;                   // 0 when unknown
};

WindowIdentity windowIdentityOf(const QJsonObject& container);

// Installed applications as the program knows them.
struct ApplicationLookup {
    // The application of a window; its bundle identifier is none when it names none.
    std::function<RunningApplication(const WindowIdentity&)> identify;
    std::function<std::optional<std::string>(const std::string& bundleIdentifier)> applicationPath;
    std::function<ImagePtr(const std::string& path)> iconForFile;
    std::function<std::optional<std::string>(const std::string& path)> displayNameAtPath;
};

class SwayWorkspace final : public Workspace {
  public:
    using Log = std::function<void(const std::string& line)>;
    // A tree that deep or that many windows is read no further.
    static constexpr int kMaxTreeDepth = 64;
    static constexpr std::size_t kMaxWindows = 10000;
    // Window coordinates beyond any desktop are cut to this.
    static constexpr int kFarthestCoordinate = 1'000'000;

    // Takes TREE (sway's GET_TREE answer) as what runs now; events come through IPC.
    SwayWorkspace(SwayIpc& ipc, const QJsonDocument& tree, ApplicationLookup lookup, Log log);

    // Any thread.
    std::optional<RunningApplication> frontApplication() override;
    std::vector<RunningApplication> runningApplications() override;
    void addObserver(const std::string& name, Observer observer) override;
    std::optional<std::string> applicationPath(const std::string& bundleIdentifier) override;
    ImagePtr iconForFile(const std::string& path) override;
    std::string displayNameAtPath(const std::string& path) override;
    // URLs go to OPENER (the desktop's URL handler); without one nothing is opened.
    using URLOpener = std::function<bool(const std::string& url)>;
    void setURLOpener(URLOpener opener) { urlOpener_ = std::move(opener); }
    bool openURL(const std::string& url) override { return urlOpener_ && urlOpener_(url); }

    // The front window's rectangle in sway's layout coordinates (top-left origin), from the
    // tree at start and from window events: when a window takes the focus, and when the
    // focused one moves, floats or goes full screen. Sizes beyond any desktop are cut.
    using FrameObserver = std::function<void(const QRect& frame)>;
    void setFrontFrameObserver(FrameObserver observer);
    std::optional<QRect> frontFrame() const { return frontFrame_; }

  private:
    struct Window {
        std::string key; // of its application
        RunningApplication application;
    };

    void takeTree(const QJsonObject& node, int depth);
    void onWindowEvent(const QJsonObject& event);
    Window& remember(std::int64_t id, const QJsonObject& container, bool notify);
    void becomeActive(std::int64_t id, const QJsonObject& container);
    void takeFrontFrame(const QJsonObject& container);
    std::string keyOf(const RunningApplication& application, const WindowIdentity& identity) const;
    void post(const char* name, const RunningApplication& application);

    ApplicationLookup lookup_;
    Log log_;
    std::map<std::int64_t, Window> windows_; // by sway's container id
    std::vector<std::string> appOrder_;      // application keys, by first appearance
    std::optional<std::string> activeKey_;
    bool toldTreeCut_ = false;
    std::map<std::string, std::vector<Observer>> observers_;
    URLOpener urlOpener_;
    std::optional<QRect> frontFrame_;
    FrameObserver frameObserver_;

    // The front application as the main thread last saw it, for other threads.
    mutable std::mutex frontMutex_;
    std::optional<RunningApplication> front_;
};

} // namespace velmora::sway
