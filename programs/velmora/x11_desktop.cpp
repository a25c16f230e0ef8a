// SPDX-License-Identifier: MIT
#include "x11_desktop.h"

#include "editor/rule_table.h"
#include "qt/log_categories.h"

#include <QAbstractEventDispatcher>
#include <QApplication>

#include <cmath>

namespace velmora::program {

X11Desktop::X11Desktop(x11::X11Connection& connection, PlistFileDefaults& store,
                       bool startedAtLogin, double devicePixelRatio)
    : connection_(connection), store_(store), x11Log_(qt::infoLog(qt::logX11)),
      basics_(startedAtLogin), displayNotifier_(wireDisplay(), QSocketNotifier::Read),
      identities_(connection), xkbInputSources_(connection, basics_.broadcasts, x11Log_),
      sources_(xkbInputSources_, basics_),
      // Windows' own icons are taken at the size the rule table draws them on this screen.
      windowIcons_(connection, basics_.images,
                   static_cast<std::uint32_t>(
                       std::lround(RuleTable::kIconFrame.size.width * devicePixelRatio))),
      workspace_(connection, identities_, x11Log_, &basics_.installed, &windowIcons_),
      windowList_(connection, identities_), screens_(connection, workspace_),
      eventMonitor_(connection, x11Log_), cursor_(connection, x11Log_),
      shown_(&connection, workspace_, basics_, store),
      // The status item shows once a tray comes; the server tells when, so nothing polls.
      trayWatch_(connection, [this](bool present) { shown_.views.systemTrayChanged(present); }),
      hotKeyCenter_(connection, basics_.runLoop, x11Log_),
      platform_(sharedPlatform(
          store, basics_, sources_, shown_,
          {workspace_, eventMonitor_, windowList_, screens_, cursor_, &hotKeyCenter_})) {
    QObject::connect(&displayNotifier_, &QSocketNotifier::activated,
                     [this] { connection_.pump(); });
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &displayNotifier_, [this] { connection_.dispatchQueued(); });
    workspace_.setURLOpener(openURLOnDesktop);
    sources_.followFront(workspace_,
                         {kApplicationActivatedNotification, kApplicationUnhiddenNotification,
                          kLauncherPanelDidOpenNotification, kLauncherPanelDidCloseNotification});
    if (trayWatch_.watching())
        shown_.views.announceSystemTrayChanges();
    shown_.views.setKeyTranslation(keyTranslation([this](std::uint32_t x11Keycode) {
        return hotKeyCenter_.keyCodeOfX11Keycode(x11Keycode);
    }));
}

X11Desktop::~X11Desktop() {
    shown_.views.setKeyTranslation({}); // the hotkey centre goes first
}

int X11Desktop::wireDisplay() {
    // The display's events reach the services on the main thread. When the server goes away
    // and this connection hears of it first, everything is saved at once; otherwise Qt ends
    // the process with its own message, and the store is saved on the way out (the agent keeps
    // it static for that).
    connection_.setWakeMainThread([this] { basics_.runLoop.dispatchAsyncMain([] {}); });
    connection_.setConnectionLostHandler([this] {
        basics_.info.log("lost the connection to the X display " + connection_.displayName() +
                         "; settings saved, exiting");
        store_.synchronize();
        QApplication::exit(1);
    });
    return connection_.fileDescriptor();
}

} // namespace velmora::program
