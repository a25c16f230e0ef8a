// SPDX-License-Identifier: MIT
#include "event_stream.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace velmora::random {

namespace {

std::string hex(std::uint64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%" PRIx64, value);
    return buffer;
}

// A number as the scenario reads it back exactly.
std::string number(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::string quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// Applications of the world: the browsers of the address-bar switch, both launchers, ordinary
// applications with and without rules, one that is not installed.
const std::vector<std::string> kApps = {"com.apple.Safari",
                                        "com.google.Chrome",
                                        "com.apple.Spotlight",
                                        "com.runningwithcrayons.Alfred",
                                        "com.runningwithcrayons.Alfred-3",
                                        "com.example.mail",
                                        "com.example.term",
                                        "com.example.edit",
                                        "com.example.notinstalled",
                                        "com.quorvant.Quorvant-Velmora"};

// Owner names of windows: the browsers, the launchers' panels (Spotlight's Chinese name
// included), ordinary applications.
const std::vector<std::string> kOwners = {
    "Safari", "Google Chrome", "Spotlight", "\xE8\x81\x9A\xE7\x84\xA6", "Alfred", "Alfred 3",
    "Mail",   "Terminal",      "Velmora",   "Safari Technology Preview"};

// Modifier flags: presses of one key, the four release values, and odd ones.
const std::vector<std::uint64_t> kPresses = {0x100108, 0x80120,  0x40101, 0x20102,
                                             0x100110, 0x180128, 0x800108};
const std::vector<std::uint64_t> kReleases = {0x100, 0x10100, 0x800100, 0x810100};

const std::vector<std::string> kKnownKeys = {
    "velmora",          "orderOfAppsRule", "notDisplayAppName",           "shortcutOfInput",
    "enableTipOfState", "followWindow",    "enableBrowserAddressEnglish", "autoStartAtLogin",
    "hideMenuBarIcon",  "changedTimes"};

} // namespace

EventStream::EventStream(std::uint64_t seed) : rng_(seed) {
    makeWorld();
}

void EventStream::makeWorld() {
    auto& p = prologue_;
    // Input sources: keyboard layouts, some disabled or not selectable, a palette, icons of
    // every kind. Which are there changes with the seed; ABC always is (the address bar's).
    p.push_back("icon flag 16 16 ff0000ff 00ff00ff");
    p.push_back("icon empty 0 0 00000000");
    struct Source {
        const char* id;
        const char* name;
        const char* extra;
    };
    const std::vector<Source> sources = {
        {"com.apple.keylayout.ABC", "ABC", "icon=ref:flag"},
        {"com.apple.keylayout.German", "German", "icon=url-broken"},
        {"com.apple.keylayout.Russian", "Russian", "icon=ref:empty"},
        {"com.apple.keylayout.French", "French", "enabled=no"},
        {"com.apple.keylayout.Greek", "Greek", "selectable=no"},
        {"com.apple.CharacterPaletteIM", "Emoji", "category=palette"},
        {"com.apple.keylayout.Dvorak", "Dvorak", "icon=none"},
        {"com.apple.keylayout.Same", "German", ""}, // a second source of the same name
    };
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (i != 0 && chance(0.25))
            continue;
        std::string line = std::string("input ") + sources[i].id + " " + quote(sources[i].name);
        if (*sources[i].extra)
            line += std::string(" ") + sources[i].extra;
        p.push_back(line);
        inputIds_.push_back(sources[i].id);
        inputNames_.push_back(sources[i].name);
    }
    inputNames_.push_back("-");
    inputNames_.push_back("No Such Source");
    if (chance(0.3))
        p.push_back("current " + (chance(0.5) ? pick(inputIds_) : std::string("none")));

    p.push_back("app com.apple.Safari \"Safari\"");
    p.push_back("app com.google.Chrome \"Google Chrome\"");
    p.push_back("app com.apple.Spotlight \"Spotlight\" policy=background");
    if (chance(0.7))
        p.push_back("app com.runningwithcrayons.Alfred \"Alfred\" policy=accessory");
    if (chance(0.3))
        p.push_back("app com.runningwithcrayons.Alfred-3 \"Alfred 3\" policy=accessory");
    p.push_back("app com.example.mail \"Mail\"");
    p.push_back("app com.example.term \"Terminal\" running=no");
    p.push_back("app com.example.edit \"Editor\" owner=\"Editor Helper\"");
    p.push_back("app com.example.notinstalled \"Ghost\" installed=no");
    p.push_back("app-nobundle \"Helper\"");
    apps_ = kApps;

