// SPDX-License-Identifier: MIT
#pragma once
// The workspace on sway: the front application follows sway's window events (change "focus"),
// the running applications are the windows of sway's tree and of later "new" and "close"
// events, grouped by application. sway names a window's application by its Wayland app_id,
// or by its X11 class for XWayland windows; which installed application that is, the program
// decides (IDENTIFY and INSTALLED), as it does on X11.

#include "sway_ipc.h"

#include "platform/application_windows.h"
#include "platform/window_event_workspace.h"

#include <QRect>

#include <cstdint>
#include <functional>
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

class SwayWorkspace final : public WindowEventWorkspace {
  public:
    using Log = std::function<void(const std::string& line)>;
    // The application of a window; its bundle identifier is none when it names none.
    using Identify = std::function<RunningApplication(const WindowIdentity&)>;
    // A tree that deep or with that many windows (ApplicationWindows) is read no further.
    static constexpr int kMaxTreeDepth = 64;
    // Window coordinates beyond any desktop are cut to this.
    static constexpr int kFarthestCoordinate = 1'000'000;

    // Takes TREE (sway's GET_TREE answer) as what runs now; events come through IPC.
    SwayWorkspace(SwayIpc& ipc, const QJsonDocument& tree, Identify identify,
                  InstalledApplicationLookup installed, Log log);

    std::vector<RunningApplication> runningApplications() override {
        return windows_.applications();
    }

    // The front window's rectangle in sway's layout coordinates (top-left origin), from the
    // tree at start and from window events: when a window takes the focus, and when the
    // focused one moves, floats or goes full screen. Sizes beyond any desktop are cut.
    using FrameObserver = std::function<void(const QRect& frame)>;
    void setFrontFrameObserver(FrameObserver observer);
    std::optional<QRect> frontFrame() const { return frontFrame_; }

  private:
    void takeTree(const QJsonObject& node, int depth);
    void onWindowEvent(const QJsonObject& event);
    ApplicationWindow remember(std::int64_t id, const QJsonObject& container, bool notify);
    void becomeActive(std::int64_t id, const QJsonObject& container);
    void takeFrontFrame(const QJsonObject& container);

    Identify identify_;
    Log log_;
    ApplicationWindows<std::int64_t> windows_; // by sway's container id
    bool toldTreeCut_ = false;
    std::optional<QRect> frontFrame_;
    FrameObserver frameObserver_;
};

} // namespace velmora::sway
