// SPDX-License-Identifier: MIT
#include "gnome_shell_extension.h"

#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>

#include <algorithm>
#include <utility>

namespace velmora::gnome {

namespace {

constexpr const char* kShellPath = "/org/gnome/Shell";
constexpr const char* kExtensionsInterface = "org.gnome.Shell.Extensions";

} // namespace

GnomeShellExtension::GnomeShellExtension(QDBusConnection bus, Log log)
    : bus_(std::move(bus)), log_(std::move(log)),
      shellWatch_(kShellService, bus_, QDBusServiceWatcher::WatchForOwnerChange) {}

void GnomeShellExtension::start(Handlers handlers) {
    handlers_ = std::move(handlers);
    // Qt lets through only the signals whose sender owns org.gnome.Shell now.
    bus_.connect(kShellService, kExtensionPath, kExtensionInterface, "FocusChanged", this,
                 SLOT(onFocusChanged(QDBusMessage)));
    bus_.connect(kShellService, kExtensionPath, kExtensionInterface, "CurrentInputSourceChanged",
                 this, SLOT(onCurrentChanged(QDBusMessage)));
    bus_.connect(kShellService, kExtensionPath, kExtensionInterface, "InputSourcesChanged", this,
                 SLOT(onSourcesChanged()));
    bus_.connect(kShellService, kShellPath, kExtensionsInterface, "ExtensionStateChanged", this,
                 SLOT(onExtensionStateChanged(QDBusMessage)));
    QObject::connect(&shellWatch_, &QDBusServiceWatcher::serviceOwnerChanged, this,
                     [this](const QString&, const QString&, const QString& owner) {
                         if (!owner.isEmpty()) {
                             probe();
                             return;
                         }
                         answering_ = false;
                         if (handlers_.gone)
                             handlers_.gone("GNOME Shell left the session bus");
                     });
    probe();
}

void GnomeShellExtension::call(const char* method, const QList<QVariant>& arguments, Reply done) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(kShellService, kExtensionPath, kExtensionInterface, method);
    message.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message, kCallTimeoutMs), this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                     [done = std::move(done)](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         done(finished->reply());
                     });
}

void GnomeShellExtension::probe() {
    if (probing_) {
        probeAgain_ = true; // what it answers may be older than the news
        return;
    }
    probing_ = true;
    call("GetVersion", {}, [this](const QDBusMessage& reply) {
        probing_ = false;
        if (std::exchange(probeAgain_, false)) {
            probe();
            return;
        }
        if (reply.type() == QDBusMessage::ReplyMessage && reply.signature() == QLatin1String("u")) {
            const bool again = answering_;
            answering_ = true;
            if (!again && log_)
                log_("GNOME Shell's extension answers (interface version " +
                     std::to_string(reply.arguments().constFirst().toUInt()) + ")");
            // The sources first: the extension answers in order, so the focus finds them.
            if (handlers_.appeared)
                handlers_.appeared();
            call("GetFocus", {}, [this](const QDBusMessage& focus) {
                if (const std::optional<GnomeFocus> read = focusOf(focus))
                    handlers_.focus(*read);
                else
                    sayOnce("GNOME Shell's extension gave no usable focus (" +
                            focus.errorMessage().left(200).toStdString() + ")");
            });
            return;
        }
        answering_ = false;
        if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.AccessDenied")) {
            sayOnce("GNOME Shell's extension refused the agent: the extension answers the owner "
                    "of com.quorvant.Velmora alone");
            return;
        }
        // Why it does not answer, from GNOME itself.
        QDBusMessage info = QDBusMessage::createMethodCall(
            kShellService, kShellPath, kExtensionsInterface, "GetExtensionInfo");
        info << QString::fromLatin1(kExtensionUuid);
        auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(info, kCallTimeoutMs), this);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                         [this](QDBusPendingCallWatcher* finished) {
                             finished->deleteLater();
                             lost(describe(extensionStateOf(finished->reply())));
                         });
    });
}

void GnomeShellExtension::lost(const std::string& why) {
    answering_ = false;
    sayOnce("GNOME Shell: " + why + "; no input source follows the windows until it answers");
    sayOnce(enableAdvice());
}

void GnomeShellExtension::onFocusChanged(const QDBusMessage& message) {
    const std::optional<GnomeFocus> focus = focusOf(message);
    if (!focus) {
        sayOnce("GNOME Shell's extension told of a focus of signature \"" +
                message.signature().left(64).toStdString() + "\"; ignored");
        return;
    }
    if (!answering_)
        probe(); // it is back before GNOME said so
    handlers_.focus(*focus);
}

void GnomeShellExtension::onCurrentChanged(const QDBusMessage& message) {
    const std::optional<std::pair<QString, QString>> current = currentOf(message);
    if (!current) {
        sayOnce("GNOME Shell's extension told of an input source of signature \"" +
                message.signature().left(64).toStdString() + "\"; ignored");
        return;
    }
    handlers_.currentSource(current->first, current->second);
}

void GnomeShellExtension::onSourcesChanged() {
    handlers_.sourcesChanged();
}

void GnomeShellExtension::onExtensionStateChanged(const QDBusMessage& message) {
    if (message.signature() != QLatin1String("sa{sv}") ||
        message.arguments().constFirst().toString() != QLatin1String(kExtensionUuid))
        return;
    const ExtensionState state =
        extensionStateOf(qdbus_cast<QVariantMap>(message.arguments().at(1)));
    if (state == ExtensionState::Enabled) {
        probe();
    } else if (answering_) {
        if (log_)
            log_(std::string("GNOME Shell: ") + describe(state) +
                 "; the agent waits for it to be enabled again");
        answering_ = false;
    }
}

void GnomeShellExtension::sayOnce(const std::string& line) {
    if (!log_ || std::find(said_.begin(), said_.end(), line) != said_.end())
        return;
    said_.push_back(line);
    log_(line);
}

} // namespace velmora::gnome
