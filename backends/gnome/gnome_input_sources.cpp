// SPDX-License-Identifier: MIT
#include "gnome_input_sources.h"

#include "platform/images.h"

#include <algorithm>

namespace velmora::gnome {

GnomeInputSources::GnomeInputSources(GnomeShellExtension& shell, Post post)
    : shell_(shell), told_(std::move(post)) {}

void GnomeInputSources::refresh() {
    shell_.call("GetInputSources", {}, [this](const QDBusMessage& reply) {
        int skipped = 0;
        std::optional<std::vector<GnomeSource>> sources = sourcesOf(reply, &skipped);
        if (!sources) {
            shell_.sayOnce("GNOME Shell's extension gave no usable list of input sources (" +
                           (reply.type() == QDBusMessage::ErrorMessage
                                ? reply.errorMessage().left(200).toStdString()
                                : "signature " + reply.signature().left(64).toStdString()) +
                           ")");
            return;
        }
        if (skipped > 0)
            shell_.sayOnce("GNOME has input sources of a kind the agent cannot select; they "
                           "are left out");
        const std::optional<GnomeSource> was =
            current_ ? std::optional(sources_[*current_]) : std::nullopt;
        sources_ = std::move(*sources);
        current_.reset();
        if (was)
            currentChanged(was->type, was->id);
        // The current source after the list it is looked up in.
        shell_.call("GetCurrentInputSource", {}, [this](const QDBusMessage& current) {
            if (const auto pair = currentOf(current))
                currentChanged(pair->first, pair->second);
            else
                announce();
        });
    });
}

void GnomeInputSources::currentChanged(const QString& type, const QString& id) {
    const auto at = std::find_if(sources_.begin(), sources_.end(), [&](const GnomeSource& source) {
        return source.type == type && source.id == id;
    });
    current_ =
        at == sources_.end() ? std::nullopt : std::optional(std::size_t(at - sources_.begin()));
    announce();
}

void GnomeInputSources::announce() {
    std::vector<std::string> ids;
    for (const GnomeSource& source : sources_)
        ids.push_back(source.sourceId);
    told_.tell(std::move(ids),
               current_ ? std::optional(sources_[*current_].sourceId) : std::nullopt);
}

InputSource inputSourceOf(const GnomeSource& gnome, std::size_t index) {
    InputSource source;
    source.inputSourceID = gnome.sourceId;
    source.localizedName = gnome.name;
    source.nativeHandle = static_cast<std::int64_t>(index);
    if (gnome.type == QLatin1String("xkb"))
        source.iconRef = kLayoutBadgeIconRefPrefix + gnome.sourceId.substr(4);
    return source;
}

std::optional<InputSource> GnomeInputSources::currentSource() {
    if (!current_)
        return std::nullopt;
    return inputSourceOf(sources_[*current_], *current_);
}

std::vector<InputSource> GnomeInputSources::sourcesMatching(const std::optional<std::string>& id,
                                                            bool) {
    std::vector<InputSource> sources;
    for (std::size_t i = 0; i < sources_.size(); ++i)
        if (!id || sources_[i].sourceId == *id)
            sources.push_back(inputSourceOf(sources_[i], i));
    return sources;
}

void GnomeInputSources::select(const InputSource& source) {
    if (!source.inputSourceID || !source.isEnabled)
        return;
    const auto at = std::find_if(sources_.begin(), sources_.end(), [&](const GnomeSource& gnome) {
        return gnome.sourceId == *source.inputSourceID;
    });
    if (at == sources_.end())
        return;
    const auto index = static_cast<std::size_t>(at - sources_.begin());
    if (current_ == index)
        return;
    current_ = index; // as GNOME will say; its CurrentInputSourceChanged then announces it
    shell_.call("ActivateInputSource", {at->type, at->id}, [this](const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ReplyMessage && reply.signature() == QLatin1String("b") &&
            reply.arguments().constFirst().toBool())
            return;
        shell_.sayOnce("GNOME Shell did not switch an input source" +
                       (reply.type() == QDBusMessage::ErrorMessage
                            ? ": " + reply.errorMessage().left(200).toStdString()
                            : std::string(" (no such source)")));
        refresh(); // what is current after all
    });
}

} // namespace velmora::gnome
