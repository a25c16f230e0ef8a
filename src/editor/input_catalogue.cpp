// SPDX-License-Identifier: MIT
#include "editor/input_catalogue.h"

namespace velmora {

namespace {

ImagePtr iconOf(const InputSource& source, Images& images) {
    if (source.iconRef)
        return images.imageWithIconRef(*source.iconRef);
    if (source.iconImageURL)
        return images.imageWithContentsOfURL(*source.iconImageURL);
    return nullptr;
}

// TEXT cut to at most LIMIT bytes, before a character that would not fit whole.
std::string cutToCharacters(std::string text, std::size_t limit) {
    if (text.size() <= limit)
        return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

} // namespace

std::string nameOfInputSource(InputSources& inputSources, const std::string& id) {
    for (const auto& source : inputSources.sourcesMatching(id, true))
        if (!source.localizedName.empty())
            return cutToCharacters(source.localizedName, kLongestSourceName);
    return cutToCharacters(id, kLongestSourceName);
}

void rebuildInputCatalogue(EditorLists& lists, InputSources& inputSources, Images& images) {
    lists.catalogue.clear();
    for (const auto& source : inputSources.sourcesMatching(std::nullopt, false)) {
        if (source.category != kKeyboardLayoutCategory || !source.isSelectCapable ||
            !source.inputSourceID)
            continue;
        lists.catalogue.push_back(
            CatalogueEntry{*source.inputSourceID, source.localizedName, iconOf(source, images)});
    }
}

} // namespace velmora
