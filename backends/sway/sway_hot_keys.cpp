// SPDX-License-Identifier: MIT
#include "sway_hot_keys.h"

#include <QJsonArray>

#include <algorithm>
#include <unistd.h>

namespace velmora::sway {

SwayGlobalShortcuts::SwayGlobalShortcuts(SwayIpc& ipc, Combination combination, Log log)
    : ipc_(ipc), combination_(std::move(combination)), log_(std::move(log)) {
    ipc_.onEvent(kBindingEvent, [this](const QJsonObject& event) { onBinding(event); });
}

SwayGlobalShortcuts::~SwayGlobalShortcuts() {
    std::set<std::string> bound;
    for (const Registration& registration : registrations_)
        if (registration.combination)
            bound.insert(*registration.combination);
    std::string commands;
    for (const std::string& combination : bound)
        commands += (commands.empty() ? "" : "; ") + std::string("unbindcode ") + combination;
    if (!commands.empty())
        ipc_.sendNow(kRunCommand, commands);
}

void SwayGlobalShortcuts::registerHotKey(const HotKeyPtr& hotKey) {
    if (!hotKey)
        return;
    Registration registration{hotKey, std::nullopt,
                              "nop velmora-hotkey-" + std::to_string(::getpid()) + "-" +
                                  std::to_string(++next_)};
    std::string problem;
    registration.combination = combination_(hotKey->keyCombo(), &problem);
    if (!registration.combination)
        sayOnce("the shortcut of " + hotKey->identifier() + " is not used: " + problem);
    else
        bind(registration);
    registrations_.push_back(std::move(registration));
}

void SwayGlobalShortcuts::bind(const Registration& registration) {
    const std::string what = *registration.combination;
    ipc_.send(kRunCommand, "bindcode --no-repeat " + what + " " + registration.command,
              [this, what](const QJsonDocument& reply) {
                  for (const QJsonValue result : reply.array())
                      if (!result.toObject().value("success").toBool(true))
                          sayOnce("sway refused the shortcut " + what + ": " +
                                  result.toObject().value("error").toString().toStdString());
              });
}

void SwayGlobalShortcuts::unregisterHotKey(const HotKeyPtr& hotKey) {
    auto it = std::find_if(registrations_.begin(), registrations_.end(),
                           [&](const Registration& r) { return r.hotKey == hotKey; });
    if (it == registrations_.end())
        return;
    const std::optional<std::string> combination = it->combination;
    registrations_.erase(it);
    if (!combination)
        return;
    ipc_.send(kRunCommand, "unbindcode " + *combination);
    // Another hotkey on the same keys gets them back.
    for (const Registration& other : registrations_)
        if (other.combination == combination) {
            bind(other);
            break;
        }
}

HotKeyPtr SwayGlobalShortcuts::hotKeyWithIdentifier(const std::string& identifier) {
    for (const Registration& registration : registrations_)
        if (registration.hotKey->identifier() == identifier)
            return registration.hotKey;
    return nullptr;
}

void SwayGlobalShortcuts::onBinding(const QJsonObject& event) {
    const std::string command =
        event.value("binding").toObject().value("command").toString().toStdString();
    for (const Registration& registration : registrations_)
        if (registration.command == command) {
            HotKeyPtr hotKey = registration.hotKey; // the action may unregister it
            hotKey->invoke();
            return;
        }
}

void SwayGlobalShortcuts::sayOnce(const std::string& line) {
    if (said_.insert(line).second && log_)
        log_(line);
}

} // namespace velmora::sway
