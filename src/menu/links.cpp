// SPDX-License-Identifier: MIT
#include "menu/links.h"

namespace velmora {

namespace {
std::string configuredOr(Application& application, const char* key, std::string fallback) {
    auto configured = application.objectForInfoDictionaryKey(key);
    return configured && !configured->empty() ? *configured : fallback;
}
} // namespace

std::optional<std::string> reviewURL(Application& application) {
    auto configured = application.objectForInfoDictionaryKey(kVelmoraReviewURLKey);
    if (!configured || configured->empty())
        return std::nullopt;
    return configured;
}

std::string supportURL(Application& application) {
    return configuredOr(application, kVelmoraSupportURLKey,
                        std::string(kVelmoraWebsite) + "/support");
}

std::string videoURL(Application& application) {
    return configuredOr(application, kVelmoraVideoURLKey, std::string(kVelmoraWebsite) + "/videos");
}

} // namespace velmora
