// SPDX-License-Identifier: MIT
// show and expect for the shortcut table, the registered hotkeys and the login-items list.
// The shortcut rows are read from the cell views the program builds, as the user sees them.

#include "scenario_checks.h"
#include "scenario_runner.h"
#include "shortcut_views.h"
#include "sim/sim_indicator_views.h"

namespace velmora::sim {

namespace {

using Lines = std::vector<std::string>;

std::string describeIcon(const ImagePtr& image) {
    if (!image)
        return "icon=none template=no";
    return "icon=" + formatNumber(image->size().width) + "x" + formatNumber(image->size().height) +
           " template=" + (image->isTemplate() ? "yes" : "no");
}

Lines printShortcuts(ScenarioRunner& r, const std::vector<Word>&) {
    Lines lines;
    SimTableView* table = shortcutTable(r.desktop());
    if (!table)
        return lines;
    const std::int64_t rows = table->numberOfRows();
    for (std::int64_t row = 0; row < rows; ++row) {
        auto icon = firstInside<ImageView>(table->viewAtColumnRow(kSimIconColumn, row));
        auto name = firstInside<TextField>(table->viewAtColumnRow(kSimInputColumn, row));
        auto recorder = recorderIn(table->viewAtColumnRow(kSimShortcutColumn, row));
        std::optional<PlistValue> value = recorder ? recorder->objectValue() : std::nullopt;
        lines.push_back("shortcuts " + std::to_string(row) + " " +
                        quoted(name ? name->stringValue() : std::string()) + " " +
                        describeIcon(icon ? icon->image() : nullptr) +
                        " shortcut=" + (value ? describeKeyCombo(*value) : std::string("empty")));
    }
    return lines;
}

Lines printHotkeys(ScenarioRunner& r, const std::vector<Word>&) {
    return r.desktop().hotKeys().describeRegistrations();
}

Lines printLoginItems(ScenarioRunner& r, const std::vector<Word>&) {
    std::string line = "login-items";
    for (const auto& entry : r.desktop().world().loginItems)
        line += " " + (entry.path.empty() || entry.path.find(' ') != std::string::npos ||
                               entry.path.find('"') != std::string::npos
                           ? quoted(entry.path)
                           : entry.path);
    return {line};
}

} // namespace

void addSettingsShows(ShowTable& table) {
    table["shortcuts"] = {0, printShortcuts};
    table["hotkeys"] = {0, printHotkeys};
    table["login-items"] = {0, printLoginItems};
}

} // namespace velmora::sim
