// SPDX-License-Identifier: MIT
#include "fcitx5_input_sources.h"

#include <QCoreApplication>
#include <QDBusPendingCallWatcher>
#include <QObject>
#include <QTimer>

#include <algorithm>

namespace velmora::fcitx5 {

namespace {

constexpr auto kService = "org.fcitx.Fcitx5";
constexpr auto kPath = "/controller";
constexpr auto kController = "org.fcitx.Fcitx.Controller1";
// A framework that takes longer is treated as not answering.
constexpr int kCallTimeoutMs = 2000;
// How long a selection waits for Fcitx5's focus to reach the new front application, and how
// often Fcitx5 is asked meanwhile.
constexpr auto kFocusWait = std::chrono::milliseconds(300);
// How long a selection waits after Fcitx5 (re)started for an application to have made its
// input contexts anew and focused one: longer than a focus takes, as the toolkit first has to
// notice the new Fcitx5.
constexpr auto kNewContextsWait = std::chrono::milliseconds(1000);
// Activations in a row whose focus is awaited; more only come from a flood of them.
constexpr std::uint32_t kMaxMovesAwaited = 16;
constexpr int kLookIntervalMs = 10;
// The same once Fcitx5's panel has told of a focus change: it tells of the next ones, and the
// looks are only a safety net.
constexpr int kLookIntervalWithPanelMs = 50;
constexpr std::size_t kMaxNameBytes = 256;
constexpr std::size_t kMaxDebugInfoBytes = 1 << 20;

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// NAME of an input source ID: "fcitx5:NAME", or the layout ID of a keyboard layout's input
// method ("xkb:de" for "keyboard-de"), so that rules made without Fcitx5 keep working.
std::optional<std::string> nameOfId(const std::string& id) {
    if (id.starts_with(kIdPrefix))
        return id.substr(std::string_view(kIdPrefix).size());
    return keyboardNameOfLayoutId(id);
}

std::vector<InputSource> listed(const std::optional<std::string>& id, bool all,
                                const std::vector<std::string>& group,
                                const std::vector<InputMethodEntry>& available) {
    std::vector<InputSource> sources;
    const std::optional<std::string> wanted = id ? nameOfId(*id) : std::nullopt;
    if (id && !wanted)
        return sources;
    for (const std::string& name : group)
        if (!wanted || name == *wanted)
            sources.push_back(sourceOf(name, available));
    if (all)
        for (const InputMethodEntry& entry : available)
            if ((!wanted || entry.name == *wanted) && !contains(group, entry.name)) {
                sources.push_back(sourceOf(entry.name, available));
                sources.back().isEnabled = false;
            }
    for (std::size_t i = 0; i < sources.size(); ++i)
        sources[i].nativeHandle = static_cast<std::int64_t>(i);
    return sources;
}

QDBusMessage controllerCall(const char* method, const QVariantList& arguments) {
    auto message = QDBusMessage::createMethodCall(kService, kPath, kController, method);
    message.setArguments(arguments);
    // Asking is no reason to start Fcitx5 where the session did not.
    message.setAutoStartService(false);
    return message;
}

} // namespace

// Hears Fcitx5's signals: its groups changed (the user edited them), and its panel's menu
// changed (see watchPanel()).
class Fcitx5Signals : public QObject {
    Q_OBJECT
  public:
    Fcitx5Signals(std::function<void()> groupsChanged, std::function<void()> panelChanged)
        : groupsChanged_(std::move(groupsChanged)), panelChanged_(std::move(panelChanged)) {}
  public slots:
    void groupsChanged() { groupsChanged_(); }
    void panelChanged() { panelChanged_(); }

