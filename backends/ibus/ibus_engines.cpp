// SPDX-License-Identifier: MIT
#include "ibus_engines.h"

#include "platform/images.h"

#include <QDBusArgument>
#include <QDBusVariant>
#include <QStringList>

namespace velmora::ibus {

namespace {

// The fields IBus has added over the years end well below this.
constexpr int kMaxFields = 64;

enum Field { kTypeName = 0, kName = 2, kLongName = 3, kIcon = 8, kLayout = 9, kVariant = 14 };

std::string textOf(const QVariant& value) {
    if (value.typeId() != QMetaType::QString)
        return {};
    std::string text = value.toString().toStdString();
    if (text.size() > kMaxTextLength)
        text.clear();
    return text;
}

} // namespace

std::optional<IBusEngine> engineFromDescription(const QVariant& description) {
    if (description.userType() != qMetaTypeId<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument argument = description.value<QDBusArgument>();
    if (argument.currentType() != QDBusArgument::StructureType)
        return std::nullopt;
    // Each field is taken as the type it has: a field of an unexpected type is read, then
    // found wrong, never read as the type expected.
    std::vector<QVariant> fields;
    argument.beginStructure();
    while (!argument.atEnd()) {
        QVariant field = argument.asVariant();
        if (fields.size() < kMaxFields)
            fields.push_back(std::move(field));
    }
    // Ends what beginStructure opened (its reader is freed here).
    argument.endStructure();
    if (fields.size() <= kLayout || textOf(fields[kTypeName]) != "IBusEngineDesc")
        return std::nullopt;
    IBusEngine engine{textOf(fields[kName]), textOf(fields[kLongName]), textOf(fields[kIcon]),
                      textOf(fields[kLayout]),
                      fields.size() > kVariant ? textOf(fields[kVariant]) : std::string()};
    if (engine.name.empty())
        return std::nullopt;
    if (engine.longName.empty())
        engine.longName = engine.name;
    return engine;
}

std::optional<std::vector<IBusEngine>> enginesFromList(const QVariant& argument) {
    if (argument.userType() != qMetaTypeId<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument list = argument.value<QDBusArgument>();
    if (list.currentSignature() != "av")
        return std::nullopt;
    std::vector<IBusEngine> engines;
    list.beginArray();
    while (!list.atEnd()) {
        QDBusVariant element;
        list >> element;
        if (engines.size() >= kMaxEngines)
            continue;
        if (auto engine = engineFromDescription(element.variant()))
            engines.push_back(std::move(*engine));
    }
    list.endArray();
    return engines;
}

std::optional<std::vector<std::string>> engineNames(const QVariant& value) {
    if (value.typeId() != QMetaType::QStringList)
        return std::nullopt;
    std::vector<std::string> names;
    for (const QString& name : value.toStringList()) {
        if (names.size() >= kMaxEngines)
            break;
        std::string text = name.toStdString();
        if (!text.empty() && text.size() <= kMaxTextLength)
            names.push_back(std::move(text));
    }
    return names;
}

InputSource inputSourceOf(const IBusEngine& engine) {
    InputSource source;
    source.inputSourceID = kIdPrefix + engine.name;
    source.localizedName = engine.longName;
    if (engine.icon.starts_with('/'))
        source.iconImageURL = engine.icon;
    else if (engine.name.starts_with("xkb:") && !engine.layout.empty())
        source.iconRef = kLayoutBadgeIconRefPrefix + engine.layout +
                         (engine.variant.empty() ? "" : "(" + engine.variant + ")");
    else if (!engine.icon.empty())
        source.iconRef = engine.icon;
    return source;
}

bool typesLayout(const IBusEngine& engine, std::string_view layoutId) {
    if (!layoutId.starts_with("xkb:") || !engine.name.starts_with("xkb:"))
        return false;
    std::string_view layout = layoutId.substr(4);
    std::string_view variant;
    if (const auto open = layout.find('('); open != std::string_view::npos) {
        if (!layout.ends_with(')'))
            return false;
        variant = layout.substr(open + 1, layout.size() - open - 2);
        layout = layout.substr(0, open);
    }
    return engine.layout == layout && engine.variant == variant;
}

bool standsForLayout(std::string_view id, std::string_view layoutId) {
    // IBus names its layouts' engines "xkb:LAYOUT:VARIANT:LANGUAGE".
    if (!id.starts_with(kIdPrefix))
        return false;
    IBusEngine engine;
    engine.name = id.substr(std::string_view(kIdPrefix).size());
    const std::string_view name = engine.name;
    if (!name.starts_with("xkb:"))
        return false;
    const std::string_view rest = name.substr(4);
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos)
        return false;
    engine.layout = rest.substr(0, colon);
    engine.variant = rest.substr(colon + 1, rest.find(':', colon + 1) - colon - 1);
    return typesLayout(engine, layoutId);
}

} // namespace velmora::ibus
