// SPDX-License-Identifier: MIT
#include "editor/application_list.h"

#include "editor/stored_lists.h"
#include "engine/launcher_identifiers.h"

#include <algorithm>
#include <unordered_set>

namespace velmora {

namespace {

bool isListedCandidate(const RunningApplication& application) {
    if (application.activationPolicy == ActivationPolicy::Regular)
        return true;
    return application.bundleIdentifier && isLauncherIdentifier(*application.bundleIdentifier);
}

// Moves the identifiers of ORDER to the front, each once, at its first place in ORDER; the
// others follow in their present order.
void applyStoredOrder(std::vector<std::string>& apps, const std::vector<std::string>& order) {
    std::unordered_set<std::string> remaining(apps.begin(), apps.end());
    std::vector<std::string> ordered;
    ordered.reserve(apps.size());
    for (const auto& bundle : order)
        if (remaining.erase(bundle))
            ordered.push_back(bundle);
    for (auto& bundle : apps)
        if (remaining.count(bundle))
            ordered.push_back(std::move(bundle));
    apps = std::move(ordered);
}

} // namespace

void rebuildApplicationList(std::vector<std::string>& apps, const Settings& settings,
                            Workspace& workspace) {
    const PlistDictionary rules = settings.rules();
    const std::vector<std::string> hidden = storedStrings(settings, keys::kNotDisplayAppName);
    const std::vector<std::string> order = storedStrings(settings, keys::kOrderOfAppsRule);
    const std::unordered_set<std::string> hiddenSet(hidden.begin(), hidden.end());
    std::unordered_set<std::string> listed(apps.begin(), apps.end());

    // Applications with a rule, when they are installed; removed ones too.
    for (const auto& [bundle, ruleRecord] : rules) {
        (void)ruleRecord;
        if (listed.count(bundle) || !workspace.applicationPath(bundle))
            continue;
        apps.push_back(bundle);
        listed.insert(bundle);
    }
    // Running applications, unless the user removed them.
    for (const auto& application : workspace.runningApplications()) {
        if (!isListedCandidate(application) || !application.bundleIdentifier)
            continue;
        const std::string& bundle = *application.bundleIdentifier;
        if (listed.count(bundle) || hiddenSet.count(bundle))
            continue;
        apps.push_back(bundle);
        listed.insert(bundle);
    }
    if (!order.empty())
        applyStoredOrder(apps, order);
}

bool appendLaunchedApplication(std::vector<std::string>& apps, const Settings& settings,
                               const std::optional<RunningApplication>& application) {
    if (!application || !application->bundleIdentifier)
        return false;
    const std::string& bundle = *application->bundleIdentifier;
    if (containsString(storedArray(settings, keys::kNotDisplayAppName), bundle))
        return false;
    if (std::find(apps.begin(), apps.end(), bundle) != apps.end())
        return false;
    apps.push_back(bundle);
    return true;
}

} // namespace velmora
