// SPDX-License-Identifier: MIT
#pragma once
// Every platform service the agent uses, handed to the core as one aggregate.

#include "platform/application.h"
#include "platform/application_descriptions.h"
#include "platform/child_process.h"
#include "platform/chrome_browsers.h"
#include "platform/cursor.h"
#include "platform/desktop_facts.h"
#include "platform/distributed_notifications.h"
#include "platform/event_monitor.h"
#include "platform/hot_keys.h"
#include "platform/images.h"
#include "platform/login_items.h"
#include "platform/run_loop.h"
#include "platform/screens.h"
#include "platform/text_input_sources.h"
#include "platform/user_defaults.h"
#include "platform/views.h"
#include "platform/window_list.h"
#include "platform/workspace.h"

namespace velmora {

struct Platform {
    UserDefaults& defaults;
    InputSources& inputSources;
    Workspace& workspace;
    DesktopBroadcasts& distributedNotifications;
    EventMonitor& eventMonitor;
    WindowList& windowList;
    Screens& screens;
    SystemCursor& cursor;
    RunLoop& runLoop;
    ChildProcess& childProcess;
    Images& images;
    Application& application;
    ViewFactory& views;
    // Services a desktop may lack; nullptr when it does (each user says what that means).
    ApplicationDescriptions* applicationDescriptions = nullptr;
    GlobalShortcuts* hotKeyCenter = nullptr; // the shared centre
    LoginItems* loginItems = nullptr;
    // How this desktop names Google Chrome; the identifiers of the simulated desktop unless
    // the desktop says otherwise.
    ChromeBrowsers chromeBrowsers{};
    // What this desktop does and shows differently; the simulated desktop's unless the desktop
    // says otherwise.
    DesktopFacts facts{};
};

} // namespace velmora