    const int screens = static_cast<int>(below(3)); // 0: the default screen
    for (int i = 0; i < screens; ++i)
        p.push_back(screenLine());

    if (chance(0.5))
        p.push_back("uptime \"10:00  up 12 secs, 1 user, load averages: 1.0 1.0 1.0\"");
    if (chance(0.1))
        p.push_back("uptime fail");
    if (chance(0.2))
        p.push_back("system-version 10." + std::to_string(below(16)));
    for (const auto& key : kKnownKeys)
        if (chance(0.5))
            p.push_back("defaults " + key + " = " + storeValue(key));
    for (int i = static_cast<int>(below(4)); i > 0; --i)
        p.push_back(windowLine());
    p.push_back("launch");
}

std::string EventStream::anyApp() {
    if (chance(0.05))
        return "com.example.new" + std::to_string(below(4)); // declared on the spot
    return pick(apps_);
}

std::string EventStream::anyInputId() {
    return pick(inputIds_);
}

std::string EventStream::anyInputName() {
    return pick(inputNames_);
}

std::string EventStream::anyRow() {
    if (chance(0.05))
        return std::to_string(below(1000000));
    return std::to_string(below(12));
}

std::string EventStream::waitLine() {
    // Around the program's own delays (0.1 s, 0.2 s, 0.26 s, 1 s), and some long pauses.
    static const std::vector<int> waits = {0,   1,   10,  50,  99,  100, 101, 150,  199,
                                           200, 201, 250, 260, 300, 500, 999, 1000, 1001};
    int ms = chance(0.02) ? static_cast<int>(below(10000)) : pick(waits);
    seconds_ += ms / 1000.0;
    return "wait " + std::to_string(ms);
}

std::string EventStream::screenLine() {
    static const std::vector<double> sizes = {1440, 900, 1920, 1080, 2560, 1600, 1,    0,
                                              0.5,  1e9, 768,  1024, 33.3, 5120, 2880, 7};
    std::string screenNumber = std::to_string(static_cast<int>(below(4)));
    if (chance(0.05))
        screenNumber = chance(0.5) ? "-2147483648" : "2147483647";
    const double height = pick(sizes);
    if (!screenDeclared_) // the first declared screen is the one at the desktop's origin
        originScreenHeight_ = height;
    screenDeclared_ = true;
    std::string line = "screen " + screenNumber + " " + number(pick(sizes)) + " " + number(height);
    if (chance(0.4))
        line += " main";
    if (chance(0.3))
        line += " deepest";
    return line;
}

std::string EventStream::windowLine() {
    Window window;
    window.handle = "w" + std::to_string(nextWindow_++);
    std::string line = "window " + window.handle;
    if (chance(0.05)) {
        line += " owner=none";
    } else {
        window.owner = pick(kOwners);
        line += " owner=" + quote(window.owner);
    }
    if (chance(0.2))
        line += " name=none";
    else if (chance(0.5))
        line += " name=\"\"";
    else
        line += " name=\"page " + std::to_string(below(5)) + "\"";
    static const std::vector<std::string> layers = {"0", "0", "27", "25", "3", "-1", "2147483647"};
    line += " layer=" + pick(layers);
    static const std::vector<double> xs = {0, 10, 100, 420, -50, 2000, 1e15, 0.5};
    static const std::vector<double> ws = {0, 100, 101, 600, 800, 1440, 1e12, -10, 0.5};
    window.top = pick(xs);
    line += " bounds=" + number(pick(xs)) + "," + number(window.top) + "," + number(pick(ws)) +
            "," + number(pick(ws));
    if (chance(0.15))
        line += " onscreen=no";
    // A handle that comes again replaces its window.
    std::erase_if(windows_, [&](const Window& w) { return w.handle == window.handle; });
    windows_.push_back(window);
    return line;
}

