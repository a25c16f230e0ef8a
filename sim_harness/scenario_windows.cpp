// SPDX-License-Identifier: MIT
// World statements for the window list and for icon images.

#include "platform/window_list.h"
#include "scenario.h"
#include "scenario_runner.h"
#include "scenario_words.h"

#include <cmath>
#include <sstream>

namespace velmora::sim {

namespace {

// The largest icon a scenario may define, in pixels: far beyond any real icon, small enough
// that a typo cannot exhaust memory.
constexpr std::int64_t kMaxIconPixels = 4096LL * 4096LL;

// A bounds number keeps its kind: whole numbers are integers, others reals (as the window
// server reports fractional points).
PlistValue boundsNumber(double value) {
    constexpr double exactIntegers = 9007199254740992.0; // 2^53
    if (std::fabs(value) < exactIntegers && value == std::trunc(value))
        return PlistValue(static_cast<std::int64_t>(value));
    return PlistValue(value);
}

// X,Y,W,H with any numbers, negative and fractional ones included.
bool parseBounds(ParseContext& c, const std::string& text, PlistDictionary& out) {
    std::vector<double> numbers;
    std::stringstream parts(text);
    std::string part;
    while (std::getline(parts, part, ',')) {
        auto value = parseDecimal(part);
        if (!value || !std::isfinite(*value))
            return c.fail("bounds must be X,Y,W,H: " + text);
        numbers.push_back(*value);
    }
    if (numbers.size() != 4 || text.ends_with(","))
        return c.fail("bounds must be X,Y,W,H: " + text);
    out = {{"X", boundsNumber(numbers[0])},
           {"Y", boundsNumber(numbers[1])},
           {"Width", boundsNumber(numbers[2])},
           {"Height", boundsNumber(numbers[3])}};
    return true;
}

bool knownHandle(ParseContext& c, const std::string& handle) {
    if (!c.windowHandles.count(handle))
        return c.fail("no window " + handle);
    return true;
}

bool parseWindow(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {"owner", "name", "layer", "bounds", "onscreen"}, w) ||
        !expectPositional(c, w, 1, 1))
        return false;
    auto owner = w.options.find("owner");
    if (owner == w.options.end())
        return c.fail("window needs owner=\"...\" or owner=none");
    PlistDictionary entry;
    if (owner->second.valueQuoted || owner->second.value != "none")
        entry[kWindowOwnerNameKey] = PlistValue(owner->second.value);
    if (auto name = w.options.find("name"); name != w.options.end())
        if (name->second.valueQuoted || name->second.value != "none")
            entry[kWindowNameKey] = PlistValue(name->second.value);
    std::int64_t layer = 0;
    if (auto it = w.options.find("layer"); it != w.options.end()) {
        auto value = parseInteger(it->second.value);
        if (!value || *value < INT32_MIN || *value > INT32_MAX)
            return c.fail("layer must be a 32-bit integer");
        layer = *value;
    }
    entry[kWindowLayerKey] = PlistValue(layer);
    PlistDictionary bounds = {{"X", 0}, {"Y", 0}, {"Width", 0}, {"Height", 0}};
    if (auto it = w.options.find("bounds"); it != w.options.end())
        if (!parseBounds(c, it->second.value, bounds))
            return false;
    entry[kWindowBoundsKey] = PlistValue(bounds);
    bool onscreen = true;
    if (!yesNoOption(c, w, "onscreen", true, onscreen))
        return false;
    entry[kWindowIsOnscreenKey] = PlistValue(onscreen);
    std::string handle = w.positional[0].text;
    c.windowHandles.insert(handle);
    s.run = [handle, entry](ScenarioRunner& r) {
        r.desktop().world().putWindowInFront(handle, entry);
    };
    return true;
}

bool parseWindowRemove(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    std::string handle = w.positional[0].text;
    if (!knownHandle(c, handle))
        return false;
    c.windowHandles.erase(handle);
    s.run = [handle](ScenarioRunner& r) { r.desktop().world().removeWindow(handle); };
    return true;
}

bool parseWindowFront(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    std::string handle = w.positional[0].text;
    if (!knownHandle(c, handle))
        return false;
    s.run = [handle](ScenarioRunner& r) { r.desktop().world().bringWindowToFront(handle); };
    return true;
}

bool parseWindowMove(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 2, 2))
        return false;
    std::string handle = w.positional[0].text;
    PlistDictionary bounds;
    if (!knownHandle(c, handle) || !parseBounds(c, w.positional[1].text, bounds))
        return false;
    s.run = [handle, bounds](ScenarioRunner& r) { r.desktop().world().moveWindow(handle, bounds); };
    return true;
}

std::optional<std::array<std::uint8_t, 4>> parseColour(const std::string& text) {
    if (text.size() != 8)
        return std::nullopt;
    std::array<std::uint8_t, 4> bytes{};
    for (std::size_t i = 0; i < 4; ++i) {
        std::uint8_t byte = 0;
        for (std::size_t k = 0; k < 2; ++k) {
            char ch = text[i * 2 + k];
            int digit = ch >= '0' && ch <= '9'   ? ch - '0'
                        : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
                        : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                                                 : -1;
            if (digit < 0)
                return std::nullopt;
            byte = static_cast<std::uint8_t>(byte * 16 + digit);
        }
        bytes[i] = byte;
    }
    return bytes;
}

// icon ICON W H RRGGBBAA [RRGGBBAA]. A size of 0 or below is allowed (a broken image): it
// has no pixels.
bool parseIcon(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 4, 5))
        return false;
    const std::string name = w.positional[0].text;
    if (name.empty())
        return c.fail("an icon needs a name");
    auto width = parseInteger(w.positional[1].text);
    auto height = parseInteger(w.positional[2].text);
    if (!width || !height || *width < INT32_MIN || *width > INT32_MAX || *height < INT32_MIN ||
        *height > INT32_MAX)
        return c.fail("icon size must be two whole numbers");
    const std::int64_t columns = std::max<std::int64_t>(*width, 0);
    const std::int64_t rows = std::max<std::int64_t>(*height, 0);
    if (rows != 0 && columns > kMaxIconPixels / rows)
        return c.fail("icon too large");
    std::vector<std::array<std::uint8_t, 4>> colours;
    for (std::size_t i = 3; i < w.positional.size(); ++i) {
        auto colour = parseColour(w.positional[i].text);
        if (!colour)
            return c.fail("colour must be RRGGBBAA: " + w.positional[i].text);
        colours.push_back(*colour);
    }
    SimIcon icon;
    icon.width = static_cast<int>(*width);
    icon.height = static_cast<int>(*height);
    const std::int64_t count = columns * rows;
    icon.pixels.reserve(static_cast<std::size_t>(count) * 4);
    for (std::int64_t i = 0; i < count; ++i) {
        const auto& colour = colours[static_cast<std::size_t>(i) % colours.size()];
        icon.pixels.insert(icon.pixels.end(), colour.begin(), colour.end());
    }
    s.run = [name, icon](ScenarioRunner& r) { r.desktop().images().icons[name] = icon; };
    return true;
}

} // namespace

void addWindowStatements(StatementTable& table) {
    table["window"] = parseWindow;
    table["window-remove"] = parseWindowRemove;
    table["window-front"] = parseWindowFront;
    table["window-move"] = parseWindowMove;
    table["icon"] = parseIcon;
}

} // namespace velmora::sim
