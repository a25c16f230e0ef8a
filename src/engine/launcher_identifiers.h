// SPDX-License-Identifier: MIT
#pragma once
// Bundle identifiers of the two launchers whose rules apply at once.

#include <string>
#include <string_view>

namespace velmora {

inline constexpr const char* kSpotlightBundleIdentifier = "com.apple.Spotlight";
inline constexpr const char* kAlfredBundleIdentifierPrefix = "com.runningwithcrayons.Alfred";

inline bool isAlfredIdentifier(std::string_view bundleIdentifier) {
    return bundleIdentifier.starts_with(kAlfredBundleIdentifierPrefix);
}

inline bool isLauncherIdentifier(std::string_view bundleIdentifier) {
    return bundleIdentifier == kSpotlightBundleIdentifier || isAlfredIdentifier(bundleIdentifier);
}

} // namespace velmora
