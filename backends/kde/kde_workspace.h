// SPDX-License-Identifier: MIT
#pragma once
// The workspace on KWin: the front application follows the activations the KWin script tells
// of; the running applications are the windows activated since the agent started that have
// not closed, grouped by application (KWin's scripting tells of no window list at start
// without a call per window). KWin names a window's application by its desktop file name
// and its resource class; which installed application that is, the program decides
// (IDENTIFY and INSTALLED), as it does on X11 and sway.

#include "kwin_activation_script.h"

#include "platform/application_windows.h"
#include "platform/window_event_workspace.h"

#include <QRect>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::kde {

class KdeWorkspace final : public WindowEventWorkspace {
  public:
    using Identify = std::function<RunningApplication(const KWinWindow&)>;
    KdeWorkspace(Identify identify, InstalledApplicationLookup installed);

    // What the script tells. Main thread.
    void windowActivated(const KWinWindow& window);
    void windowMoved(const KWinWindow& window);
    void windowClosed(const std::string& id) { windows_.forget(id); }
    // A window KWin has, told without an activation (a listing): remembered, nothing announced.
    void windowListed(const KWinWindow& window) {
        windows_.remember(window.id, ApplicationWindow(identify_(window), window.pid));
    }

    // The front window's frame in KWin's global coordinates (top-left origin), as the script
    // told it with the activation and with each move or resize of that window since. Empty
    // frames are not taken. Main thread.
    using FrameObserver = std::function<void(const QRect& frame)>;
    void setFrontFrameObserver(FrameObserver observer) { frameObserver_ = std::move(observer); }
    std::optional<QRect> frontFrame() const { return frontFrame_; }

    std::vector<RunningApplication> runningApplications() override {
        return windows_.applications();
    }

  private:
    void takeFrontFrame(const KWinWindow& window);

    Identify identify_;
    ApplicationWindows<std::string> windows_; // by KWin's window id
    std::string frontId_;
    std::optional<QRect> frontFrame_;
    FrameObserver frameObserver_;
};

} // namespace velmora::kde
