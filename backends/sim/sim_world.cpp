#include "sim_world.h"

namespace velmora::sim {

RunningApplication SimApp::asRunning() const {
    RunningApplication app;
    app.bundleIdentifier = bundleIdentifier;
    app.localizedName = name;
    if (installed)
        app.bundlePath = "/Applications/" + name + ".app";
    app.activationPolicy = policy;
    return app;
}

std::optional<std::size_t> SimWorld::appIndex(const std::string& bundleIdentifier) const {
    for (std::size_t i = 0; i < apps.size(); ++i)
        if (apps[i].bundleIdentifier == bundleIdentifier)
            return i;
    return std::nullopt;
}

const InputSource* SimWorld::input(const std::string& id) const {
    for (const auto& source : inputs)
        if (source.inputSourceID == id)
            return &source;
    return nullptr;
}

} // namespace velmora::sim