std::string EventStream::mouseUpLine() {
    // Mostly in or near a browser's address band: the band lies 10-30 (Safari) or 45-75
    // (Chrome) points below the window's top, which event locations count from the bottom
    // of the screen at the origin.
    std::vector<const Window*> browsers;
    for (const auto& w : windows_)
        if (w.owner.starts_with("Safari") || w.owner.starts_with("Google Chrome"))
            browsers.push_back(&w);
    double x = static_cast<double>(below(2000));
    double y = static_cast<double>(below(1200));
    if (!browsers.empty() && chance(0.8)) {
        const Window& w = *browsers[below(browsers.size())];
        static const std::vector<double> offsets = {0,  5,  10, 10.5, 20, 29.5,
                                                    30, 44, 45, 50,   75, 80};
        y = originScreenHeight_ - (w.top + pick(offsets));
    }
    return "mouseup " + number(x) + " " + number(y);
}

std::string EventStream::garbageValue() {
    static const std::vector<std::string> values = {
        "9223372036854775807",
        "-9223372036854775808",
        "-1",
        "0",
        "NaN",
        "Infinity",
        "-Infinity",
        "1e300",
        "-1e300",
        "9.2233720368547758e18",
        "3.75",
        "true",
        "false",
        "\"\"",
        "\"abc\"",
        "\"99999999999999999999\"",
        "\"  42\"",
        "\"-9223372036854775808\"",
        "\"tab\\there\\u0001\\u001f<&>]]>\"",
        "\"\\u0000\"",
        "{\"a\\u0002\": \"\\u00e9\\ud83d\\ude00\"}",
        "[]",
        "[1, \"a\", 2.5, {}]",
        "{}",
        "{\"\": {\"id\": 7}}",
        "[[[[[[[[]]]]]]]]",
    };
    return pick(values);
}

std::string EventStream::rulesValue() {
    std::string out = "{";
    for (int i = static_cast<int>(below(8)); i > 0; --i) {
        if (out.size() > 1)
            out += ", ";
        out += quote(anyApp()) + ": ";
        switch (below(10)) {
        case 0:
            out += garbageValue();
            break;
        case 1:
            out += "{\"id\": " + garbageValue() + "}";
            break;
        default:
            out += "{\"id\": " + quote(chance(0.9) ? anyInputId() : "com.apple.keylayout.None") +
                   (chance(0.3) ? ", \"English Symbol\": " + garbageValue() : "") + "}";
        }
    }
    return out + "}";
}

std::string EventStream::shortcutsValue() {
    std::string out = "{";
    for (int i = static_cast<int>(below(3)); i > 0; --i) {
        if (out.size() > 1)
            out += ", ";
        out += quote(anyInputId()) + ": ";
        if (chance(0.2))
            out += garbageValue();
        else
            out += "{\"keyCode\": " + (chance(0.2) ? garbageValue() : std::to_string(below(10))) +
                   ", \"modifierFlags\": " +
                   (chance(0.2) ? garbageValue() : std::to_string(1048576 >> below(4))) + "}";
    }
    return out + "}";
}

std::string EventStream::storeValue(const std::string& key) {
    if (chance(0.3))
        return garbageValue();
    if (key == "velmora")
        return rulesValue();
    if (key == "shortcutOfInput")
        return shortcutsValue();
    if (key == "orderOfAppsRule" || key == "notDisplayAppName") {
        std::string out = "[";
        for (int i = static_cast<int>(below(5)); i > 0; --i) {
            if (out.size() > 1)
                out += ", ";
            out += chance(0.1) ? garbageValue() : quote(anyApp());
        }
        return out + "]";
    }
    if (key == "changedTimes")
        return chance(0.5) ? std::to_string(below(1000)) : garbageValue();
    return chance(0.5) ? "true" : "false";
}

std::vector<std::string> EventStream::flagsEvent() {
    auto stamp = [&](std::uint64_t flags) {
        std::string line = "flags " + hex(flags);
        if (chance(0.1)) // a stamp of the event's own, sometimes behind the last one
            line += " time=" + number(chance(0.5) ? seconds_ : seconds_ - 1.0);
        return line;
    };
    switch (below(6)) {
    case 0: { // a double tap: press, release, press of one key
        std::uint64_t press = pick(kPresses);
        std::vector<std::string> lines = {stamp(press), "wait " + std::to_string(20 + below(120)),
                                          stamp(pick(kReleases))};
        if (chance(0.5)) {
            lines.push_back("window alfredpanel owner=\"Alfred\" name=\"\" layer=27 "
                            "bounds=420,180,600,60");
            std::erase_if(windows_, [](const Window& w) { return w.handle == "alfredpanel"; });
            windows_.push_back(Window{"alfredpanel", "Alfred", 180});
        }
        lines.push_back("wait " + std::to_string(below(200)));
        lines.push_back(stamp(press));
        return lines;
    }
    case 1:
    case 2:
        return {stamp(pick(kPresses))};
    case 3:
    case 4:
        return {stamp(pick(kReleases))};
    default:
        return {stamp(rng_())};
    }
}

