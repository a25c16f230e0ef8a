// SPDX-License-Identifier: MIT
#include "sway_input_sources.h"

#include "platform/images.h"

#include <QJsonArray>

#include <algorithm>

namespace velmora::sway {

namespace {

constexpr std::size_t kMaxIdentifierBytes = 256;

// An identifier that can go between double quotes in a sway command as it is.
bool quotable(const std::string& identifier) {
    return !identifier.empty() && identifier.size() <= kMaxIdentifierBytes &&
           std::none_of(identifier.begin(), identifier.end(), [](char c) {
               return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
           });
}

} // namespace

std::string inputSourceIdForDescription(const std::vector<NamedLayout>& known,
                                        const std::string& description, std::size_t index) {
    for (const NamedLayout& layout : known)
        if (layout.description == description)
            return inputSourceIdOf(layout);
    return "xkb:group" + std::to_string(index + 1);
}

SwayInputSources::SwayInputSources(SwayIpc& ipc, const QJsonDocument& inputs,
                                   std::vector<NamedLayout> known, Post post, Log log)
    : ipc_(ipc), known_(std::move(known)), post_(std::move(post)), log_(std::move(log)) {
    for (const QJsonValue input : inputs.array())
        take(input.toObject());
    if (keyboards_.empty() && log_)
        log_("sway has no keyboard with layouts yet; the rules wait for one");
    lastEnabled_ = enabledIds();
    lastCurrent_ = currentId();
    ipc_.onEvent(kInputEvent, [this](const QJsonObject& event) { onInputEvent(event); });
}

void SwayInputSources::take(const QJsonObject& input) {
    if (input.value("type").toString() != "keyboard")
        return;
    const std::string identifier = input.value("identifier").toString().toStdString();
    const QJsonArray names = input.value("xkb_layout_names").toArray();
    auto keyboard = std::find_if(keyboards_.begin(), keyboards_.end(),
                                 [&](const Keyboard& k) { return k.identifier == identifier; });
    if (names.isEmpty() || !quotable(identifier)) {
        if (keyboard != keyboards_.end())
            keyboards_.erase(keyboard);
        return;
    }
    if (keyboard == keyboards_.end()) {
        if (keyboards_.size() >= kMaxKeyboards)
            return;
        keyboard = keyboards_.insert(keyboards_.end(), Keyboard{identifier, {}, {}, std::nullopt});
    }
    keyboard->ids.clear();
    keyboard->names.clear();
    for (const QJsonValue name : names) {
        if (keyboard->names.size() >= kMaxLayouts)
            break;
        keyboard->names.push_back(name.toString().toStdString());
        keyboard->ids.push_back(
            inputSourceIdForDescription(known_, keyboard->names.back(), keyboard->ids.size()));
    }
    const qint64 active = input.value("xkb_active_layout_index").toInteger(-1);
    keyboard->active = active >= 0 && static_cast<std::size_t>(active) < keyboard->ids.size()
                           ? std::optional<std::size_t>(static_cast<std::size_t>(active))
                           : std::nullopt;
}

void SwayInputSources::onInputEvent(const QJsonObject& event) {
    const QJsonObject input = event.value("input").toObject();
    const QString change = event.value("change").toString();
    if (change == "removed") {
        const std::string identifier = input.value("identifier").toString().toStdString();
        std::erase_if(keyboards_, [&](const Keyboard& k) { return k.identifier == identifier; });
    } else {
        take(input);
        if (change == "xkb_layout")
            currentKeyboard_ = input.value("identifier").toString().toStdString();
    }
    announce();
}

void SwayInputSources::announce() {
    std::vector<std::string> enabled = enabledIds();
    if (enabled != lastEnabled_) {
        lastEnabled_ = std::move(enabled);
        post_(DesktopBroadcast::EnabledInputSourcesChanged);
    }
    std::optional<std::string> current = currentId();
    if (current != lastCurrent_) {
        lastCurrent_ = std::move(current);
        post_(DesktopBroadcast::SelectedInputSourceChanged);
    }
}

std::vector<std::string> SwayInputSources::enabledIds() const {
    std::vector<std::string> ids;
    for (const Keyboard& keyboard : keyboards_)
        for (const std::string& id : keyboard.ids)
            if (std::find(ids.begin(), ids.end(), id) == ids.end())
                ids.push_back(id);
    return ids;
}

std::optional<std::string> SwayInputSources::currentId() const {
    auto keyboard = std::find_if(keyboards_.begin(), keyboards_.end(), [&](const Keyboard& k) {
        return k.identifier == currentKeyboard_;
    });
    if (keyboard == keyboards_.end())
        keyboard = keyboards_.begin();
    if (keyboard == keyboards_.end() || !keyboard->active)
        return std::nullopt;
    return keyboard->ids[*keyboard->active];
}

InputSource SwayInputSources::sourceFor(const std::string& id, std::size_t index) const {
    InputSource source;
    source.inputSourceID = id;
    source.nativeHandle = static_cast<std::int64_t>(index);
    for (const Keyboard& keyboard : keyboards_)
        for (std::size_t i = 0; i < keyboard.ids.size(); ++i)
            if (keyboard.ids[i] == id && source.localizedName.empty())
                source.localizedName = keyboard.names[i];
    if (id.starts_with("xkb:") && !id.starts_with("xkb:group"))
        source.iconRef = kLayoutBadgeIconRefPrefix + id.substr(4);
    return source;
}

std::optional<InputSource> SwayInputSources::currentSource() {
    const std::optional<std::string> id = currentId();
    if (!id)
        return std::nullopt;
    const std::vector<std::string> ids = enabledIds();
    return sourceFor(
        *id, static_cast<std::size_t>(std::find(ids.begin(), ids.end(), *id) - ids.begin()));
}

std::vector<InputSource> SwayInputSources::sourcesMatching(const std::optional<std::string>& id,
                                                           bool includeAllInstalled) {
    std::vector<InputSource> sources;
    const std::vector<std::string> ids = enabledIds();
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (!id || ids[i] == *id)
            sources.push_back(sourceFor(ids[i], i));
    if (id && sources.empty() && includeAllInstalled)
        for (const NamedLayout& layout : known_) {
            if (inputSourceIdOf(layout) != *id)
                continue;
            InputSource missing = sourceFor(*id, ids.size());
            missing.localizedName = layout.description;
            missing.isEnabled = false;
            missing.isSelectCapable = false;
            sources.push_back(std::move(missing));
            break;
        }
    return sources;
}

void SwayInputSources::select(const InputSource& source) {
    if (!source.inputSourceID || !source.isEnabled)
        return;
    std::string commands;
    for (Keyboard& keyboard : keyboards_) {
        auto at = std::find(keyboard.ids.begin(), keyboard.ids.end(), *source.inputSourceID);
        if (at == keyboard.ids.end())
            continue;
        const auto index = static_cast<std::size_t>(at - keyboard.ids.begin());
        if (keyboard.active == index)
            continue;
        keyboard.active = index; // as sway will say; its event then announces the change
        commands += (commands.empty() ? "" : "; ") + std::string("input \"") + keyboard.identifier +
                    "\" xkb_switch_layout " + std::to_string(index);
    }
    if (commands.empty())
        return;
    ipc_.send(kRunCommand, commands, [this](const QJsonDocument& reply) {
        for (const QJsonValue result : reply.array())
            if (!result.toObject().value("success").toBool(true) && !toldRefused_ && log_) {
                toldRefused_ = true;
                log_("sway refused to switch a layout: " +
                     result.toObject().value("error").toString().toStdString());
            }
    });
}

} // namespace velmora::sway
