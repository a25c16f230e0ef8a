// SPDX-License-Identifier: MIT
// Driving statements for global input: modifier flags, mouse-ups and the pointer's shape.

#include "scenario.h"
#include "scenario_runner.h"
#include "scenario_words.h"

#include <cmath>

namespace velmora::sim {

namespace {

bool parseFlags(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {"time"}, w) || !expectPositional(c, w, 1, 1))
        return false;
    auto flags = parseHex(w.positional[0].text);
    if (!flags)
        return c.fail("flags must be written 0xHEX");
    std::optional<double> time;
    if (auto it = w.options.find("time"); it != w.options.end()) {
        time = parseDecimal(it->second.value);
        if (!time || !std::isfinite(*time))
            return c.fail("time must be seconds");
    }
    s.run = [flags = *flags, time](ScenarioRunner& r) {
        Event event;
        event.type = EventType::FlagsChanged;
        event.modifierFlags = flags;
        event.timestamp = time ? *time : r.desktop().runLoop().uptimeSeconds();
        r.desktop().postEvent(event);
    };
    return true;
}

bool parseMouseUp(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 2, 2))
        return false;
    auto x = parseDecimal(w.positional[0].text);
    auto y = parseDecimal(w.positional[1].text);
    if (!x || !y || !std::isfinite(*x) || !std::isfinite(*y))
        return c.fail("mouseup needs X Y");
    s.run = [point = Point{*x, *y}](ScenarioRunner& r) {
        Event event;
        event.type = EventType::LeftMouseUp;
        event.timestamp = r.desktop().runLoop().uptimeSeconds();
        event.locationInScreen = point;
        r.desktop().postEvent(event);
    };
    return true;
}

bool parseCursor(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    const std::string& shape = w.positional[0].text;
    Point hotSpot;
    if (shape == "text")
        hotSpot = kTextCursorHotSpot;
    else if (shape == "arrow")
        hotSpot = kArrowCursorHotSpot;
    else
        return c.fail("cursor must be text or arrow");
    s.run = [hotSpot](ScenarioRunner& r) { r.desktop().world().cursorHotSpot = hotSpot; };
    return true;
}

} // namespace

void addEventStatements(StatementTable& table) {
    table["flags"] = parseFlags;
    table["mouseup"] = parseMouseUp;
    table["cursor"] = parseCursor;
}

} // namespace velmora::sim
