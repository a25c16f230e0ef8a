// SPDX-License-Identifier: MIT
#include "sim_platform.h"

#include "platform/application.h"

namespace velmora::sim {

SimPlatform::SimPlatform()
    : trace_([this] { return runLoop_.now(); }), inputSources_(*this), workspace_(world_, trace_),
      distributed_(world_), eventMonitor_(world_), windowList_(world_), screens_(world_),
      cursor_(world_), childProcess_(world_, trace_), application_(*this), views_(trace_),
      propertyListFiles_(world_), hotKeys_(trace_), loginItems_(world_, trace_) {}

SimPlatform::~SimPlatform() = default;

Platform SimPlatform::platformWith(UserDefaults& defaults) {
    return Platform{defaults,      inputSources_,       workspace_, distributed_,
                    eventMonitor_, windowList_,         screens_,   cursor_,
                    runLoop_,      childProcess_,       images_,    application_,
                    views_,        &propertyListFiles_, &hotKeys_,  &loginItems_};
}

void SimPlatform::startProgram() {
    // The program itself runs from now on, as an accessory application.
    if (!world_.appIndex(kOwnBundleIdentifier)) {
        SimApp self;
        self.bundleIdentifier = kOwnBundleIdentifier;
        self.name = kOwnDisplayName;
        self.owner = kOwnDisplayName;
        self.policy = ActivationPolicy::Accessory;
        world_.apps.push_back(self);
    }
    if (!world_.currentSetExplicitly && !world_.currentInputID) {
        for (const auto& source : world_.inputs) {
            if (source.category == kKeyboardLayoutCategory) {
                world_.currentInputID = source.inputSourceID;
                break;
            }
        }
    }
}

std::size_t SimPlatform::ensureApp(const std::string& bundleIdentifier) {
    if (auto index = world_.appIndex(bundleIdentifier))
        return *index;
    SimApp app;
    app.bundleIdentifier = bundleIdentifier;
    app.name = bundleIdentifier;
    app.owner = bundleIdentifier;
    app.running = false;
    world_.apps.push_back(app);
    return world_.apps.size() - 1;
}

void SimPlatform::postWorkspace(const std::string& name,
                                const std::optional<RunningApplication>& app) {
    auto it = world_.workspaceObservers.find(name);
    if (it == world_.workspaceObservers.end())
        return;
    WorkspaceNotification notification{name, app};
    auto observers = it->second; // a handler may subscribe more
    for (auto& observer : observers)
        observer(notification);
}

void SimPlatform::activate(const std::optional<std::string>& bundleIdentifier) {
    if (!bundleIdentifier) {
        // An application without a bundle identifier: the first declared one, else a new one.
        std::optional<std::size_t> index;
        for (std::size_t i = 0; i < world_.apps.size(); ++i)
            if (!world_.apps[i].bundleIdentifier) {
                index = i;
                break;
            }
        if (!index) {
            SimApp app;
            app.name = "Untitled";
            app.owner = app.name;
            world_.apps.push_back(app);
            index = world_.apps.size() - 1;
        }
        world_.frontmost = index;
        postWorkspace(kApplicationActivatedNotification, world_.apps[*index].asRunning());
        return;
    }
    std::size_t index = ensureApp(*bundleIdentifier);
    world_.apps[index].running = true;
    world_.frontmost = index;
    postWorkspace(kApplicationActivatedNotification, world_.apps[index].asRunning());
}

void SimPlatform::activateWithoutApplication() {
    postWorkspace(kApplicationActivatedNotification, std::nullopt);
}

void SimPlatform::unhide(const std::string& bundleIdentifier) {
    std::size_t index = ensureApp(bundleIdentifier);
    postWorkspace(kApplicationUnhiddenNotification, world_.apps[index].asRunning());
}

void SimPlatform::launchApp(const std::string& bundleIdentifier) {
    std::size_t index = ensureApp(bundleIdentifier);
    // A started application joins the end of the running list.
    SimApp app = world_.apps[index];
    app.running = true;
    if (world_.frontmost && *world_.frontmost > index)
        --*world_.frontmost;
    else if (world_.frontmost && *world_.frontmost == index)
        world_.frontmost = world_.apps.size() - 1;
    world_.apps.erase(world_.apps.begin() + static_cast<std::ptrdiff_t>(index));
    world_.apps.push_back(app);
    postWorkspace(kApplicationLaunchedNotification, app.asRunning());
}

void SimPlatform::quitApp(const std::string& bundleIdentifier) {
    std::size_t index = ensureApp(bundleIdentifier);
    world_.apps[index].running = false;
    if (world_.frontmost == index)
        world_.frontmost.reset();
}

void SimPlatform::programActivates() {
    auto self = world_.appIndex(kOwnBundleIdentifier);
    if (!self || !world_.frontmost || *world_.frontmost == *self)
        return;
    world_.frontmost = self;
    postWorkspace(kApplicationActivatedNotification, world_.apps[*self].asRunning());
}

void SimPlatform::makeCurrent(const std::string& inputSourceID) {
    bool changed = world_.currentInputID != inputSourceID;
    world_.currentInputID = inputSourceID;
    if (changed)
        postDistributed(kSelectedKeyboardInputSourceChangedNotification);
}

void SimPlatform::userSelects(const std::string& inputSourceID) {
    world_.currentInputID = inputSourceID;
    postDistributed(kSelectedKeyboardInputSourceChangedNotification);
}

void SimPlatform::postDistributed(const std::string& name) {
    auto it = world_.distributedObservers.find(name);
    if (it == world_.distributedObservers.end())
        return;
    auto observers = it->second;
    for (auto& observer : observers)
        observer(name);
}

void SimPlatform::postEvent(const Event& event) {
    std::uint64_t bit = 1ull << static_cast<int>(event.type);
    auto monitors = world_.eventMonitors;
    for (auto& [mask, handler] : monitors)
        if (mask & bit)
            handler(event);
}

} // namespace velmora::sim
