// SPDX-License-Identifier: MIT
#include "editor/rule_table.h"

namespace velmora {

const std::string* RuleTable::applicationAt(std::int64_t row) const {
    if (!lists_.allApplications || row < 0 ||
        static_cast<std::uint64_t>(row) >= lists_.allApplications->size())
        return nullptr;
    return &(*lists_.allApplications)[static_cast<std::size_t>(row)];
}

std::shared_ptr<View> RuleTable::inputSourceCell(const std::string& column, std::int64_t row) {
    const std::string* bundle = applicationAt(row);
    if (!bundle)
        return nullptr;
    if (column == kColumnIcon)
        return iconCell(workspace_.applicationPath(*bundle));
    if (column == kColumnApplicationName)
        return nameCell(workspace_.applicationPath(*bundle));
    if (column == kColumnSelectInput)
        return choiceCell(*bundle, row);
    return nullptr;
}

std::shared_ptr<View> RuleTable::iconCell(const std::optional<std::string>& path) {
    auto container = views_.makeImageView();
    auto icon = views_.makeImageView();
    if (!container || !icon)
        return container;
    icon->setFrame(kIconFrame);
    icon->setImage(path ? workspace_.iconForFile(*path) : nullptr);
    container->addSubview(icon);
    return container;
}

std::shared_ptr<View> RuleTable::nameCell(const std::optional<std::string>& path) {
    auto container = views_.makeImageView();
    auto name = views_.makeTextField();
    if (!container || !name)
        return container;
    name->setFrame(kNameFrame);
    name->setBezeled(false);
    name->setEditable(false);
    name->setBackgroundColor(Color::clearColor);
    name->setDrawsBackground(false);
    name->setStringValue(path ? workspace_.displayNameAtPath(*path) : std::string());
    container->addSubview(name);
    return container;
}

std::shared_ptr<View> RuleTable::choiceCell(const std::string& bundle, std::int64_t row) {
    auto box = views_.makeComboBox();
    if (!box)
        return nullptr;
    box->setFrame(kChoiceFrame);
    box->addItemsWithObjectValues(lists_.sourceChoices());
    box->setTag(row);
    box->setEditable(false);
    box->setStringValue(chosenName(bundle));
    if (hooks_.inputSelectionChanged)
        box->setSelectionDidChangeObserver(hooks_.inputSelectionChanged);
    return box;
}

std::string RuleTable::chosenName(const std::string& bundle) const {
    auto id = settings_.ruleInputSourceID(bundle);
    if (!id)
        return kNoInputSourceItem;
    for (const auto& entry : lists_.catalogue)
        if (entry.id == *id)
            return entry.inputName;
    if (hooks_.isSameSource)
        for (const auto& entry : lists_.catalogue)
            if (hooks_.isSameSource(*id, entry.id))
                return entry.inputName;
    if (!hooks_.nameOfUnavailableSource || id->empty())
        return kNoInputSourceItem;
    return hooks_.nameOfUnavailableSource(*id) + kUnavailableMark;
}

void RuleTable::inputSelectionChanged(ComboBox& box) {
    const std::string* bundle = applicationAt(box.tag());
    if (!bundle)
        return;
    const std::string app = *bundle;
    const auto chosen = box.objectValueOfSelectedItem();
    if (chosen == kNoInputSourceItem) {
        settings_.updateRuleRecord(
            app, [](PlistDictionary& ruleRecord) { ruleRecord.erase(record::kId); });
        return;
    }
    if (chosen) {
        for (const auto& entry : lists_.catalogue) {
            if (entry.inputName != *chosen)
                continue;
            settings_.updateRuleRecord(app, [&](PlistDictionary& ruleRecord) {
                ruleRecord[record::kId] = PlistValue(entry.id);
            });
            break;
        }
    }
    // Matched or not, every row is shown again from the store.
    if (hooks_.refreshInputTableView)
        runLoop_.scheduledTimer(kRefreshDelay, false, hooks_.refreshInputTableView);
}

void RuleTable::onEnglishSymbolChanged(std::int64_t tag, std::int64_t state, TableView* ruleTable) {
    const std::string* bundle = applicationAt(tag);
    if (!bundle)
        return;
    const bool on = state == ControlState::On;
    settings_.updateRuleRecord(*bundle, [on](PlistDictionary& ruleRecord) {
        ruleRecord[record::kEnglishSymbol] = PlistValue(on ? "1" : "0");
    });
    if (ruleTable)
        ruleTable->reloadData();
}

} // namespace velmora
