// SPDX-License-Identifier: MIT
// Driving statements of the hotkeys, the shortcut table, the settings menu and the login-items
// list. The shortcut recorders and the menu are the ones the program made, used as the user
// would: a row the table does not have has no recorder to press.

#include "menu/settings_menu_items.h"
#include "scenario.h"
#include "scenario_runner.h"
#include "scenario_words.h"
#include "shortcut_views.h"

#include <limits>
#include <map>

namespace velmora::sim {

namespace {

bool parseKeyCombo(ParseContext& c, const Word& keyWord, const Word& flagsWord,
                   std::int64_t& keyCode, std::int64_t& flags) {
    auto code = parseInteger(keyWord.text);
    if (keyWord.quoted || !code)
        return c.fail("key code must be a whole number: " + keyWord.text);
    auto mods = parseHex(flagsWord.text);
    if (flagsWord.quoted || !mods ||
        *mods > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return c.fail("modifier flags must be written 0xHEX: " + flagsWord.text);
    keyCode = *code;
    flags = static_cast<std::int64_t>(*mods);
    return true;
}

bool parseKeypress(ParseContext& c, Statement& s) {
    SplitWords w;
    std::int64_t keyCode = 0;
    std::int64_t flags = 0;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 2, 2) ||
        !parseKeyCombo(c, w.positional[0], w.positional[1], keyCode, flags))
        return false;
    s.run = [keyCode, flags](ScenarioRunner& r) { r.desktop().hotKeys().press(keyCode, flags); };
    return true;
}

// Runs ACT on the recorder in ROW of the shortcut table, when the table has that row.
void onRecorder(SimDesktop& desktop, std::int64_t row,
                const std::function<void(SimShortcutRecorder&)>& act) {
    SimTableView* table = shortcutTable(desktop);
    if (!table || row >= table->numberOfRows())
        return;
    // The cell is held while the recorder works: the table reloads during the delegate call.
    auto cell = table->viewAtColumnRow(kSimShortcutColumn, row);
    if (auto recorder = recorderIn(cell))
        act(*recorder);
}

bool parseRecord(ParseContext& c, Statement& s) {
    SplitWords w;
    std::int64_t row = 0;
    std::int64_t keyCode = 0;
    std::int64_t flags = 0;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 3, 3) ||
        !parseRow(c, w.positional[0], row) ||
        !parseKeyCombo(c, w.positional[1], w.positional[2], keyCode, flags))
        return false;
    s.run = [row, keyCode, flags](ScenarioRunner& r) {
        onRecorder(r.desktop(), row, [&](SimShortcutRecorder& recorder) {
            recorder.userRecords(keyCode, static_cast<std::uint64_t>(flags));
        });
    };
    return true;
}

StatementParser recorderStatement(void (SimShortcutRecorder::*operation)()) {
    return [operation](ParseContext& c, Statement& s) {
        SplitWords w;
        std::int64_t row = 0;
        if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1) ||
            !parseRow(c, w.positional[0], row))
            return false;
        s.run = [row, operation](ScenarioRunner& r) {
            onRecorder(r.desktop(), row,
                       [operation](SimShortcutRecorder& recorder) { (recorder.*operation)(); });
        };
        return true;
    };
}

void chooseMenuEntry(SimDesktop& desktop, const std::string& action) {
    if (auto menu = desktop.views().menu())
        menu->choose(action);
}

bool parseMenu(ParseContext& c, Statement& s) {
    static const std::map<std::string, const char*> entries{
        {"start-at-login", menuAction::kStartAtLogin},
        {"hide-icon", menuAction::kHideMenuBarIcon},
        {"help", menuAction::kHelp},
        {"rate", menuAction::kRateInMAS},
        {"velmora", menuAction::kGotoVelmora},
        {"club", menuAction::kGoToClub},
        {"video", menuAction::kVideo},
        {"quit", menuAction::kQuit},
    };
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    const std::string& what = w.positional[0].text;
    if (what == "show") {
        s.run = [](ScenarioRunner& r) {
            if (SimButton* button = r.desktop().layoutButton(&PopoverLayout::actionSelectionButton))
                button->performClick();
        };
        return true;
    }
    auto it = entries.find(what);
    if (it == entries.end())
        return c.fail("menu takes show, start-at-login, hide-icon, help, rate, velmora, club, "
                      "video or quit: " +
                      what);
    s.run = [action = std::string(it->second)](ScenarioRunner& r) {
        chooseMenuEntry(r.desktop(), action);
    };
    return true;
}

bool parseSetting(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    auto action = toggleActionOfSetting(w.positional[0].text);
    if (!action)
        return c.fail("setting takes enableTipOfState, followWindow or "
                      "enableBrowserAddressEnglish: " +
                      w.positional[0].text);
    s.run = [action = *action](ScenarioRunner& r) { chooseMenuEntry(r.desktop(), action); };
    return true;
}

bool parseLoginItems(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w))
        return false;
    std::vector<std::string> paths;
    for (const auto& word : w.positional)
        paths.push_back(word.text);
    s.run = [paths](ScenarioRunner& r) { setLoginItems(r.desktop().world(), paths); };
    return true;
}

} // namespace

void addSettingsStatements(StatementTable& table) {
    table["keypress"] = parseKeypress;
    table["record"] = parseRecord;
    table["clear"] = recorderStatement(&SimShortcutRecorder::userClears);
    table["end-recording"] = recorderStatement(&SimShortcutRecorder::userEndsRecording);
    table["menu"] = parseMenu;
    table["setting"] = parseSetting;
    table["login-items"] = parseLoginItems;
}

} // namespace velmora::sim
