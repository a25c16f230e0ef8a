// SPDX-License-Identifier: MIT
#include "fcitx5_replies.h"

#include "platform/images.h"

#include <QDBusArgument>

#include <algorithm>
#include <string_view>

namespace velmora::fcitx5 {

namespace {

// Fcitx5 knows some 700 input methods with every keyboard layout; a group holds a handful.
constexpr std::size_t kMaxAvailable = 5000;
constexpr std::size_t kMaxGroup = 256;
constexpr std::size_t kMaxNameBytes = 256;
constexpr std::size_t kMaxDebugLines = 10000;
// Fcitx5's global configuration has a few dozen options in a handful of sections.
constexpr std::size_t kMaxConfigEntries = 1000;

// A name of an input method or icon: printable, no spaces, not too long.
bool isPlainName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxNameBytes &&
           std::all_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) > ' ' && c != '\x7f'; });
}

std::string bounded(const QString& text) {
    return text.left(static_cast<qsizetype>(kMaxNameBytes)).toStdString();
}

const QDBusArgument* argumentAt(const QDBusMessage& reply, int index, const char* signature) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() <= index)
        return nullptr;
    const QVariant& value = reply.arguments().at(index);
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return nullptr;
    const auto* argument = static_cast<const QDBusArgument*>(value.constData());
    return argument->currentSignature() == QLatin1String(signature) ? argument : nullptr;
}

// The value under KEY in the map HOLDER holds (a{sv}, as a variant's content or a map already
// read); none when HOLDER is no such map or lacks KEY.
std::optional<QVariant> valueIn(const QVariant& holder, const QString& key) {
    QVariant inner = holder;
    if (inner.metaType() == QMetaType::fromType<QDBusVariant>())
        inner = inner.value<QDBusVariant>().variant();
    if (inner.metaType() == QMetaType::fromType<QVariantMap>()) {
        const QVariantMap map = inner.toMap();
        return map.contains(key) ? std::optional(map.value(key)) : std::nullopt;
    }
    if (inner.metaType() != QMetaType::fromType<QDBusArgument>())
        return std::nullopt;
    const auto& map = *static_cast<const QDBusArgument*>(inner.constData());
    if (map.currentSignature() != QLatin1String("a{sv}"))
        return std::nullopt;
    std::optional<QVariant> found;
    map.beginMap();
    for (std::size_t entries = 0; !map.atEnd() && entries < kMaxConfigEntries; ++entries) {
        QString name;
        QDBusVariant value;
        map.beginMapEntry();
        map >> name >> value;
        map.endMapEntry();
        if (!found && name == key)
            found = value.variant();
    }
    map.endMap();
    return found;
}

} // namespace

std::optional<std::string> shareInputStateReply(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().empty())
        return std::nullopt;
    const auto behavior = valueIn(reply.arguments().front(), QStringLiteral("Behavior"));
    const auto state =
        behavior ? valueIn(*behavior, QStringLiteral("ShareInputState")) : std::nullopt;
    if (!state || state->metaType() != QMetaType::fromType<QString>())
        return std::nullopt;
    return bounded(state->toString());
}

std::optional<std::string> stringReply(const QDBusMessage& reply, std::size_t maxBytes) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1 ||
        reply.arguments().front().metaType() != QMetaType::fromType<QString>())
        return std::nullopt;
    const QString text = reply.arguments().front().toString();
    if (static_cast<std::size_t>(text.size()) > maxBytes)
        return std::nullopt;
    return text.toStdString();
}

std::optional<std::vector<std::string>> groupReply(const QDBusMessage& reply) {
    const QDBusArgument* items = argumentAt(reply, 1, "a(ss)");
    if (!items)
        return std::nullopt;
    std::vector<std::string> names;
    items->beginArray();
    while (!items->atEnd() && names.size() < kMaxGroup) {
        QString name, layout;
        items->beginStructure();
        *items >> name >> layout;
        items->endStructure();
        if (isPlainName(name.toStdString()))
            names.push_back(name.toStdString());
    }
    items->endArray(); // frees the array's reader, also when the list was cut short
    return names;
}

