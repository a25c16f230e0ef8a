// SPDX-License-Identifier: MIT
#pragma once
// The simulated desktop: the world, its virtual clock, the trace and one fake per platform
// service. Tests and the scenario harness drive it through the control operations below; the
// agent sees only the Platform it hands out. Events reach the agent through the very handlers
// the agent subscribed, as on a real desktop.

#include "platform/platform.h"
#include "sim_hot_keys.h"
#include "sim_images.h"
#include "sim_login_items.h"
#include "sim_run_loop.h"
#include "sim_services.h"
#include "sim_view_factory.h"
#include "sim_world.h"
#include "trace.h"

namespace velmora::sim {

class SimPlatform {
  public:
    SimPlatform();
    virtual ~SimPlatform();
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    SimWorld& world() { return world_; }
    Trace& trace() { return trace_; }
    SimImages& images() { return images_; }
    SimRunLoop& runLoop() { return runLoop_; }
    SimViews& views() { return views_; }
    SimGlobalShortcuts& hotKeys() { return hotKeys_; }
    ChildProcess& childProcess() { return childProcess_; }

    // Every service, with DEFAULTS as the store.
    Platform platformWith(UserDefaults& defaults);

    // The program itself starts running (an accessory application), and the first declared
    // keyboard input source becomes current unless the scenario chose one.
    void startProgram();
    void advanceTo(std::int64_t t) { runLoop_.runUntil(t); }

    // World changes with the notifications a real desktop would post.
    void activate(const std::optional<std::string>& bundleIdentifier); // none: no bundle id
    void activateWithoutApplication();
    void unhide(const std::string& bundleIdentifier);
    void launchApp(const std::string& bundleIdentifier);
    void quitApp(const std::string& bundleIdentifier);
    void userSelects(const std::string& inputSourceID);
    void postDistributed(const std::string& name);
    void postEvent(const Event& event);

    // The program activates itself: while another application is frontmost, the program
    // becomes frontmost and the activation is posted for it.
    void programActivates();

    // Makes ID current; posts the input-source-changed notification when it changed.
    void makeCurrent(const std::string& inputSourceID);
    // The index of BUNDLE in the application list, declaring it when unknown.
    std::size_t ensureApp(const std::string& bundleIdentifier);

  private:
    void postWorkspace(const std::string& name, const std::optional<RunningApplication>& app);

    SimWorld world_;
    SimRunLoop runLoop_;
    Trace trace_;
    SimInputSources inputSources_;
    SimWorkspace workspace_;
    SimDesktopBroadcasts distributed_;
    SimEventMonitor eventMonitor_;
    SimWindowList windowList_;
    SimScreens screens_;
    SimCursor cursor_;
    SimChildProcess childProcess_;
    SimImages images_;
    SimApplication application_;
    SimViews views_;
    SimPropertyListFiles propertyListFiles_;
    SimGlobalShortcuts hotKeys_;
    SimLoginItems loginItems_;
};

} // namespace velmora::sim
