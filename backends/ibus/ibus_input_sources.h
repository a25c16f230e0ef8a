// SPDX-License-Identifier: MIT
#pragma once
// IBus's engines as the input sources, through IBus's own bus (ibus_address.h), with Qt
// D-Bus. Every call is asynchronous with a time-out; the answers fill a cache from which the
// synchronous InputSources calls answer at once. IBus tells of the user's own changes
// (GlobalEngineChanged) and of a new list of preloaded engines (its configuration's
// ValueChanged), so nothing is polled. IBus's configuration service starts after IBus itself,
// and IBus leaves a call to it unanswered until then: it is asked once it has an owner, and
// IBus runs only from then on (or once it has not started within the call time-out). A new
// address file (IBus started again) connects anew; the bus's disconnection ends running().
// Everything here runs on the main thread.

#include "platform/distributed_notifications.h"
#include "platform/input_method_framework.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::ibus {

struct IBusEngine;

class IBusInputSources final : public QObject, public InputMethodFramework {
    Q_OBJECT

  public:
    using Post = std::function<void(DesktopBroadcast)>;
    using Log = std::function<void(const std::string&)>;

    // Replies later than this are taken as no reply; the full engine list takes IBus some
    // 0.3 s to send.
    static constexpr int kCallTimeoutMs = 3000;

    // POST announces a new current engine or a new list of engines (after running() is true);
    // LOG says each kind of trouble once. Calls wait CALLTIMEOUTMS for their replies.
    IBusInputSources(Post post, Log log, int callTimeoutMs = kCallTimeoutMs);
    ~IBusInputSources() override;

    std::string frameworkName() const override { return "IBus"; }
    bool running() const override { return running_; }
    void setRunningChanged(RunningChanged callback) override;
    // Whether the first attempt to reach IBus has ended: running(), or no IBus found.
    bool settled() const { return settled_; }

    std::optional<InputSource> currentSource() override;
    // The preloaded engines (all of them when none are configured); with includeAllInstalled
    // every engine IBus knows. "xkb:LAYOUT" and "xkb:LAYOUT(VARIANT)" find IBus's engine for
    // that layout.
    std::vector<InputSource> sourcesMatching(const std::optional<std::string>& id,
                                             bool includeAllInstalled) override;
    void select(const InputSource& source) override;
    // "xkb:LAYOUT" is current while IBus's engine for that layout is.
    bool isSameSource(const std::string& id, const std::string& currentID) override;

  signals:
    // settled() became true.
    void settledNow();

  private slots:
    // The connecting thread is done with one or more connections.
    void connectionsFinished();
    void globalEngineChanged(const QString& name);
    void configValueChanged(const QDBusMessage& message);
    void configOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void registryChanged();
    void disconnected();

  private:
    struct Connecting;

    void addressMayHaveChanged();
    void connectTo(const std::string& address);
    void connected(unsigned generation, bool ok);
    void dropConnection();
    void watchAddressFolder();
    void askEngines();
    void askPreloadOnceConfigRuns();
    void askPreload();
    void preloadSettled();
    void askGlobalEngine();
    void initialAnswer();
    void settle();
    void enginesAnswered(const QDBusMessage& reply, bool initial);
    void setRunning(bool running);
    void sayOnce(const std::string& what, const std::string& line);
    template <typename Handler>
    void call(const char* service, const char* path, const char* interface, const char* method,
              QVariantList arguments, Handler handler);
    void refreshEnabled();
    const IBusEngine* engineNamed(const std::string& name) const;

    Post post_;
    Log log_;
    int callTimeoutMs_;
    RunningChanged runningChanged_;
    QFileSystemWatcher folderWatch_;
    std::string address_;
    std::optional<QDBusConnection> bus_;
    QString busName_; // Qt's name of the connection being made or made
    std::shared_ptr<Connecting> connecting_;
    unsigned generation_ = 0;
    int initialAnswersDue_ = 0;
    bool preloadDue_ = false; // the preload engines are one of the initial answers still due
    QTimer configWait_;       // for the configuration service to start, while it is waited for
    bool isIBus_ = false;     // the bus answered as IBus, not as another framework's stand-in
    bool running_ = false;
    bool settled_ = false;
    std::vector<IBusEngine> engines_;
    std::optional<std::vector<std::string>> preload_;
    std::vector<const IBusEngine*> enabled_;
    std::optional<std::string> current_;
    std::vector<std::string> said_;
};

} // namespace velmora::ibus
