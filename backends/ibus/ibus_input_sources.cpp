// SPDX-License-Identifier: MIT
#include "ibus_input_sources.h"

#include "ibus_address.h"
#include "ibus_engines.h"

#include <QDBusPendingCallWatcher>

#include <algorithm>
#include <mutex>
#include <thread>

namespace velmora::ibus {

namespace {

constexpr const char* kService = "org.freedesktop.IBus";
constexpr const char* kPath = "/org/freedesktop/IBus";
constexpr const char* kInterface = "org.freedesktop.IBus";
constexpr const char* kConfigService = "org.freedesktop.IBus.Config";
constexpr const char* kConfigPath = "/org/freedesktop/IBus/Config";
constexpr const char* kConfigInterface = "org.freedesktop.IBus.Config";
constexpr const char* kBusService = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kBusInterface = "org.freedesktop.DBus";

std::string errorOf(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ErrorMessage)
        return (reply.errorName() + ": " + reply.errorMessage()).left(300).toStdString();
    return "a reply of the type \"" + reply.signature().left(100).toStdString() + "\"";
}

// The reply's only argument; an invalid variant for an error or a reply of another shape.
QVariant onlyArgument(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return {};
    return reply.arguments().front();
}

QVariant variantIn(const QDBusMessage& reply) {
    QVariant argument = onlyArgument(reply);
    if (argument.userType() != qMetaTypeId<QDBusVariant>())
        return {};
    return argument.value<QDBusVariant>().variant();
}

} // namespace

// Shared with the thread that connects: connecting to a bus whose server hangs blocks until
// D-Bus's own time-out, which must not be the main thread's.
struct IBusInputSources::Connecting {
    std::mutex mutex;
    IBusInputSources* receiver = nullptr; // null once the service is gone
    // Connections made, by generation, and whether each succeeded; taken on the main thread.
    std::vector<std::pair<unsigned, bool>> finished;
};

IBusInputSources::IBusInputSources(Post post, Log log, int callTimeoutMs)
    : post_(std::move(post)), log_(std::move(log)), callTimeoutMs_(callTimeoutMs),
      connecting_(std::make_shared<Connecting>()) {
    connecting_->receiver = this;
    connect(&folderWatch_, &QFileSystemWatcher::directoryChanged, this,
            &IBusInputSources::addressMayHaveChanged);
    connect(&folderWatch_, &QFileSystemWatcher::fileChanged, this,
            &IBusInputSources::addressMayHaveChanged);
    configWait_.setSingleShot(true);
    configWait_.setInterval(callTimeoutMs_);
    connect(&configWait_, &QTimer::timeout, this, [this] {
        if (isIBus_)
            sayOnce("config", "IBus's configuration service has not started: every IBus engine "
                              "is an input source until it does");
        preloadSettled();
    });
    addressMayHaveChanged();
}

IBusInputSources::~IBusInputSources() {
    {
        std::lock_guard lock(connecting_->mutex);
        connecting_->receiver = nullptr;
    }
    dropConnection();
}

void IBusInputSources::setRunningChanged(RunningChanged callback) {
    runningChanged_ = std::move(callback);
}

void IBusInputSources::addressMayHaveChanged() {
    watchAddressFolder();
    const std::string address = currentAddress().value_or("");
    // The same bus, connected or being connected: the file was only touched.
    if (address == address_ && !busName_.isEmpty())
        return;
    dropConnection();
    address_ = address;
    if (address.empty()) {
        settle();
        return;
    }
    connectTo(address);
}

void IBusInputSources::watchAddressFolder() {
    const auto watch = [this](const std::string& path) {
        const QString name = QString::fromStdString(path);
        if (!folderWatch_.directories().contains(name) && !folderWatch_.files().contains(name))
            folderWatch_.addPath(name);
    };
    QStringList wanted;
    for (const std::string& path :
         addressWatchPaths(currentAddressFolder(), currentAddressFile(), watch))
        wanted << QString::fromStdString(path);
    for (const QString& path : folderWatch_.directories() + folderWatch_.files())
        if (!wanted.contains(path))
            folderWatch_.removePath(path);
}

