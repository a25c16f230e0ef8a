// SPDX-License-Identifier: MIT
#include "kwin_window_listing.h"

#include "kwin_script_text.h"
#include "kwin_scripting.h"

#include <QDBusReply>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>

#include <unistd.h>

namespace velmora::kde {

KWinWindowListing::KWinWindowListing(QDBusConnection bus, QString folder)
    : bus_(std::move(bus)), folder_(std::move(folder)),
      plugin_(QStringLiteral("velmora-windows-%1").arg(::getpid())),
      file_(folder_ + QStringLiteral("/kwin-windows-%1.js").arg(::getpid())) {}

std::optional<std::vector<KWinWindow>> KWinWindowListing::list(int timeoutMs, std::string* why) {
    QDeadlineTimer deadline(timeoutMs);
    kwinOwner_ = kwinOwner(bus_, timeoutMs);
    if (kwinOwner_.isEmpty()) {
        *why = "KWin is not on the session bus (org.kde.KWin has no owner)";
        return std::nullopt;
    }
    if (!isUniqueBusName(bus_.baseService()) ||
        !bus_.registerObject(kListingPath, this, QDBusConnection::ExportScriptableSlots)) {
        *why = "could not export a D-Bus object for KWin's script";
        return std::nullopt;
    }
    const bool ran = runScript(int(std::max<qint64>(1, deadline.remainingTime())), why);
    if (ran && !complete_) {
        // The script's calls arrive in order: "listed" comes after every window.
        QEventLoop loop;
        QObject::connect(this, &KWinWindowListing::complete, &loop, &QEventLoop::quit);
        QTimer::singleShot(std::max<qint64>(0, deadline.remainingTime()), &loop, &QEventLoop::quit);
        loop.exec();
    }
    // Done or too late: a script that never called back will not be run by anyone else.
    bus_.call(kwinUnloadScriptCall(plugin_), QDBus::Block, kUnloadTimeoutMs);
    QFile::remove(file_);
    bus_.unregisterObject(kListingPath);
    if (!ran)
        return std::nullopt;
    if (!complete_) {
        *why = "KWin's script did not list the windows within " + std::to_string(timeoutMs) + " ms";
        return std::nullopt;
    }
    return std::move(windows_);
}

bool KWinWindowListing::runScript(int timeoutMs, std::string* why) {
    if (!writeKWinScript(folder_, file_, kwinListingScript(bus_.baseService()), why))
        return false;
    const QDBusReply<int> id =
        bus_.call(kwinLoadScriptCall(file_, plugin_), QDBus::Block, timeoutMs);
    bool ran = id.isValid() && id.value() >= 0;
    if (!ran) {
        *why = "KWin refused the script that lists its windows (" +
               (id.isValid() ? std::string("no script id") : id.error().message().toStdString()) +
               ")";
    } else if (const QDBusMessage start =
                   bus_.call(kwinStartScriptsCall(), QDBus::Block, timeoutMs);
               start.type() != QDBusMessage::ReplyMessage) {
        *why = "KWin did not run the script that lists its windows (" +
               start.errorMessage().toStdString() + ")";
        ran = false;
    }
    return ran;
}

bool KWinWindowListing::fromKWin() const {
    return message().service() == kwinOwner_;
}

void KWinWindowListing::window(const QString& id, const QString& desktopFile,
                               const QString& resourceClass, const QString& pid,
                               const QString& geometry) {
    if (fromKWin() && !complete_ && windows_.size() < kMaxWindows)
        windows_.push_back(kwinWindowOf(id, desktopFile, resourceClass, pid, geometry));
}

void KWinWindowListing::listed() {
    if (!fromKWin() || complete_)
        return;
    complete_ = true;
    Q_EMIT complete();
}

} // namespace velmora::kde