  private:
    std::function<void()> groupsChanged_;
    std::function<void()> panelChanged_;
};

Fcitx5InputSources::Fcitx5InputSources(QDBusConnection bus, Post post, Log log)
    : bus_(std::move(bus)), post_(std::move(post)), log_(std::move(log)),
      receiver_(std::make_unique<Fcitx5Signals>(
          [this] {
              if (running_)
                  refresh(false);
          },
          [this] { lookSoon(); })),
      watcher_(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    lookTimer_.setSingleShot(true);
    lookTimer_.setInterval(kLookIntervalMs);
    QObject::connect(&lookTimer_, &QTimer::timeout, receiver_.get(), [this] { lookAgain(); });
    QObject::connect(
        &watcher_, &QDBusServiceWatcher::serviceOwnerChanged, receiver_.get(),
        [this](const QString&, const QString&, const QString& owner) { ownerChanged(owner); });
    bus_.connect(kService, kPath, kController, "InputMethodGroupsChanged", receiver_.get(),
                 SLOT(groupsChanged()));
    watchPanel();
    // Whether Fcitx5 runs already: its name's owner, asked as every other question.
    auto question = QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                   "org.freedesktop.DBus", "GetNameOwner");
    question << QString(kService);
    auto* pending =
        new QDBusPendingCallWatcher(bus_.asyncCall(question, kCallTimeoutMs), receiver_.get());
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, receiver_.get(),
                     [this, pending, generation = generation_] {
                         pending->deleteLater();
                         const auto owner = stringReply(pending->reply(), kMaxNameBytes);
                         if (generation == generation_ && owner)
                             ownerChanged(QString::fromStdString(*owner));
                     });
}

Fcitx5InputSources::~Fcitx5InputSources() = default;

void Fcitx5InputSources::call(const char* method, const QVariantList& arguments, const Done& done) {
    auto* pending = new QDBusPendingCallWatcher(
        bus_.asyncCall(controllerCall(method, arguments), kCallTimeoutMs), receiver_.get());
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, receiver_.get(),
                     [this, pending, done, generation = generation_] {
                         pending->deleteLater();
                         if (generation == generation_)
                             done(pending->reply());
                     });
}

bool Fcitx5InputSources::failed(const char* method, const QDBusMessage& reply, bool shapeOk) {
    if (shapeOk)
        return false;
    const std::string problem = reply.type() == QDBusMessage::ErrorMessage
                                    ? reply.errorName().left(kMaxNameBytes).toStdString()
                                    : std::string("an answer of the wrong type (") +
                                          reply.signature().left(kMaxNameBytes).toStdString() + ")";
    if (said_.insert(std::string(method) + problem).second && log_)
        log_("Fcitx5's " + std::string(method) + " failed: " + problem);
    return true;
}

void Fcitx5InputSources::ownerChanged(const QString& owner) {
    ++generation_;
    waiting_.reset();
    focusMoving_ = looking_ = asking_ = lookInFlight_ = lookSoon_ = panelHeard_ = false;
    askingSharing_ = inputStateShared_ = false;
    lookTimer_.stop();
    lookTimer_.setInterval(kLookIntervalMs); // a new Fcitx5 may show no tray item
    if (!owner.isEmpty()) {
        refresh(true);
        return;
    }
    group_.clear();
    available_.clear();
    current_.clear();
    if (std::exchange(running_, false) && runningChanged_)
        runningChanged_();
}

void Fcitx5InputSources::refresh(bool restarted) {
    // One question after the other: the group's name, its input methods, all input methods
    // with their names and icons, the current one, the focused input contexts.
    call("CurrentInputMethodGroup", {}, [this, restarted](const QDBusMessage& reply) {
        const auto groupName = stringReply(reply, kMaxNameBytes);
        if (failed("CurrentInputMethodGroup", reply, groupName.has_value()))
            return;
        call("InputMethodGroupInfo", {QString::fromStdString(*groupName)},
             [this, restarted](const QDBusMessage& reply) {
                 auto group = groupReply(reply);
                 if (failed("InputMethodGroupInfo", reply, group.has_value()))
                     return;
                 call("AvailableInputMethods", {},
                      [this, restarted, group](const QDBusMessage& reply) {
                          auto available = availableReply(reply);
                          if (failed("AvailableInputMethods", reply, available.has_value()))
                              return;
                          const bool changed = *group != group_;
                          group_ = std::move(*group);
                          available_ = std::move(*available);
                          const bool started = !std::exchange(running_, true);
                          askSharing();
                          if (started || restarted) {
                              awaitNewContexts();
                              if (runningChanged_)
                                  runningChanged_();
                          } else if (changed)
                              post_(DesktopBroadcast::EnabledInputSourcesChanged);
                          ask();
                      });
             });
    });
}