std::vector<std::string> EventStream::storeEvent() {
    // Another program edits the settings.
    switch (below(8)) {
    case 0:
        return {"defaults-remove " + pick(kKnownKeys)};
    case 1: { // the whole file replaced by one with junk under every key
        std::vector<std::string> lines;
        for (const auto& key : kKnownKeys)
            lines.push_back(chance(0.3) ? "defaults-remove " + key
                                        : "defaults " + key + " = " + garbageValue());
        return lines;
    }
    case 2:
        return {"defaults unknownKey" + std::to_string(below(3)) + " = " + garbageValue()};
    case 3:
        return {"defaults changedTimes = " + garbageValue()};
    case 4:
    case 5: // rules the agent can follow, so that activations switch
        return {"defaults velmora = " + rulesValue()};
    default: {
        const std::string& key = pick(kKnownKeys);
        return {"defaults " + key + " = " + storeValue(key)};
    }
    }
}

std::vector<std::string> EventStream::popoverEvent() {
    switch (below(19)) {
    case 0:
        return {"reopen"};
    case 1:
    case 2:
        return {"click-status-item"};
    case 3:
        return {"popover-dismiss"};
    case 4:
        return {"toggle-size"};
    case 5:
        return {"mousedown"};
    case 6:
    case 7:
        return {"choose " + anyRow() + " " + quote(anyInputName())};
    case 8:
        return {"english-symbol " + anyRow() + (chance(0.5) ? " on" : " off")};
    case 9:
        return {"select-row " + (chance(0.2) ? std::string("none") : anyRow())};
    case 10:
        return {"remove"};
    case 11: {
        static const std::vector<std::string> paths = {"cancel",
                                                       "/Applications/Mail.app",
                                                       "/Applications/Terminal.app",
                                                       "/Applications/Safari.app",
                                                       "/Applications/Nothing.app",
                                                       "/tmp",
                                                       "\"\""};
        return {"add " + pick(paths)};
    }
    case 12:
        return {"drag " + anyRow() + (chance(0.5) ? " above " : " on ") + anyRow()};
    case 13:
        return {"drag-foreign" + std::string(chance(0.5) ? " above " : " on ") + anyRow()};
    case 14:
        return {"record " + std::to_string(below(8)) + " " + std::to_string(below(12)) + " " +
                hex(chance(0.8) ? (1048576u >> below(4)) : rng_() >> 1)};
    case 15:
        return {(chance(0.5) ? "clear " : "end-recording ") + std::to_string(below(8))};
    case 16:
        return {"keypress " + std::to_string(below(12)) + " " + hex(1048576u >> below(4))};
    case 17: {
        static const std::vector<std::string> entries = {
            "show", "start-at-login", "hide-icon", "help", "rate", "velmora", "club", "video"};
        return {"menu " + pick(entries)};
    }
    default: {
        static const std::vector<std::string> settings = {"enableTipOfState", "followWindow",
                                                          "enableBrowserAddressEnglish"};
        if (chance(0.2)) {
            static const std::vector<std::string> items = {
                "login-items", "login-items /Applications/Velmora.app",
                "login-items \"\" /Applications/Velmora.app /Applications/Mail.app"};
            return {pick(items)};
        }
        return {"setting " + pick(settings)};
    }
    }
}

std::vector<std::string> EventStream::windowEvent() {
    // A dozen windows at most, so that a long run's window list stays the size of a desktop's.
    if (windows_.empty() || (windows_.size() < 12 && chance(0.35)))
        return {windowLine()};
    const Window window = pick(windows_);
    switch (below(3)) {
    case 0:
        std::erase_if(windows_, [&](const Window& w) { return w.handle == window.handle; });
        return {"window-remove " + window.handle};
    case 1:
        return {"window-front " + window.handle};
    default: {
        static const std::vector<double> xs = {0, 10, 100, 420, -50, 0.25};
        double top = pick(xs);
        for (auto& w : windows_)
            if (w.handle == window.handle)
                w.top = top;
        return {"window-move " + window.handle + " " + number(pick(xs)) + "," + number(top) +
                ",800,600"};
    }
    }
}