void IBusInputSources::connectTo(const std::string& address) {
    const unsigned generation = ++generation_;
    busName_ = QStringLiteral("velmora-ibus-%1").arg(generation);
    std::thread([shared = connecting_, address, name = busName_, generation] {
        const bool ok =
            QDBusConnection::connectToBus(QString::fromStdString(address), name).isConnected();
        std::lock_guard lock(shared->mutex);
        if (!shared->receiver) {
            QDBusConnection::disconnectFromBus(name);
            return;
        }
        // The outcome travels under the mutex; the queued call only wakes the main thread.
        shared->finished.emplace_back(generation, ok);
        QMetaObject::invokeMethod(shared->receiver, "connectionsFinished", Qt::QueuedConnection);
    }).detach();
}

void IBusInputSources::connectionsFinished() {
    std::vector<std::pair<unsigned, bool>> finished;
    {
        std::lock_guard lock(connecting_->mutex);
        finished.swap(connecting_->finished);
    }
    for (const auto& [generation, ok] : finished)
        connected(generation, ok);
}

void IBusInputSources::connected(unsigned generation, bool ok) {
    if (generation != generation_)
        return; // dropConnection() has closed it
    if (!ok) {
        sayOnce("connect", "cannot connect to IBus's bus at " + address_);
        QDBusConnection::disconnectFromBus(busName_);
        busName_.clear();
        settle();
        return;
    }
    bus_ = QDBusConnection(busName_);
    // Signals are matched by sender "" (any): naming IBus would make Qt ask the bus for the
    // name's owner, synchronously.
    bus_->connect("", "/org/freedesktop/DBus/Local", "org.freedesktop.DBus.Local", "Disconnected",
                  this, SLOT(disconnected()));
    bus_->connect("", kPath, kInterface, "GlobalEngineChanged", this,
                  SLOT(globalEngineChanged(QString)));
    bus_->connect("", kPath, kInterface, "RegistryChanged", this, SLOT(registryChanged()));
    bus_->connect("", kConfigPath, kConfigInterface, "ValueChanged", this,
                  SLOT(configValueChanged(QDBusMessage)));
    // Only the configuration service's owner: other names come and go with every application.
    bus_->connect("", kBusPath, kBusInterface, "NameOwnerChanged", {kConfigService}, "sss", this,
                  SLOT(configOwnerChanged(QString, QString, QString)));
    initialAnswersDue_ = 3;
    preloadDue_ = true;
    call(kService, kPath, kInterface, "ListEngines", {},
         [this](const QDBusMessage& reply) { enginesAnswered(reply, true); });
    askPreloadOnceConfigRuns();
    askGlobalEngine();
}

void IBusInputSources::dropConnection() {
    ++generation_; // answers still on their way are from the old bus
    if (!busName_.isEmpty())
        QDBusConnection::disconnectFromBus(busName_);
    busName_.clear();
    bus_.reset();
    isIBus_ = false;
    preloadDue_ = false;
    configWait_.stop();
    engines_.clear();
    preload_.reset();
    enabled_.clear();
    current_.reset();
    setRunning(false);
}

template <typename Handler>
void IBusInputSources::call(const char* service, const char* path, const char* interface,
                            const char* method, QVariantList arguments, Handler handler) {
    if (!bus_)
        return;
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(message, callTimeoutMs_), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, generation = generation_, handler] {
                watcher->deleteLater();
                if (generation == generation_)
                    handler(watcher->reply());
            });
}

