#pragma once
// The simulated desktop: the platform the agent runs on in tests, the demo and headless use.
// Tests and the scenario runner drive it through the control operations below; the agent
// sees only the Platform it hands out. Events reach the agent through the very handlers the
// agent subscribed, as on a real desktop.

#include "app/app_delegate.h"
#include "memory_defaults.h"
#include "platform/platform.h"
#include "sim_images.h"
#include "sim_run_loop.h"
#include "sim_services.h"
#include "sim_world.h"
#include "trace.h"
#include "tracing_defaults.h"

#include <memory>

namespace velmora::sim {

class SimDesktop {
  public:
    // STORE keeps the defaults domain; without one it lives in memory.
    explicit SimDesktop(UserDefaults* store = nullptr);
    ~SimDesktop();
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    SimWorld& world() { return world_; }
    Trace& trace() { return trace_; }
    SimImages& images() { return images_; }
    SimRunLoop& runLoop() { return runLoop_; }
    Platform& platform() { return platform_; }
    // The store as another program sees it: writes here are not traced.
    UserDefaults& rawStore() { return *store_; }
    // The agent, once launched.
    AppDelegate* agent() { return agent_.get(); }

    // Runs main: the agent starts at the current time. Once only.
    void launch();
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

    // Makes ID current; posts the input-source-changed notification when it changed.
    void makeCurrent(const std::string& inputSourceID);
    // The index of BUNDLE in the application list, declaring it when unknown.
    std::size_t ensureApp(const std::string& bundleIdentifier);

  private:
    void postWorkspace(const std::string& name, const std::optional<RunningApplication>& app);

    SimWorld world_;
    SimRunLoop runLoop_;
    Trace trace_;
    MemoryDefaults memoryStore_;
    UserDefaults* store_;
    TracingDefaults tracingDefaults_;
    SimInputSources inputSources_;
    SimWorkspace workspace_;
    SimDistributedCenter distributed_;
    SimEventMonitor eventMonitor_;
    SimWindowList windowList_;
    SimScreens screens_;
    SimCursor cursor_;
    SimChildProcess childProcess_;
    SimImages images_;
    SimApplication application_;
    SimViews views_;
    Platform platform_;
    std::unique_ptr<AppDelegate> agent_;
};

} // namespace velmora::sim
