// SPDX-License-Identifier: MIT
// Statements that drive the agent: time, activations, notifications, the user's choices.

#include "scenario.h"
#include "scenario_runner.h"
#include "scenario_words.h"

namespace velmora::sim {

namespace {

bool oneWord(ParseContext& c, SplitWords& w) {
    return splitWords(c, {}, w) && expectPositional(c, w, 1, 1);
}

bool parseLaunch(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 0, 0))
        return false;
    if (c.launched)
        return c.fail("launch may come only once");
    c.launched = true;
    s.run = [](ScenarioRunner& r) { r.desktop().launch(); };
    return true;
}

bool advanceTo(ParseContext& c, Statement& s, std::int64_t target) {
    c.time = target;
    s.run = [target](ScenarioRunner& r) { r.desktop().advanceTo(target); };
    return true;
}

bool parseAt(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!oneWord(c, w))
        return false;
    auto t = parseInteger(w.positional[0].text);
    if (!t || *t < 0)
        return c.fail("time must be whole milliseconds of at least 0");
    if (*t < c.time)
        return c.fail("time " + std::to_string(*t) + " is before the earlier time " +
                      std::to_string(c.time));
    return advanceTo(c, s, *t);
}

bool parseWait(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!oneWord(c, w))
        return false;
    auto ms = parseInteger(w.positional[0].text);
    if (!ms || *ms < 0)
        return c.fail("wait must be whole milliseconds of at least 0");
    // The clock may stand beyond the named times after a blocking wait: wait counts from the
    // clock as it is when the statement runs.
    c.time += *ms;
    s.run = [ms = *ms](ScenarioRunner& r) {
        r.desktop().advanceTo(r.desktop().runLoop().now() + ms);
    };
    return true;
}

bool parseActivate(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!oneWord(c, w))
        return false;
    const Word& target = w.positional[0];
    if (!target.quoted && target.text == "-")
        s.run = [](ScenarioRunner& r) { r.desktop().activate(std::nullopt); };
    else if (!target.quoted && target.text == "?")
        s.run = [](ScenarioRunner& r) { r.desktop().activateWithoutApplication(); };
    else
        s.run = [bundle = target.text](ScenarioRunner& r) { r.desktop().activate(bundle); };
    return true;
}

bool parseMainScreen(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!oneWord(c, w))
        return false;
    auto number = parseInteger(w.positional[0].text);
    if (!number || *number < INT32_MIN || *number > INT32_MAX)
        return c.fail("screen number must be a 32-bit integer");
    s.run = [number = static_cast<std::int32_t>(*number)](ScenarioRunner& r) {
        auto& world = r.desktop().world();
        bool known = false;
        for (const auto& screen : world.screens)
            known = known || screen.number == number;
        if (!known) // an undeclared screen gets the default size
            world.screens.push_back(SimScreen{number, 1440, 900});
        world.mainScreenNumber = number;
    };
    return true;
}

// A statement with one word that hands it to one operation of the desktop.
StatementParser oneWordStatement(void (SimDesktop::*operation)(const std::string&)) {
    return [operation](ParseContext& c, Statement& s) {
        SplitWords w;
        if (!oneWord(c, w))
            return false;
        s.run = [operation, word = w.positional[0].text](ScenarioRunner& r) {
            (r.desktop().*operation)(word);
        };
        return true;
    };
}

} // namespace

void addDrivingStatements(StatementTable& table) {
    table["launch"] = parseLaunch;
    table["at"] = parseAt;
    table["wait"] = parseWait;
    table["activate"] = parseActivate;
    table["unhide"] = oneWordStatement(&SimDesktop::unhide);
    table["launch-app"] = oneWordStatement(&SimDesktop::launchApp);
    table["quit-app"] = oneWordStatement(&SimDesktop::quitApp);
    table["main-screen"] = parseMainScreen;
    table["notify"] = oneWordStatement(&SimDesktop::postDistributed);
    table["user-selects"] = oneWordStatement(&SimDesktop::userSelects);
}

} // namespace velmora::sim
