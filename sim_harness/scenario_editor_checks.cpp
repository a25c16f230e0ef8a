// SPDX-License-Identifier: MIT
// show and expect for the status item, the popover and its rule editor. The rule table's rows
// are read from the cell views the program builds for them, as the user would see them.

#include "scenario_checks.h"
#include "scenario_runner.h"
#include "shortcut_views.h"
#include "sim/sim_indicator_views.h"

namespace velmora::sim {

namespace {

using Lines = std::vector<std::string>;

std::string point(Point p) {
    return formatNumber(p.x) + "," + formatNumber(p.y);
}

Lines printApps(ScenarioRunner& r, const std::vector<Word>&) {
    std::string line = "apps";
    if (auto* controller = r.desktop().popoverController())
        if (const auto& apps = controller->lists().allApplications)
            for (const auto& bundle : *apps)
                line += " " + bundle;
    return {line};
}

Lines printCatalogue(ScenarioRunner& r, const std::vector<Word>&) {
    Lines lines;
    if (auto* agent = r.desktop().agent()) {
        const auto& entries = agent->editorLists().catalogue;
        for (std::size_t i = 0; i < entries.size(); ++i)
            lines.push_back("catalogue " + std::to_string(i) + " " + entries[i].id + " " +
                            quoted(entries[i].inputName));
    }
    return lines;
}

Lines printRules(ScenarioRunner& r, const std::vector<Word>&) {
    Lines lines;
    SimTableView* table = r.desktop().ruleTable();
    auto* controller = r.desktop().popoverController();
    if (!table || !controller || !controller->lists().allApplications)
        return lines;
    const auto& apps = *controller->lists().allApplications;
    const std::int64_t rows = table->numberOfRows();
    for (std::int64_t row = 0; row < rows && static_cast<std::size_t>(row) < apps.size(); ++row) {
        auto icon = firstInside<ImageView>(table->viewAtColumnRow(kColumnIcon, row));
        auto name = firstInside<TextField>(table->viewAtColumnRow(kColumnApplicationName, row));
        auto box =
            std::dynamic_pointer_cast<ComboBox>(table->viewAtColumnRow(kColumnSelectInput, row));
        lines.push_back("rules " + std::to_string(row) + " " + apps[static_cast<std::size_t>(row)] +
                        " icon=" + (icon && icon->image() ? "yes" : "no") +
                        " name=" + quoted(name ? name->stringValue() : std::string()) +
                        " input=" + quoted(box ? box->stringValue() : std::string()));
    }
    return lines;
}

Lines printPopover(ScenarioRunner& r, const std::vector<Word>&) {
    bool shown = false;
    double height = 0;
    bool expanded = false;
    std::string button = "close";
    if (auto* agent = r.desktop().agent()) {
        if (auto popover = agent->popover()) {
            shown = popover->isShown();
            height = popover->contentSize().height;
        }
        expanded = agent->editorLists().popoverOpened;
    }
    if (SimButton* adjust = r.desktop().layoutButton(&PopoverLayout::adjustSizeButton))
        button = adjust->imageName();
    return {std::string("popover shown=") + (shown ? "yes" : "no") + " height=" +
            formatNumber(height) + " expanded=" + (expanded ? "yes" : "no") + " button=" + button};
}

Lines printLayout(ScenarioRunner& r, const std::vector<Word>&) {
    Rect shortcutView;
    Point allAppsBox;
    if (auto* controller = r.desktop().popoverController()) {
        if (const auto& view = controller->outlets().shortcutView)
            shortcutView = view->frame();
        if (const auto& box = controller->outlets().allAppsBox)
            allAppsBox = box->frame().origin;
    }
    return {"layout shortcutView=" + point(shortcutView.origin) + "," +
            formatNumber(shortcutView.size.width) + "," + formatNumber(shortcutView.size.height) +
            " allAppsBox=" + point(allAppsBox)};
}

Lines printStatusItem(ScenarioRunner& r, const std::vector<Word>&) {
    auto* agent = r.desktop().agent();
    auto item = agent ? agent->statusItem() : nullptr;
    return {std::string("status-item ") + (item && item->isVisible() ? "visible" : "hidden")};
}

Lines printRemoveButton(ScenarioRunner& r, const std::vector<Word>&) {
    SimButton* button = r.desktop().layoutButton(&PopoverLayout::removeButton);
    return {std::string("remove-button ") +
            (button && button->isEnabled() ? "enabled" : "disabled")};
}

Lines printSelectedRow(ScenarioRunner& r, const std::vector<Word>&) {
    SimTableView* table = r.desktop().ruleTable();
    const std::int64_t row = table ? table->selectedRow() : -1;
    return {"selected-row " + (row < 0 ? std::string("none") : std::to_string(row))};
}

} // namespace

void addEditorShows(ShowTable& table) {
    table["apps"] = {0, printApps};
    table["catalogue"] = {0, printCatalogue};
    table["rules"] = {0, printRules};
    table["popover"] = {0, printPopover};
    table["layout"] = {0, printLayout};
    table["status-item"] = {0, printStatusItem};
    table["remove-button"] = {0, printRemoveButton};
    table["selected-row"] = {0, printSelectedRow};
}

} // namespace velmora::sim