std::optional<std::vector<InputMethodEntry>> availableReply(const QDBusMessage& reply) {
    const QDBusArgument* list = argumentAt(reply, 0, "a(ssssssb)");
    if (!list)
        return std::nullopt;
    std::vector<InputMethodEntry> entries;
    list->beginArray();
    while (!list->atEnd() && entries.size() < kMaxAvailable) {
        QString name, label, nativeName, icon, shortLabel, language;
        bool configurable = false;
        list->beginStructure();
        *list >> name >> label >> nativeName >> icon >> shortLabel >> language >> configurable;
        list->endStructure();
        InputMethodEntry entry{name.toStdString(), bounded(label), bounded(icon)};
        if (isPlainName(entry.name))
            entries.push_back(std::move(entry));
    }
    list->endArray();
    return entries;
}

std::map<std::string, std::string> focusedContexts(const std::string& debugInfo) {
    std::map<std::string, std::string> focused;
    std::size_t start = 0, lines = 0;
    while (start < debugInfo.size() && lines++ < kMaxDebugLines) {
        std::size_t end = debugInfo.find('\n', start);
        if (end == std::string::npos)
            end = debugInfo.size();
        const std::string_view line(debugInfo.data() + start, end - start);
        start = end + 1;
        constexpr std::string_view kContext = "  IC [";
        const std::size_t close = line.find(']');
        if (!line.starts_with(kContext) || close == std::string_view::npos ||
            !line.ends_with(" focus:1"))
            continue;
        constexpr std::string_view kProgram = " program:";
        std::string_view program;
        if (const std::size_t at = line.find(kProgram, close); at != std::string_view::npos) {
            program = line.substr(at + kProgram.size());
            program = program.substr(0, program.find(' '));
        }
        focused.emplace(line.substr(kContext.size(), close - kContext.size()), program);
    }
    return focused;
}

InputSource sourceOf(const std::string& name, const std::vector<InputMethodEntry>& available) {
    InputSource source;
    source.inputSourceID = kIdPrefix + name;
    source.localizedName = name;
    const auto entry = std::find_if(available.begin(), available.end(),
                                    [&](const InputMethodEntry& e) { return e.name == name; });
    if (entry != available.end() && !entry->label.empty())
        source.localizedName = entry->label;
    constexpr std::string_view kKeyboard = "keyboard-";
    if (std::string_view layout = name; layout.starts_with(kKeyboard)) {
        // "keyboard-de-nodeadkeys": XKB's layout names have no dash, its variants may.
        layout.remove_prefix(kKeyboard.size());
        const std::size_t dash = layout.find('-');
        source.iconRef =
            std::string(kLayoutBadgeIconRefPrefix) +
            (dash == std::string_view::npos ? std::string(layout)
                                            : std::string(layout.substr(0, dash)) + "(" +
                                                  std::string(layout.substr(dash + 1)) + ")");
    } else if (entry != available.end() && isPlainName(entry->icon)) {
        source.iconRef = entry->icon;
    }
    return source;
}

std::optional<std::string> keyboardNameOfLayoutId(const std::string& id) {
    std::string_view text = id;
    if (!text.starts_with("xkb:"))
        return std::nullopt;
    text.remove_prefix(4);
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos)
        return isPlainName(text) ? std::optional("keyboard-" + std::string(text)) : std::nullopt;
    if (!text.ends_with(')') || open == 0 || open + 2 >= text.size())
        return std::nullopt;
    return "keyboard-" + std::string(text.substr(0, open)) + "-" +
           std::string(text.substr(open + 1, text.size() - open - 2));
}

bool standsForLayout(const std::string& id, const std::string& layoutId) {
    const auto keyboard = keyboardNameOfLayoutId(layoutId);
    return keyboard && id == kIdPrefix + *keyboard;
}

} // namespace velmora::fcitx5
