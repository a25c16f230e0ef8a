// SPDX-License-Identifier: MIT
#pragma once
// Fcitx5's input methods as the input sources, through its D-Bus controller: the current
// group's input methods, the current one, selection. Every call is asynchronous with a time-out;
// the answers are kept, and the synchronous questions are answered from what is kept while the
// framework is asked anew. Main thread only.

#include "fcitx5/fcitx5_replies.h"
#include "platform/distributed_notifications.h"
#include "platform/input_method_framework.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QObject;

namespace velmora::fcitx5 {

class Fcitx5InputSources final : public InputMethodFramework {
  public:
    using Post = std::function<void(DesktopBroadcast)>;
    using Log = std::function<void(const std::string&)>;

    // Watches BUS for Fcitx5. POST announces a current input method or a group that Fcitx5
    // changed on its own (the user's choice); LOG says each kind of failure once.
    Fcitx5InputSources(QDBusConnection bus, Post post, Log log);
    ~Fcitx5InputSources() override;

    std::optional<InputSource> currentSource() override;
    // "xkb:LAYOUT" is the group's keyboard for that layout.
    bool isSameSource(const std::string& id, const std::string& currentID) override;
    std::vector<InputSource> sourcesMatching(const std::optional<std::string>& id,
                                             bool includeAllInstalled) override;
    void select(const InputSource& source) override;

    std::string frameworkName() const override { return "Fcitx5"; }
    bool running() const override { return running_; }
    void setRunningChanged(RunningChanged callback) override {
        runningChanged_ = std::move(callback);
    }
    void frontApplicationChanged() override;

    // For the command line: the sources as sourcesMatching(none, ALL) lists them, asked with
    // blocking calls of at most TIMEOUT each; none when Fcitx5 does not run or answer.
    static std::optional<std::vector<InputSource>>
    sourcesNow(QDBusConnection bus, std::chrono::milliseconds timeout, bool all);

  private:
    using Done = std::function<void(const QDBusMessage&)>;
    void call(const char* method, const QVariantList& arguments, const Done& done);
    bool failed(const char* method, const QDBusMessage& reply, bool shapeOk);
    void ownerChanged(const QString& owner);
    void refresh(bool restarted);
    void ask();
    void askSharing();
    void selectWhenFocused();
    void awaitNewContexts();
    void watchPanel();
    void look();
    void lookSoon();
    void lookAgain();
    bool isAnotherProgram(const std::string& program) const;
    void send(const std::string& name);

    QDBusConnection bus_;
    Post post_;
    Log log_;
    RunningChanged runningChanged_;
    std::unique_ptr<QObject> receiver_; // the calls' context; hears Fcitx5's signals
    QDBusServiceWatcher watcher_;
    std::set<std::string> said_;

    bool running_ = false;
    std::uint64_t generation_ = 0; // one per owner of Fcitx5's name: older answers are dropped
    std::vector<std::string> group_;
    std::vector<InputMethodEntry> available_;
    std::string current_;
    std::uint64_t selections_ = 0; // answers asked before a selection or an activation are dropped
    bool asking_ = false;

    bool askingSharing_ = false;
    bool inputStateShared_ = false; // "Share Input State" is All: no context's focus to wait for

    // The selection goes to the input context with Fcitx5's focus, which follows a new front
    // application a moment after the desktop's: see README.md.
    std::optional<std::string> waiting_; // selected, not yet sent
    bool sendScheduled_ = false;
    bool focusMoving_ = false;
    bool looking_ = false;           // asking which contexts have the focus, or about to ask again
    bool lookInFlight_ = false;      // a look's question not yet answered
    bool lookSoon_ = false;          // the panel changed while it was: look again at once
    bool panelHeard_ = false;        // the panel told of a focus change since Fcitx5 started
    QTimer lookTimer_;               // the next look, when no panel change comes first
    bool baselineSeen_ = false;      // looked once since the focus began to move
    std::uint32_t movesAwaited_ = 0; // activations whose focus has not been seen arriving
    std::chrono::steady_clock::time_point focusDeadline_;
    std::map<std::string, std::string> lastSeen_; // focused contexts and their programs at the
                                                  // last look
};

} // namespace velmora::fcitx5
