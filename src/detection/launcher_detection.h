#pragma once
// Spotlight and Alfred panels: their open flags and the state of their detection.

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

class LauncherDetection {
  public:
    // Called for every application activation: a panel is no longer in force.
    void clearFlags() {
        spotlightWindiwOpened = false;
        alfredWindiwOpened = false;
    }

    bool spotlightWindiwOpened = false;
    bool alfredWindiwOpened = false;
    std::optional<std::string> realAlfredAppID;
    double timeOfLastModifierFlagsDown = 0.0;
    std::uint64_t lastFlags = 0;
};

} // namespace velmora
