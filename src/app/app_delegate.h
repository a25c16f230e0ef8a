#pragma once
// The application delegate: owns every part of the agent, wires them together, and carries
// the method names the rest of the program calls.

#include "detection/launcher_detection.h"
#include "engine/activation_dispatcher.h"
#include "engine/input_source_selection.h"
#include "engine/settings.h"
#include "engine/system_notifications.h"
#include "platform/platform.h"

#include <memory>
#include <string>

namespace velmora {

class AppDelegate {
  public:
    explicit AppDelegate(Platform& platform);
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // The live delegate, or nullptr when none exists. Plain functions, timers and the
    // popover's controller reach the agent through it. Only one delegate lives at a time.
    static AppDelegate* appDelegate();

    // Start-up, in its fixed order.
    void applicationDidFinishLaunching();
    // Nothing to save: every stored value was written when it changed.
    void applicationWillTerminate();

    void appChanged(const WorkspaceNotification& notification);
    void delayChangeInputToAppID();
    // The hotkey selection: nothing when ID is current or a launcher is frontmost.
    void changeInputTo(const std::string& id);
    // Shows and hides the delegate's window once, so that the new input source takes hold.
    void reset();

    Platform& platform() { return platform_; }
    Settings& settings() { return settings_; }
    InputSourceSelection& selection() { return selection_; }
    ActivationDispatcher& dispatcher() { return dispatcher_; }
    SystemNotifications& systemNotifications() { return notifications_; }
    LauncherDetection& launchers() { return launchers_; }

    // The delegate's outlet used by reset.
    std::shared_ptr<Window> window;

  private:
    void decideToShowPopover();

    Platform& platform_;
    Settings settings_;
    InputSourceSelection selection_;
    LauncherDetection launchers_;
    ActivationDispatcher dispatcher_;
    SystemNotifications notifications_;
};

} // namespace velmora
