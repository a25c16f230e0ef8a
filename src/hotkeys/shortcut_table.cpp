// SPDX-License-Identifier: MIT
#include "hotkeys/shortcut_table.h"

#include "hotkeys/stored_shortcuts.h"

namespace velmora {

std::shared_ptr<View> ShortcutTable::tableViewForShortcut(const std::string& column,
                                                          std::int64_t row) {
    if (row < 0 || row >= numberOfRows())
        return nullptr;
    if (column != kShortcutColumnIcon && column != kShortcutColumnInput &&
        column != kShortcutColumnShortcut)
        return nullptr;
    auto container = views_.makeView();
    if (!container)
        return nullptr;
    container->setFrame(kContainerFrame);
    const auto index = static_cast<std::size_t>(row);
    if (column == kShortcutColumnIcon)
        addIcon(*container, index);
    else if (column == kShortcutColumnInput)
        addName(*container, index);
    else
        addRecorder(*container, index);
    return container;
}

void ShortcutTable::addIcon(View& container, std::size_t row) {
    auto icon = views_.makeImageView();
    if (!icon)
        return;
    icon->setFrame(kIconFrame);
    ImagePtr image = row < lists_.catalogue.size() ? lists_.catalogue[row].icon : nullptr;
    if (image && hooks_.scaleImage)
        image = hooks_.scaleImage(image, kIconFrame.size.width, kIconFrame.size.height);
    if (image && hooks_.canTemplate && hooks_.canTemplate(image.get()))
        image->setTemplate(true);
    icon->setImage(std::move(image));
    container.addSubview(icon);
}

void ShortcutTable::addName(View& container, std::size_t row) {
    auto name = views_.makeTextField();
    if (!name)
        return;
    name->setFrame(kNameFrame);
    name->setBezeled(false);
    name->setEditable(false);
    name->setBackgroundColor(Color::clearColor);
    name->setDrawsBackground(false);
    name->setStringValue(row < lists_.catalogue.size() ? lists_.catalogue[row].inputName
                                                       : std::string());
    container.addSubview(name);
}

void ShortcutTable::addRecorder(View& container, std::size_t row) {
    // The box goes in first so that it lies behind the recorder.
    if (auto box = views_.makeBox()) {
        box->setFrame(kBoxFrame);
        box->setBoxStyle(BoxStyle::Custom);
        box->setCornerRadius(kBoxCornerRadius);
        box->setBorderColor(Color::disabledControlTextColor);
        box->setFillColor(Color::textBackgroundColor);
        container.addSubview(box);
    }
    auto recorder = views_.makeShortcutRecorder();
    if (!recorder)
        return;
    recorder->setFrame(kRecorderFrame);
    recorder->setDelegate(delegate_);
    recorder->setShortcutTag(static_cast<std::int64_t>(row));
    recorder->setAllowedModifierFlags(kAllowedModifierFlags, kRequiredModifierFlags,
                                      kAllowsEmptyModifierFlags);
    const auto shortcuts = storedShortcuts(settings_);
    const PlistValue* stored = nullptr;
    if (shortcuts) {
        auto it = shortcuts->find(lists_.catalogue[row].id);
        if (it != shortcuts->end())
            stored = &it->second;
    }
    const std::int64_t keyCode = shortcutField(stored, kShortcutKeyCode);
    const std::int64_t modifierFlags = shortcutField(stored, kShortcutModifierFlags);
    // A key without modifiers stays registered but is shown as no shortcut.
    if (keyCode > 0 && modifierFlags > 0)
        recorder->setObjectValue(PlistValue(PlistDictionary{
            {kShortcutKeyCode, PlistValue(keyCode)},
            {kShortcutModifierFlags, PlistValue(modifierFlags)},
        }));
    recorder->setTranslatesAutoresizingMaskIntoConstraints(true);
    container.addSubview(recorder);
}

} // namespace velmora