void Fcitx5InputSources::ask() {
    if (asking_ || waiting_ || focusMoving_)
        return;
    asking_ = true;
    call("CurrentInputMethod", {}, [this, selections = selections_](const QDBusMessage& reply) {
        asking_ = false;
        const auto name = stringReply(reply, kMaxNameBytes);
        if (failed("CurrentInputMethod", reply, name.has_value()) || waiting_)
            return;
        // Asked before a selection or an activation: maybe of a context left since.
        if (selections != selections_) {
            ask();
            return;
        }
        if (*name == current_)
            return;
        current_ = *name;
        // Another group's input method: the user switched groups.
        if (!current_.empty() && !contains(group_, current_))
            refresh(false);
        post_(DesktopBroadcast::SelectedInputSourceChanged);
    });
}

std::optional<InputSource> Fcitx5InputSources::currentSource() {
    if (!running_)
        return std::nullopt;
    ask();
    if (current_.empty())
        return std::nullopt;
    return sourceOf(current_, available_);
}

std::vector<InputSource> Fcitx5InputSources::sourcesMatching(const std::optional<std::string>& id,
                                                             bool includeAllInstalled) {
    if (!running_)
        return {};
    return listed(id, includeAllInstalled, group_, available_);
}

bool Fcitx5InputSources::isSameSource(const std::string& id, const std::string& currentID) {
    return id == currentID || standsForLayout(currentID, id);
}

void Fcitx5InputSources::select(const InputSource& source) {
    if (!running_ || !source.inputSourceID)
        return;
    const auto name = nameOfId(*source.inputSourceID);
    if (!name || !contains(group_, *name))
        return;
    current_ = *name;
    waiting_ = *name;
    ++selections_;
    // Sent once the caller is done: an activation's notice that the focus moves may come right
    // after the selection it caused.
    if (!std::exchange(sendScheduled_, true))
        QTimer::singleShot(0, receiver_.get(), [this] {
            sendScheduled_ = false;
            selectWhenFocused();
        });
}

void Fcitx5InputSources::askSharing() {
    if (std::exchange(askingSharing_, true))
        return;
    call("GetConfig", {QStringLiteral("fcitx://config/global")}, [this](const QDBusMessage& reply) {
        askingSharing_ = false;
        const auto sharing = shareInputStateReply(reply);
        if (!failed("GetConfig", reply, sharing.has_value()))
            inputStateShared_ = *sharing == "All";
    });
}

void Fcitx5InputSources::frontApplicationChanged() {
    if (!running_)
        return;
    // The user may change the option any time, and Fcitx5 does not tell: asked at each
    // activation, for the next.
    askSharing();
    // One input method for all contexts: whichever has the focus when the selection arrives
    // passes it on to the new application's.
    if (inputStateShared_)
        return;
    // Each context has an input method of its own, and the one current until now is the
    // context's left. The new application's is asked once its context has the focus; until
    // then none is current, or its rule would be taken as applied already whenever the
    // application left had the rule's input method.
    current_.clear();
    ++selections_;
    // Each activation moves the focus once more. The first look after a still focus is the
    // baseline: what it sees was focused before, or arrived too fast to tell. Another program's
    // context tells (its toolkit was faster than the agent); the same program's does not (the
    // wait runs out, and the selection goes to the context focused by then).
    if (!std::exchange(focusMoving_, true)) {
        baselineSeen_ = false;
        movesAwaited_ = 0;
        focusDeadline_ = {};
    }
    movesAwaited_ = std::min<std::uint32_t>(movesAwaited_ + 1, kMaxMovesAwaited);
    focusDeadline_ = std::max(focusDeadline_, std::chrono::steady_clock::now() + kFocusWait);
    look();
}

void Fcitx5InputSources::awaitNewContexts() {
    // A new Fcitx5 has none of the applications' input contexts: their toolkits make them
    // anew, and the front application's takes the focus once made. A selection meanwhile (the
    // agent applies the front application's rule again for the new input sources) would reach
    // no context and be lost; it waits for the first context focused, as after an activation.
    focusMoving_ = true;
    baselineSeen_ = true;
    lastSeen_.clear();
    movesAwaited_ = 1;
    focusDeadline_ = std::chrono::steady_clock::now() + kNewContextsWait;
    look();
}

void Fcitx5InputSources::selectWhenFocused() {
    if (!waiting_)
        return;
    if (focusMoving_)
        look();
    else
        send(*waiting_);
}