std::vector<std::string> EventStream::next() {
    const std::uint64_t kind = below(100);
    if (kind < 18)
        return {waitLine()};
    if (kind < 26)
        return {"activate " + (chance(0.05) ? std::string(chance(0.5) ? "-" : "?") : anyApp())};
    if (kind < 28)
        return {"unhide " + anyApp()};
    if (kind < 30)
        return {"launch-app " + anyApp()};
    if (kind < 32)
        return {"quit-app " + anyApp()};
    if (kind < 33)
        return {"front " + (chance(0.2) ? std::string("none") : anyApp())};
    if (kind < 35) {
        if (chance(0.1))
            return {"no-screens"};
        if (chance(0.3))
            return {"main-screen " + std::to_string(below(5))};
        return {screenLine()};
    }
    if (kind < 39)
        return {"user-selects " + anyInputId()};
    if (kind < 40)
        return {"current " + anyInputId()};
    if (kind < 50)
        return flagsEvent();
    if (kind < 57)
        return {mouseUpLine()};
    if (kind < 60)
        return {chance(0.5) ? "cursor text" : "cursor arrow"};
    if (kind < 70)
        return windowEvent();
    if (kind < 77)
        return storeEvent();
    if (kind < 79) {
        static const std::vector<std::string> names = {
            "com.apple.HIToolbox.cancelMenuTrackingNotification",
            "com.apple.Carbon.TISNotifySelectedKeyboardInputSourceChanged",
            "com.example.unrelated"};
        return {"notify " + pick(names)};
    }
    if (kind < 80)
        return sourceEvent();
    return popoverEvent();
}

std::vector<std::string> EventStream::sourceEvent() {
    // The system gains an input source (now and then one it already lists, or one of a name
    // that another has), an application or an icon changes.
    if (chance(0.3)) { // an application declared again, or its bundle's Info.plist
        static const std::vector<std::string> changes = {
            "app com.example.mail \"Mail\" policy=accessory",
            "app com.example.mail \"Mail\"",
            "app com.example.term \"Terminal\" installed=no",
            "app com.example.term \"Terminal\" running=no",
            "app com.apple.Safari \"Safari\" policy=background",
            "app com.apple.Safari \"Safari\"",
            "app com.example.edit \"Mail\"",
            "app-nobundle \"Helper\" policy=accessory"};
        if (chance(0.5))
            return {pick(changes)};
        static const std::vector<std::string> paths = {"/Applications/Nothing.app",
                                                       "/Applications/Mail.app", "/tmp"};
        return {"file " + pick(paths) + "/Contents/Info.plist = " +
                (chance(0.5) ? garbageValue()
                             : "{\"CFBundleIdentifier\": " +
                                   (chance(0.5) ? quote(anyApp()) : garbageValue()) +
                                   ", \"CFBundleName\": " + garbageValue() + "}")};
    }
    if (chance(0.3) || inputsAdded_ >= 40) { // a system lists a few dozen at most
        static const std::vector<std::string> sizes = {"16 16", "0 0", "-1 5", "1 1", "64 32"};
        return {std::string("icon ") + (chance(0.5) ? "flag " : "new ") + pick(sizes) +
                " 0000ffff ffffff00"};
    }
    const std::string id =
        chance(0.2) ? pick(inputIds_) : "com.example.layout" + std::to_string(below(40));
    static const std::vector<std::string> names = {"Extra", "German", "ABC", "", "Extra"};
    static const std::vector<std::string> extras = {"",
                                                    " enabled=no",
                                                    " selectable=no",
                                                    " category=palette",
                                                    " icon=ref:new",
                                                    " icon=ref:missing",
                                                    " icon=url-broken",
                                                    " icon=url:flag"};
    const std::string name = pick(names);
    ++inputsAdded_;
    if (std::find(inputIds_.begin(), inputIds_.end(), id) == inputIds_.end())
        inputIds_.push_back(id);
    inputNames_.push_back(name);
    return {"input " + id + " " + quote(name) + pick(extras)};
}

} // namespace velmora::random
