// SPDX-License-Identifier: MIT
#include "scenario_checks.h"

#include "app/app_delegate.h"
#include "plist_json.h"
#include "scenario_runner.h"
#include "sim/sim_indicator_views.h"

namespace velmora::sim {

namespace {

std::vector<std::string> printCurrent(ScenarioRunner& r, const std::vector<Word>&) {
    const auto& current = r.desktop().world().currentInputID;
    return {"current " + (current ? *current : std::string("none"))};
}

std::vector<std::string> printDefaults(ScenarioRunner& r, const std::vector<Word>& args) {
    const std::string& key = args[0].text;
    auto value = r.desktop().rawStore().objectForKey(key);
    return {"defaults " + key + " " + (value ? toCompactJson(*value) : std::string("absent"))};
}

std::vector<std::string> printState(ScenarioRunner& r, const std::vector<Word>&) {
    std::string lastApp = "none";
    std::int32_t lastScreenNumber = 0;
    bool spotlight = false;
    bool alfred = false;
    std::string realAlfred = "none";
    if (AppDelegate* agent = r.desktop().agent()) {
        const auto& dispatcher = agent->dispatcher();
        if (dispatcher.lastApp)
            lastApp = dispatcher.lastApp->empty() ? "\"\"" : *dispatcher.lastApp;
        lastScreenNumber = dispatcher.lastScreenNumber;
        spotlight = agent->launchers().spotlightPanelSeen;
        alfred = agent->launchers().alfredPanelSeen;
        if (agent->launchers().realAlfredAppID)
            realAlfred = *agent->launchers().realAlfredAppID;
    }
    return {"state lastApp=" + lastApp + " lastScreenNumber=" + std::to_string(lastScreenNumber) +
            " spotlight=" + (spotlight ? "1" : "0") + " alfred=" + (alfred ? "1" : "0") +
            " realAlfredAppID=" + realAlfred};
}

std::vector<std::string> printIndicator(ScenarioRunner& r, const std::vector<Word>&) {
    Point origin;
    bool iconViewHidden = false;
    bool iconBoxHidden = false;
    ImagePtr image;
    if (AppDelegate* agent = r.desktop().agent()) {
        if (auto window = agent->inputIconWindow())
            origin = window->frameOrigin();
        if (auto view = agent->iconView()) {
            iconViewHidden = view->isHidden();
            image = view->image();
        }
        if (auto box = agent->iconBox())
            iconBoxHidden = box->isHidden();
    }
    auto shown = [](bool hidden) { return hidden ? "hidden" : "shown"; };
    return {"indicator origin=" + formatNumber(origin.x) + "," + formatNumber(origin.y) +
            " iconView=" + shown(iconViewHidden) + " iconBox=" + shown(iconBoxHidden) +
            " image=" + describeImage(image)};
}

std::vector<Word> wordsAfterName(const std::string& line) {
    std::vector<Word> words;
    std::string error;
    lexWords(line, words, &error);
    if (!words.empty())
        words.erase(words.begin());
    return words;
}

// Parses show WHAT ARGS / expect WHAT ARGS EXPECTED...
bool parseCheck(ParseContext& c, Statement& s, bool isExpect) {
    static const ShowTable table = buildShowTable();
    if (c.words.size() < 2)
        return c.fail("missing what to " + c.words[0].text);
    const std::string what = c.words[1].text;
    auto it = table.find(what);
    if (it == table.end())
        return c.fail("unknown thing to " + c.words[0].text + ": " + what);
    if (!it->second.print)
        return c.fail("not supported yet: " + c.words[0].text + " " + what);
    const ShowKind& kind = it->second;
    if (c.words.size() < 2 + kind.argumentCount)
        return c.fail("missing argument to " + c.words[0].text + " " + what);
    std::vector<Word> args(c.words.begin() + 2,
                           c.words.begin() + 2 + static_cast<std::ptrdiff_t>(kind.argumentCount));
    const int line = c.line;
    auto print = kind.print;
    if (!isExpect) {
        if (c.words.size() != 2 + kind.argumentCount)
            return c.fail("too many arguments to show " + what);
        s.run = [print, args](ScenarioRunner& r) {
            for (const auto& text : print(r, args))
                r.desktop().trace().emit(text);
        };
        return true;
    }
    const std::size_t firstExpected = 2 + kind.argumentCount;
    if (what == "defaults") {
        // The expected value is JSON (or "absent") on the rest of the line.
        std::string rest = c.restAfterWord(firstExpected - 1);
        auto blank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r'; };
        while (!rest.empty() && blank(rest.back()))
            rest.pop_back();
        while (!rest.empty() && blank(rest.front()))
            rest.erase(rest.begin());
        if (rest.empty())
            return c.fail("missing expected value");
        std::string expectedText = "absent";
        if (rest != "absent") {
            std::string error;
            auto value = parseJson(rest, &error);
            if (!value)
                return c.fail(error);
            expectedText = toCompactJson(*value);
        }
        std::string expectedLine = "defaults " + args[0].text + " " + expectedText;
        s.run = [print, args, expectedLine, line](ScenarioRunner& r) {
            std::string got = print(r, args).front();
            if (got != expectedLine)
                r.fail(line, "expected " + expectedLine + ", got " + got);
        };
        return true;
    }
    std::vector<Word> expected(c.words.begin() + static_cast<std::ptrdiff_t>(firstExpected),
                               c.words.end());
    std::vector<Word> fixed(c.words.begin() + 2,
                            c.words.begin() + static_cast<std::ptrdiff_t>(firstExpected));
    std::string expectedText = what;
    for (std::size_t i = 2; i < c.words.size(); ++i)
        expectedText += " " + c.text.substr(c.words[i].column, c.words[i].end - c.words[i].column);
    s.run = [print, args, expected, fixed, expectedText, line](ScenarioRunner& r) {
        auto lines = print(r, args);
        std::vector<Word> want = fixed;
        want.insert(want.end(), expected.begin(), expected.end());
        for (const auto& got : lines)
            if (lineMeetsExpectation(wordsAfterName(got), want))
                return;
        std::string gotText;
        for (const auto& got : lines)
            gotText += (gotText.empty() ? "" : " | ") + got;
        if (lines.empty())
            gotText = "nothing";
        r.fail(line, "expected " + expectedText + ", got " + gotText);
    };
    return true;
}

} // namespace

bool lineMeetsExpectation(const std::vector<Word>& printed, const std::vector<Word>& expected) {
    std::vector<const Word*> printedPositional;
    std::map<std::string, const Word*> printedOptions;
    for (const auto& w : printed) {
        if (w.key)
            printedOptions[*w.key] = &w;
        else
            printedPositional.push_back(&w);
    }
    std::size_t positional = 0;
    for (const auto& w : expected) {
        if (w.key) {
            auto it = printedOptions.find(*w.key);
            if (it == printedOptions.end() || it->second->value != w.value)
                return false;
        } else {
            if (positional >= printedPositional.size() ||
                printedPositional[positional]->text != w.text)
                return false;
            ++positional;
        }
    }
    return positional == printedPositional.size();
}

void addEngineShows(ShowTable& table) {
    table["current"] = {0, printCurrent};
    table["defaults"] = {1, printDefaults};
    table["state"] = {0, printState};
    table["indicator"] = {0, printIndicator};
}

ShowTable buildShowTable() {
    ShowTable table;
    addEngineShows(table);
    addEditorShows(table);
    addSettingsShows(table);
    return table;
}

void addCheckStatements(StatementTable& table) {
    table["show"] = [](ParseContext& c, Statement& s) { return parseCheck(c, s, false); };
    table["expect"] = [](ParseContext& c, Statement& s) { return parseCheck(c, s, true); };
}

} // namespace velmora::sim
