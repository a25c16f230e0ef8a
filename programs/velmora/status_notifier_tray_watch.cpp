// SPDX-License-Identifier: MIT
#include "status_notifier_tray_watch.h"

#include <QDBusConnection>

namespace velmora::program {

StatusNotifierTrayWatch::StatusNotifierTrayWatch(ProgramViews& views)
    : watcher_("org.kde.StatusNotifierWatcher", QDBusConnection::sessionBus(),
               QDBusServiceWatcher::WatchForRegistration |
                   QDBusServiceWatcher::WatchForUnregistration) {
    views.announceSystemTrayChanges();
    QObject::connect(&watcher_, &QDBusServiceWatcher::serviceRegistered,
                     [&views] { views.systemTrayChanged(true); });
    QObject::connect(&watcher_, &QDBusServiceWatcher::serviceUnregistered,
                     [&views] { views.systemTrayChanged(false); });
}

} // namespace velmora::program