void IBusInputSources::enginesAnswered(const QDBusMessage& reply, bool initial) {
    if (auto engines = enginesFromList(onlyArgument(reply))) {
        engines_ = std::move(*engines);
        isIBus_ = true;
        refreshEnabled();
        if (running_)
            post_(DesktopBroadcast::EnabledInputSourcesChanged);
    } else if (reply.errorName() == "org.freedesktop.DBus.Error.UnknownMethod" ||
               reply.errorName() == "org.freedesktop.DBus.Error.ServiceUnknown") {
        // Fcitx5's IBus frontend writes the address file too, naming the session bus, where
        // nothing lists IBus's engines.
        sayOnce("not IBus", "the bus at " + address_ + " does not list IBus engines (" +
                                errorOf(reply) +
                                "): not IBus's own, as Fcitx5's IBus frontend writes it");
    } else {
        sayOnce("engines", "IBus did not list its engines: " + errorOf(reply));
    }
    if (initial)
        initialAnswer();
}

void IBusInputSources::askPreloadOnceConfigRuns() {
    // The match for its owner is in place before the question: a start in between is told.
    call(kBusService, kBusPath, kBusInterface, "NameHasOwner", {QString(kConfigService)},
         [this](const QDBusMessage& reply) {
             // A bus that cannot tell is asked all the same.
             const QVariant owned = onlyArgument(reply);
             if (owned.userType() != QMetaType::Bool || owned.toBool())
                 askPreload();
             else if (preloadDue_)
                 configWait_.start();
         });
}

void IBusInputSources::askPreload() {
    configWait_.stop(); // the call has a time-out of its own
    call(kConfigService, kConfigPath, kConfigInterface, "GetValue",
         {QStringLiteral("general"), QStringLiteral("preload-engines")},
         [this](const QDBusMessage& reply) {
             // An error is a value never set (or a configuration service gone meanwhile): then
             // every engine is listed.
             preload_.reset();
             if (reply.type() == QDBusMessage::ReplyMessage) {
                 preload_ = engineNames(variantIn(reply));
                 if (!preload_)
                     sayOnce("preload",
                             "IBus's preload-engines is not a list of names: " + errorOf(reply));
             }
             refreshEnabled();
             if (running_)
                 post_(DesktopBroadcast::EnabledInputSourcesChanged);
             preloadSettled();
         });
}

void IBusInputSources::preloadSettled() {
    configWait_.stop();
    if (!preloadDue_)
        return;
    preloadDue_ = false;
    initialAnswer();
}

void IBusInputSources::askGlobalEngine() {
    call(kService, kPath, kInterface, "GetGlobalEngine", {}, [this](const QDBusMessage& reply) {
        // IBus answers an error while no engine has been chosen yet.
        if (auto engine = engineFromDescription(variantIn(reply)))
            current_ = engine->name;
        else if (reply.type() == QDBusMessage::ReplyMessage)
            sayOnce("global engine", "IBus's global engine is " + errorOf(reply));
        initialAnswer();
    });
}

void IBusInputSources::initialAnswer() {
    if (initialAnswersDue_ == 0 || --initialAnswersDue_ > 0)
        return;
    setRunning(isIBus_);
    settle();
}

void IBusInputSources::settle() {
    if (settled_)
        return;
    settled_ = true;
    emit settledNow();
}

void IBusInputSources::setRunning(bool running) {
    if (running == running_)
        return;
    running_ = running;
    if (runningChanged_)
        runningChanged_();
}

void IBusInputSources::sayOnce(const std::string& what, const std::string& line) {
    if (std::find(said_.begin(), said_.end(), what) != said_.end())
        return;
    said_.push_back(what);
    log_(line);
}

void IBusInputSources::globalEngineChanged(const QString& name) {
    std::string engine = name.toStdString();
    if (engine.empty() || engine.size() > kMaxTextLength)
        return;
    current_ = std::move(engine);
    if (running_)
        post_(DesktopBroadcast::SelectedInputSourceChanged);
}

