// SPDX-License-Identifier: MIT
#include "kwin_activation_script.h"

#include "kwin_script_text.h"
#include "kwin_scripting.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>

#include <algorithm>
#include <limits>

#include <unistd.h>

namespace velmora::kde {

namespace {

constexpr qsizetype kMaxTextCharacters = 512;

std::optional<std::string> usableText(const QString& text) {
    if (text.isEmpty() || text.size() > kMaxTextCharacters ||
        text.contains(QChar::ReplacementCharacter))
        return std::nullopt;
    return text.toStdString();
}

// The number a script wrote, clamped to [LOW, HIGH]; 0 for what is no number.
template <class Integer> Integer clampedNumber(QStringView text, Integer low, Integer high) {
    if (text.size() > 40)
        return 0;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || value != value)
        return 0;
    return static_cast<Integer>(
        std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
}

} // namespace

KWinWindow kwinWindowOf(const QString& id, const QString& desktopFile, const QString& resourceClass,
                        const QString& pid, const QString& geometry) {
    KWinWindow window;
    window.id = id.left(kMaxTextCharacters).toStdString();
    window.desktopFile = usableText(desktopFile);
    window.resourceClass = usableText(resourceClass);
    window.pid = clampedNumber<std::int64_t>(pid, 0, std::numeric_limits<std::int32_t>::max());
    const QList<QStringView> numbers = QStringView(geometry).left(200).split(u',');
    if (numbers.size() == 4) {
        constexpr auto low = std::numeric_limits<std::int32_t>::min();
        constexpr auto high = std::numeric_limits<std::int32_t>::max();
        window.x = clampedNumber<std::int32_t>(numbers[0], low, high);
        window.y = clampedNumber<std::int32_t>(numbers[1], low, high);
        window.width = clampedNumber<std::int32_t>(numbers[2], 0, high);
        window.height = clampedNumber<std::int32_t>(numbers[3], 0, high);
    }
    return window;
}

KWinActivations::KWinActivations(QDBusConnection bus, QString folder, Handlers handlers, Log log)
    : bus_(std::move(bus)), folder_(std::move(folder)),
      pluginName_(QStringLiteral("velmora-activations-%1").arg(::getpid())),
      handlers_(std::move(handlers)), log_(std::move(log)),
      kwinWatch_(kKWinService, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    scriptPath_ = folder_ + QStringLiteral("/kwin-activations-%1.js").arg(::getpid());
    QObject::connect(&kwinWatch_, &QDBusServiceWatcher::serviceOwnerChanged, this,
                     [this](const QString&, const QString&, const QString& owner) {
                         kwinOwner_ = owner;
                         loaded_ = false;
                         if (owner.isEmpty()) {
                             if (handlers_.gone)
                                 handlers_.gone("KWin left the session bus");
                             return;
                         }
                         if (log_)
                             log_("KWin was replaced; loading the script into the new one");
                         loadScript();
                     });
}

KWinActivations::~KWinActivations() {
    if (loaded_ && !kwinOwner_.isEmpty()) {
        // At exit, so that no script of ours is left calling nobody: waits, bounded.
        bus_.call(kwinUnloadScriptCall(pluginName_), QDBus::Block, kCallTimeoutMs);
    }
    QFile::remove(scriptPath_);
    bus_.unregisterObject(kActivationPath);
}

bool KWinActivations::start(std::string* error) {
    if (!bus_.isConnected()) {
        *error = "no session bus: " + bus_.lastError().message().toStdString();
        return false;
    }
    kwinOwner_ = kwinOwner(bus_, kCallTimeoutMs);
    if (kwinOwner_.isEmpty()) {
        *error = "KWin is not on the session bus (org.kde.KWin has no owner)";
        return false;
    }
    if (!bus_.registerObject(kActivationPath, this, QDBusConnection::ExportScriptableSlots)) {
        *error = "could not export the agent's D-Bus object for KWin's script";
        return false;
    }
    loadScript();
    return true;
}

void KWinActivations::loadScript() {
    const QString self = bus_.baseService();
    if (!isUniqueBusName(self)) {
        sayOnce(toldRefused_, "the session bus gave the agent no usable name; no activations");
        return;
    }
    std::string error;
    if (!writeKWinScript(folder_, scriptPath_, kwinActivationScript(self), &error)) {
        sayOnce(toldRefused_, error);
        return;
    }
    // A script of this name that a crashed agent left in KWin would make the load fail.
    bus_.asyncCall(kwinUnloadScriptCall(pluginName_), kCallTimeoutMs);
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(kwinLoadScriptCall(scriptPath_, pluginName_), kCallTimeoutMs), this);
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
            call->deleteLater();
            const QDBusPendingReply<int> reply = *call;
            if (reply.isError() || reply.value() < 0) {
                sayOnce(toldRefused_, "KWin refused the agent's script (" +
                                          (reply.isError() ? reply.error().message().toStdString()
                                                           : std::string("no script id")) +
                                          "): no layout follows the windows");
                return;
            }
            loaded_ = true;
            startScript();
        });
}

void KWinActivations::startScript() {
    auto* watcher =
        new QDBusPendingCallWatcher(bus_.asyncCall(kwinStartScriptsCall(), kCallTimeoutMs), this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                     [this](QDBusPendingCallWatcher* call) {
                         call->deleteLater();
                         const QDBusPendingReply<> reply = *call;
                         if (reply.isError())
                             sayOnce(toldRefused_, "KWin did not run the agent's script (" +
                                                       reply.error().message().toStdString() +
                                                       "): no layout follows the windows");
                     });
}

bool KWinActivations::fromKWin() {
    const QString sender = message().service();
    if (!kwinOwner_.isEmpty() && sender == kwinOwner_)
        return true;
    sayOnce(toldForeign_, "a D-Bus caller other than KWin (" + sender.left(64).toStdString() +
                              ") told of a window; ignored");
    return false;
}

void KWinActivations::windowActivated(const QString& id, const QString& desktopFile,
                                      const QString& resourceClass, const QString& pid,
                                      const QString& geometry) {
    if (fromKWin() && handlers_.activated)
        handlers_.activated(kwinWindowOf(id, desktopFile, resourceClass, pid, geometry));
}

void KWinActivations::windowMoved(const QString& id, const QString& geometry) {
    if (fromKWin() && handlers_.moved)
        handlers_.moved(kwinWindowOf(id, {}, {}, {}, geometry));
}

void KWinActivations::windowClosed(const QString& id) {
    if (fromKWin() && handlers_.closed)
        handlers_.closed(id.left(kMaxTextCharacters).toStdString());
}

void KWinActivations::sayOnce(bool& told, const std::string& line) {
    if (told || !log_)
        return;
    told = true;
    log_(line);
}

} // namespace velmora::kde
