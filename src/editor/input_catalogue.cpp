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

} // namespace

void rebuildInputCatalogue(EditorLists& lists, TextInputSources& inputSources, Images& images) {
    lists.arrOfInputName.clear();
    lists.arrOfInputName2.assign(1, kNoInputSourceItem);
    lists.arrOfInputImage.clear();
    for (const auto& source : inputSources.createInputSourceList(std::nullopt, false)) {
        if (source.category != kTISCategoryKeyboardInputSource || !source.isSelectCapable ||
            !source.inputSourceID)
            continue;
        lists.arrOfInputName.push_back(CatalogueEntry{*source.inputSourceID, source.localizedName});
        lists.arrOfInputName2.push_back(source.localizedName);
        lists.arrOfInputImage.push_back(iconOf(source, images));
    }
}

} // namespace velmora
