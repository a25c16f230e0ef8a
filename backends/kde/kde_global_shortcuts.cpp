// SPDX-License-Identifier: MIT
#include "kde_global_shortcuts.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>

#include <algorithm>

// A key sequence as kglobalaccel sends it, (ai): up to four keys, unused ones 0. Plasma 5.27
// and 6 both take it (setShortcutKeys); the older list of ints is gone from Plasma 6.
struct WireKeySequence {
    QList<int> keys;
};
Q_DECLARE_METATYPE(WireKeySequence)

static QDBusArgument& operator<<(QDBusArgument& out, const WireKeySequence& sequence) {
    out.beginStructure();
    out << sequence.keys;
    out.endStructure();
    return out;
}

static const QDBusArgument& operator>>(const QDBusArgument& in, WireKeySequence& sequence) {
    in.beginStructure();
    in >> sequence.keys;
    in.endStructure();
    return in;
}

namespace velmora::kde {

namespace {

constexpr const char* kService = "org.kde.kglobalaccel";
constexpr const char* kComponent = "velmora";
constexpr qsizetype kMaxActionCharacters = 256;
// kglobalaccel's setShortcut flags: SetPresent (2) | NoAutoloading (4), the given keys win.
constexpr uint kSetPresentKeys = 2 | 4;

QString actionOf(const HotKeyPtr& hotKey) {
    return QString::fromStdString(hotKey->identifier()).left(kMaxActionCharacters);
}

QDBusMessage serviceCall(const char* method, const QVariantList& arguments) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, "/kglobalaccel", "org.kde.KGlobalAccel", method);
    call.setArguments(arguments);
    return call;
}

QStringList actionId(const QString& action) {
    return {kComponent, action, QStringLiteral("Velmora"), action};
}

} // namespace

KdeGlobalShortcuts::KdeGlobalShortcuts(QDBusConnection bus, Keys keys, Log log)
    : bus_(std::move(bus)), keys_(std::move(keys)), log_(std::move(log)) {
    qDBusRegisterMetaType<WireKeySequence>();
    qDBusRegisterMetaType<QList<WireKeySequence>>();
    QDBusConnectionInterface* daemon = bus_.interface();
    serviceRuns_ = daemon && daemon->isServiceRegistered(QString::fromLatin1(kService)).value();
    bus_.connect(kService, QStringLiteral("/component/%1").arg(kComponent),
                 "org.kde.kglobalaccel.Component", "globalShortcutPressed", this,
                 SLOT(onPressed(QString, QString, qlonglong)));
}

KdeGlobalShortcuts::~KdeGlobalShortcuts() {
    std::set<QString> bound;
    for (const Registration& registration : registrations_)
        if (registration.key)
            bound.insert(actionOf(registration.hotKey));
    // One connection keeps the order: once the last is answered, all were done.
    for (auto it = bound.begin(); it != bound.end(); ++it) {
        const QDBusMessage call = serviceCall("unregister", {QString(kComponent), *it});
        if (std::next(it) == bound.end())
            bus_.call(call, QDBus::Block, kCallTimeoutMs);
        else
            bus_.send(call);
    }
}

void KdeGlobalShortcuts::registerHotKey(const HotKeyPtr& hotKey) {
    if (!hotKey)
        return;
    Registration registration{hotKey, std::nullopt};
    std::string problem;
    if (!serviceRuns_)
        sayOnce("stored hotkeys are off: KDE's global shortcuts service (org.kde.kglobalaccel) is "
                "not running");
    else if (!(registration.key = keys_(hotKey->keyCombo(), &problem)))
        sayOnce("the shortcut of " + hotKey->identifier() + " is not used: " + problem);
    else
        bind(registration);
    registrations_.push_back(std::move(registration));
}

void KdeGlobalShortcuts::bind(const Registration& registration) {
    const QString action = actionOf(registration.hotKey);
    const int key = *registration.key;
    bus_.send(serviceCall("doRegister", {actionId(action)}));
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(
            serviceCall("setShortcut",
                        {actionId(action), QVariant::fromValue(QList<int>{key}), kSetPresentKeys}),
            kCallTimeoutMs),
        this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, action, key](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusMessage reply = call->reply();
                // Plasma 5.27 answers with the keys as a plain list, though it declares a list
                // of sequences; either will do.
                bool given = false;
                if (reply.type() == QDBusMessage::ReplyMessage && reply.signature() == "ai")
                    given = qdbus_cast<QList<int>>(reply.arguments().constFirst()).contains(key);
                if (reply.type() == QDBusMessage::ReplyMessage && reply.signature() == "a(ai)")
                    for (const WireKeySequence& sequence :
                         qdbus_cast<QList<WireKeySequence>>(reply.arguments().constFirst()))
                        given = given || sequence.keys.value(0) == key;
                if (!given)
                    sayOnce("KDE's global shortcuts did not give " + action.toStdString() +
                            " its keys" +
                            (reply.type() == QDBusMessage::ErrorMessage
                                 ? ": " + reply.errorMessage().left(200).toStdString()
                                 : " (taken by another action?)"));
            });
}

void KdeGlobalShortcuts::unregisterHotKey(const HotKeyPtr& hotKey) {
    auto it = std::find_if(registrations_.begin(), registrations_.end(),
                           [&](const Registration& r) { return r.hotKey == hotKey; });
    if (it == registrations_.end())
        return;
    const bool bound = it->key.has_value();
    registrations_.erase(it);
    if (!bound)
        return;
    // Another hotkey of the same identifier keeps the action, with its own keys.
    for (const Registration& other : registrations_)
        if (other.key && other.hotKey->identifier() == hotKey->identifier()) {
            bind(other);
            return;
        }
    bus_.send(serviceCall("unregister", {QString(kComponent), actionOf(hotKey)}));
}

HotKeyPtr KdeGlobalShortcuts::hotKeyWithIdentifier(const std::string& identifier) {
    for (const Registration& registration : registrations_)
        if (registration.hotKey->identifier() == identifier)
            return registration.hotKey;
    return nullptr;
}

void KdeGlobalShortcuts::onPressed(const QString& component, const QString& action, qlonglong) {
    if (component != kComponent)
        return;
    for (const Registration& registration : registrations_)
        if (registration.key && actionOf(registration.hotKey) == action) {
            const HotKeyPtr pressed = registration.hotKey; // its action may unregister it
            pressed->invoke();
            return;
        }
}

void KdeGlobalShortcuts::sayOnce(const std::string& line) {
    if (log_ && said_.insert(line).second)
        log_(line);
}

} // namespace velmora::kde
