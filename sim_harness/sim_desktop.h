// SPDX-License-Identifier: MIT
#pragma once
// The agent on the simulated desktop: the desktop's fakes, the store the agent writes through
// (each write and flush traced), and the AppDelegate built on them once launched. Tests, the
// scenario runner and the benchmarks use it.

#include "app/app_delegate.h"
#include "sim/memory_defaults.h"
#include "sim/sim_platform.h"
#include "tracing_defaults.h"

#include <memory>

namespace velmora::sim {

class SimDesktop : public SimPlatform {
  public:
    // STORE keeps the defaults domain; without one it lives in memory.
    explicit SimDesktop(UserDefaults* store = nullptr);
    ~SimDesktop() override;

    Platform& platform() { return platform_; }
    // The store as another program sees it: writes here are not traced.
    UserDefaults& rawStore() { return *store_; }
    // The agent, once launched.
    AppDelegate* agent() { return agent_.get(); }

    // Runs main: the agent starts at the current time. Once only.
    void launch();

    // The popover's content controller and its views as the simulated desktop made them;
    // nullptr before launch, or before the controller's view has loaded.
    PopoverViewController* popoverController();
    SimTableView* ruleTable();
    SimButton* layoutButton(std::shared_ptr<Button> PopoverLayout::*button);

  private:
    MemoryDefaults memoryStore_;
    UserDefaults* store_;
    TracingDefaults tracingDefaults_;
    Platform platform_;
    std::unique_ptr<AppDelegate> agent_;
};

} // namespace velmora::sim
