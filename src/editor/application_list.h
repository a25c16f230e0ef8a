// SPDX-License-Identifier: MIT
#pragma once
// The application list behind the rule table: rebuilt each time the popover is about to
// show, and grown when an application is launched.

#include "engine/settings.h"
#include "platform/workspace.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Appends to APPS the installed applications that have a rule, then the running regular
// applications (and the launchers, whatever their policy) that the user has not removed,
// then moves the identifiers of the stored order to the front, in that order. Identifiers
// already listed keep their row.
void rebuildApplicationList(std::vector<std::string>& apps, const Settings& settings,
                            Workspace& workspace);

// Appends a launched application unless it has no bundle identifier, is already listed or
// was removed by the user. True when it was appended.
bool appendLaunchedApplication(std::vector<std::string>& apps, const Settings& settings,
                               const std::optional<RunningApplication>& application);

} // namespace velmora