void IBusInputSources::configValueChanged(const QDBusMessage& message) {
    // Taken whole and checked here: a signal of another signature is no concern of Qt's.
    const QVariantList arguments = message.arguments();
    if (arguments.size() != 3 || arguments[0] != QStringLiteral("general") ||
        arguments[1] != QStringLiteral("preload-engines") ||
        arguments[2].userType() != qMetaTypeId<QDBusVariant>())
        return;
    preload_ = engineNames(arguments[2].value<QDBusVariant>().variant());
    refreshEnabled();
    if (running_)
        post_(DesktopBroadcast::EnabledInputSourcesChanged);
}

void IBusInputSources::configOwnerChanged(const QString& name, const QString&,
                                          const QString& newOwner) {
    // Started, or started again with its own list.
    if (name == kConfigService && !newOwner.isEmpty())
        askPreload();
}

void IBusInputSources::registryChanged() {
    call(kService, kPath, kInterface, "ListEngines", {},
         [this](const QDBusMessage& reply) { enginesAnswered(reply, false); });
}

void IBusInputSources::disconnected() {
    // A connection dropped for a new address may tell of its end after the new one is made or
    // being made: only the end of the current one counts.
    if (!bus_ || bus_->isConnected())
        return;
    // IBus ended; a new one writes a new address file, which connects anew.
    dropConnection();
}

void IBusInputSources::refreshEnabled() {
    enabled_.clear();
    if (preload_ && !preload_->empty()) {
        for (const std::string& name : *preload_)
            if (const IBusEngine* engine = engineNamed(name))
                enabled_.push_back(engine);
        return;
    }
    for (const IBusEngine& engine : engines_)
        enabled_.push_back(&engine);
}

const IBusEngine* IBusInputSources::engineNamed(const std::string& name) const {
    for (const IBusEngine& engine : engines_)
        if (engine.name == name)
            return &engine;
    return nullptr;
}

std::optional<InputSource> IBusInputSources::currentSource() {
    if (!running_ || !current_)
        return std::nullopt;
    if (const IBusEngine* engine = engineNamed(*current_))
        return inputSourceOf(*engine);
    return inputSourceOf(IBusEngine{*current_, *current_, {}, {}, {}});
}

std::vector<InputSource> IBusInputSources::sourcesMatching(const std::optional<std::string>& id,
                                                           bool includeAllInstalled) {
    std::vector<InputSource> found;
    if (!running_)
        return found;
    if (!id) {
        if (includeAllInstalled)
            for (const IBusEngine& engine : engines_)
                found.push_back(inputSourceOf(engine));
        else
            for (const IBusEngine* engine : enabled_)
                found.push_back(inputSourceOf(*engine));
        return found;
    }
    auto matches = [&id](const IBusEngine& engine) {
        return kIdPrefix + engine.name == *id || typesLayout(engine, *id);
    };
    for (const IBusEngine* engine : enabled_)
        if (matches(*engine))
            return {inputSourceOf(*engine)};
    if (includeAllInstalled)
        for (const IBusEngine& engine : engines_)
            if (matches(engine)) {
                InputSource source = inputSourceOf(engine);
                source.isEnabled = false;
                return {source};
            }
    return found;
}

bool IBusInputSources::isSameSource(const std::string& id, const std::string& currentID) {
    if (id == currentID)
        return true;
    if (!currentID.starts_with(kIdPrefix))
        return false;
    const std::string_view current =
        std::string_view(currentID).substr(std::string_view(kIdPrefix).size());
    for (const IBusEngine& engine : engines_)
        if (engine.name == current)
            return typesLayout(engine, id);
    return false;
}

void IBusInputSources::select(const InputSource& source) {
    const std::string& id = source.inputSourceID.value_or("");
    if (!running_ || !id.starts_with(kIdPrefix))
        return;
    const std::string name = id.substr(std::string_view(kIdPrefix).size());
    call(kService, kPath, kInterface, "SetGlobalEngine", {QString::fromStdString(name)},
         [this, name](const QDBusMessage& reply) {
             if (reply.type() != QDBusMessage::ReplyMessage)
                 sayOnce("select",
                         "IBus did not select the engine " + name + ": " + errorOf(reply));
         });
    current_ = name;
}

} // namespace velmora::ibus
