// SPDX-License-Identifier: MIT
#pragma once
// A fresh agent on a fresh simulated desktop, with helpers to set the world up and read the
// trace. Every test builds its own, so no state leaks between tests.

#include "platform/window_list.h"
#include "sim_desktop.h"

#include <algorithm>
#include <string>
#include <vector>

namespace velmora::testing {

inline constexpr const char* kABC = "com.apple.keylayout.ABC";
inline constexpr const char* kGerman = "com.apple.keylayout.German";
inline constexpr const char* kRussian = "com.apple.keylayout.Russian";

inline PlistDictionary rect(PlistValue x, PlistValue y, PlistValue w, PlistValue h) {
    return {{"X", x}, {"Y", y}, {"Width", w}, {"Height", h}};
}

// A window-list entry of a window on screen.
inline PlistDictionary onscreenWindow(const std::string& owner, PlistDictionary bounds,
                                      int layer = 0) {
    return {{kWindowOwnerNameKey, owner},
            {kWindowLayerKey, layer},
            {kWindowIsOnscreenKey, true},
            {kWindowBoundsKey, PlistValue(std::move(bounds))}};
}

class SimAgent {
  public:
    SimAgent() {
        addInput(kABC, "ABC");
        addInput(kGerman, "German");
        addInput(kRussian, "Russian");
        desktop.world().currentInputID = kABC;
        addApp("com.example.a", "Alpha");
        addApp("com.example.b", "Beta");
        addApp("com.example.c", "Gamma");
    }

    void addInput(const std::string& id, const std::string& name, bool enabled = true) {
        InputSource source;
        source.inputSourceID = id;
        source.localizedName = name;
        source.isEnabled = enabled;
        source.nativeHandle = static_cast<std::int64_t>(desktop.world().inputs.size());
        desktop.world().inputs.push_back(source);
    }

    void addApp(const std::string& bundle, const std::string& name,
                ActivationPolicy policy = ActivationPolicy::Regular, bool running = true) {
        sim::SimApp app;
        app.bundleIdentifier = bundle;
        app.name = name;
        app.owner = name;
        app.policy = policy;
        app.running = running;
        desktop.world().apps.push_back(app);
    }

    void setRule(const std::string& bundle, const std::string& id) {
        PlistDictionary rules;
        if (auto existing = desktop.rawStore().objectForKey("velmora");
            existing && existing->dictionary())
            rules = *existing->dictionary();
        rules[bundle] = PlistValue(PlistDictionary{{"id", PlistValue(id)}});
        desktop.rawStore().setObjectForKey(PlistValue(rules), "velmora");
    }

    // Launches at the current time and forgets the start-up lines of the trace.
    void launch() {
        desktop.launch();
        desktop.trace().clear();
    }

    void at(std::int64_t t) { desktop.advanceTo(t); }
    std::int64_t now() { return desktop.runLoop().now(); }
    AppDelegate& agent() { return *desktop.agent(); }
    std::string current() { return desktop.world().currentInputID.value_or("none"); }
    const std::vector<std::string>& trace() { return desktop.trace().lines(); }
    std::vector<std::string> traceWith(const std::string& part) {
        std::vector<std::string> out;
        for (const auto& line : trace())
            if (line.find(part) != std::string::npos)
                out.push_back(line);
        return out;
    }
    std::optional<PlistValue> stored(const std::string& key) {
        return desktop.rawStore().objectForKey(key);
    }

    sim::SimDesktop desktop;
};

using Lines = std::vector<std::string>;

} // namespace velmora::testing
