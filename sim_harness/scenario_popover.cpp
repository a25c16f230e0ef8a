// SPDX-License-Identifier: MIT
// Driving statements of the status item, the popover and its rule editor: each acts on the
// views the program made, as the user would (a disabled button ignores the press; a row or
// item the table does not have is not there to click).

#include "scenario.h"
#include "scenario_runner.h"
#include "scenario_words.h"

namespace velmora::sim {

namespace {

bool noArguments(ParseContext& c) {
    SplitWords w;
    return splitWords(c, {}, w) && expectPositional(c, w, 0, 0);
}

StatementParser simple(std::function<void(SimDesktop&)> action) {
    return [action](ParseContext& c, Statement& s) {
        if (!noArguments(c))
            return false;
        s.run = [action](ScenarioRunner& r) { action(r.desktop()); };
        return true;
    };
}

void pressButton(SimDesktop& desktop, std::shared_ptr<Button> PopoverLayout::*button) {
    if (SimButton* found = desktop.layoutButton(button))
        found->performClick();
}

bool parseChoose(ParseContext& c, Statement& s) {
    SplitWords w;
    std::int64_t row = 0;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 2, 2) ||
        !parseRow(c, w.positional[0], row))
        return false;
    s.run = [row, item = w.positional[1].text](ScenarioRunner& r) {
        SimTableView* table = r.desktop().ruleTable();
        if (!table)
            return;
        auto* box =
            dynamic_cast<SimComboBox*>(table->viewAtColumnRow(kColumnSelectInput, row).get());
        if (box)
            box->userSelects(item);
    };
    return true;
}

bool parseEnglishSymbol(ParseContext& c, Statement& s) {
    SplitWords w;
    std::int64_t row = 0;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 2, 2) ||
        !parseRow(c, w.positional[0], row))
        return false;
    const std::string& state = w.positional[1].text;
    if (state != "on" && state != "off")
        return c.fail("english-symbol takes on or off");
    s.run = [row, on = state == "on"](ScenarioRunner& r) {
        auto* controller = r.desktop().popoverController();
        if (!controller)
            return;
        SimButton sender;
        sender.setTag(row);
        sender.setState(on ? ControlState::On : ControlState::Off);
        controller->onEnglishSymbolChanged(sender);
    };
    return true;
}

bool parseSelectRow(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    std::optional<std::int64_t> row;
    if (w.positional[0].quoted || w.positional[0].text != "none") {
        std::int64_t value = 0;
        if (!parseRow(c, w.positional[0], value))
            return false;
        row = value;
    }
    s.run = [row](ScenarioRunner& r) {
        SimTableView* table = r.desktop().ruleTable();
        if (!table)
            return;
        if (row)
            table->selectRowIndexesByExtendingSelection(IndexSet{*row}, false);
        else
            table->deselectAll();
    };
    return true;
}

bool parseAdd(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    std::optional<std::string> path;
    if (w.positional[0].quoted || w.positional[0].text != "cancel")
        path = w.positional[0].text;
    s.run = [path](ScenarioRunner& r) {
        pressButton(r.desktop(), &PopoverLayout::addButton);
        if (auto panel = r.desktop().views().pendingOpenPanel())
            panel->answer(path);
    };
    return true;
}

// drag ROW above|on R, drag-foreign above|on R.
bool parseDrop(ParseContext& c, bool foreign, std::int64_t& row, TableViewDropOperation& op,
               std::int64_t& target) {
    SplitWords w;
    const std::size_t words = foreign ? 2 : 3;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, words, words))
        return false;
    std::size_t at = 0;
    if (!foreign && !parseRow(c, w.positional[at++], row))
        return false;
    const std::string& where = w.positional[at++].text;
    if (where == "above")
        op = TableViewDropOperation::Above;
    else if (where == "on")
        op = TableViewDropOperation::On;
    else
        return c.fail("expected above or on: " + where);
    return parseRow(c, w.positional[at], target);
}

bool parseDrag(ParseContext& c, Statement& s) {
    std::int64_t row = 0;
    std::int64_t target = 0;
    TableViewDropOperation op{};
    if (!parseDrop(c, false, row, op, target))
        return false;
    s.run = [row, op, target](ScenarioRunner& r) {
        if (SimTableView* table = r.desktop().ruleTable())
            table->dragRow(row, target, op);
    };
    return true;
}

bool parseDragForeign(ParseContext& c, Statement& s) {
    std::int64_t row = 0;
    std::int64_t target = 0;
    TableViewDropOperation op{};
    if (!parseDrop(c, true, row, op, target))
        return false;
    s.run = [op, target](ScenarioRunner& r) {
        if (SimTableView* table = r.desktop().ruleTable())
            table->dropForeign(kForeignDragText, target, op);
    };
    return true;
}

} // namespace

void addPopoverStatements(StatementTable& table) {
    table["reopen"] = simple([](SimDesktop& d) {
        if (d.agent())
            d.agent()->applicationShouldHandleReopen(false);
    });
    table["click-status-item"] = simple([](SimDesktop& d) {
        if (auto item = d.views().statusItem())
            item->click();
    });
    table["popover-dismiss"] = simple([](SimDesktop& d) {
        if (auto popover = d.views().popover())
            popover->dismiss();
    });
    table["mousedown"] = simple([](SimDesktop& d) {
        if (auto* controller = d.popoverController())
            controller->mouseDown();
    });
    table["remove"] = simple([](SimDesktop& d) { pressButton(d, &PopoverLayout::removeButton); });
    table["toggle-size"] =
        simple([](SimDesktop& d) { pressButton(d, &PopoverLayout::adjustSizeButton); });
    table["choose"] = parseChoose;
    table["english-symbol"] = parseEnglishSymbol;
    table["select-row"] = parseSelectRow;
    table["add"] = parseAdd;
    table["drag"] = parseDrag;
    table["drag-foreign"] = parseDragForeign;
}

} // namespace velmora::sim
