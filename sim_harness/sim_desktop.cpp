// SPDX-License-Identifier: MIT
#include "sim_desktop.h"

#include "shortcut_views.h"

namespace velmora::sim {

SimDesktop::SimDesktop(UserDefaults* store)
    : store_(store ? store : &memoryStore_), tracingDefaults_(*store_, trace()),
      platform_(platformWith(tracingDefaults_)) {}

// The agent, the last member, goes first: its timers and observers refer to the services.
SimDesktop::~SimDesktop() = default;

void SimDesktop::launch() {
    startProgram();
    agent_ = std::make_unique<AppDelegate>(platform_);
    agent_->applicationDidFinishLaunching();
}

PopoverViewController* SimDesktop::popoverController() {
    return agent_ ? agent_->popoverViewController() : nullptr;
}

SimTableView* SimDesktop::ruleTable() {
    auto* controller = popoverController();
    if (!controller)
        return nullptr;
    return dynamic_cast<SimTableView*>(controller->outlets().velmoraTableView.get());
}

SimTableView* shortcutTable(SimDesktop& desktop) {
    auto* controller = desktop.popoverController();
    if (!controller)
        return nullptr;
    return dynamic_cast<SimTableView*>(controller->outlets().shortcutTableView.get());
}

SimButton* SimDesktop::layoutButton(std::shared_ptr<Button> PopoverLayout::*button) {
    auto* controller = popoverController();
    if (!controller)
        return nullptr;
    return dynamic_cast<SimButton*>((controller->outlets().*button).get());
}

} // namespace velmora::sim
