// SPDX-License-Identifier: MIT
#pragma once
// What the application chooser offers on X11: the running applications (with a desktop file
// or known by their window class alone), then the installed ones that choosers of the
// desktop offer (desktop_entries.h, offeredInChoosers). Each answers what the file dialog
// would for it: its desktop file's path, or for a window class alone windowClassPath(CLASS)
// (desktop_file_descriptions.h), which the rule editor reads back as that class. The agent
// itself is never offered. Main thread only.

#include "qt/application_chooser_model.h"
#include "x11/desktop_entries.h"

#include "platform/workspace.h"

#include <string_view>
#include <vector>

namespace velmora::program {

// RUNNING as the workspace lists them; INSTALLED the desktop files (scanned with
// x11::EntryKeys::Chooser); LOCALE the messages
// locale; CURRENTDESKTOPS $XDG_CURRENT_DESKTOP.
std::vector<qt::ApplicationChoice>
applicationChoices(const std::vector<RunningApplication>& running,
                   const x11::DesktopEntryIndex& installed, std::string_view locale,
                   std::string_view currentDesktops);

// The same, read now from the workspace, the XDG data folders and the environment.
std::vector<qt::ApplicationChoice> currentApplicationChoices(Workspace& workspace);

} // namespace velmora::program