void Fcitx5InputSources::look() {
    if (!std::exchange(looking_, true))
        lookAgain();
}

void Fcitx5InputSources::watchPanel() {
    // Fcitx5 tells of no focus change on its controller, but the tray item it shows where a
    // panel hosts one (its own connection, its menu at /MenuBar) rebuilds its menu for each
    // input context that takes the focus. While a selection waits for the focus, that is the
    // moment to look: the looks every kLookIntervalMs stay for sessions without such a panel.
    // Any other program's menu at that path only brings a look forward.
    bus_.connect(QString(), "/MenuBar", "com.canonical.dbusmenu", "LayoutUpdated", receiver_.get(),
                 SLOT(panelChanged()));
}

void Fcitx5InputSources::lookSoon() {
    if (!looking_)
        return;
    if (!std::exchange(panelHeard_, true))
        lookTimer_.setInterval(kLookIntervalWithPanelMs);
    if (lookInFlight_) {
        lookSoon_ = true; // the answer on its way may predate the change
        return;
    }
    lookTimer_.stop();
    lookAgain();
}

void Fcitx5InputSources::lookAgain() {
    lookInFlight_ = true;
    call("DebugInfo", {}, [this](const QDBusMessage& reply) {
        lookInFlight_ = false;
        const auto info = stringReply(reply, kMaxDebugInfoBytes);
        if (failed("DebugInfo", reply, info.has_value())) {
            focusMoving_ = false; // nothing to wait for: selected as asked
        } else {
            auto seen = focusedContexts(*info);
            // A context focused that was not at the last look (or after none was: the
            // application left had the focus again) is one move of the focus. At the first look
            // of an activation the focus may have moved already or not: only another program's
            // context than the one focused at the last look shows it has.
            const bool moved = std::any_of(seen.begin(), seen.end(), [this](const auto& context) {
                return !lastSeen_.contains(context.first) &&
                       (baselineSeen_ || isAnotherProgram(context.second));
            });
            if (moved && movesAwaited_ > 0)
                --movesAwaited_;
            baselineSeen_ = true;
            lastSeen_ = std::move(seen);
            const bool arrived = movesAwaited_ == 0 && !lastSeen_.empty();
            if (arrived || std::chrono::steady_clock::now() >= focusDeadline_) {
                focusMoving_ = false;
                // No input context has the focus: the application takes no input method, and
                // Fcitx5 would give the selection to the one it left.
                if (lastSeen_.empty())
                    waiting_.reset();
            } else {
                if (std::exchange(lookSoon_, false))
                    lookAgain();
                else
                    lookTimer_.start();
                return;
            }
        }
        looking_ = lookSoon_ = false;
        if (waiting_)
            send(*waiting_);
        else
            ask(); // an application without a rule: its own input method, now focused
    });
}

bool Fcitx5InputSources::isAnotherProgram(const std::string& program) const {
    return !program.empty() && !lastSeen_.empty() &&
           std::none_of(lastSeen_.begin(), lastSeen_.end(),
                        [&](const auto& context) { return context.second == program; });
}

void Fcitx5InputSources::send(const std::string& name) {
    waiting_.reset();
    ++selections_;
    call("SetCurrentIM", {QString::fromStdString(name)}, [this](const QDBusMessage& reply) {
        failed("SetCurrentIM", reply, reply.type() == QDBusMessage::ReplyMessage);
    });
}

std::optional<std::vector<InputSource>>
Fcitx5InputSources::sourcesNow(QDBusConnection bus, std::chrono::milliseconds timeout, bool all) {
    const int ms =
        static_cast<int>(std::min<std::chrono::milliseconds::rep>(timeout.count(), 60000));
    auto ask = [&](const char* method, const QVariantList& arguments) {
        return bus.call(controllerCall(method, arguments), QDBus::Block, ms);
    };
    const auto groupName = stringReply(ask("CurrentInputMethodGroup", {}), kMaxNameBytes);
    if (!groupName)
        return std::nullopt;
    const auto group =
        groupReply(ask("InputMethodGroupInfo", {QString::fromStdString(*groupName)}));
    const auto available = availableReply(ask("AvailableInputMethods", {}));
    if (!group || !available)
        return std::nullopt;
    return listed(std::nullopt, all, *group, *available);
}

} // namespace velmora::fcitx5

#include "fcitx5_input_sources.moc"
