// SPDX-License-Identifier: MIT
#include "event_stream.h"

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <map>

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

// Applications of the world, each declared with the chance given: the browsers of the
// address-bar switch, both launchers, ordinary applications with and without rules, one that
// is not installed. Events also name the agent itself, never declared.
struct App {
    const char* id;
    const char* declared;
    double chance;
};
const App kApps[] = {
    {"com.apple.Safari", "\"Safari\"", 1},
    {"com.google.Chrome", "\"Google Chrome\"", 1},
    {"com.apple.Spotlight", "\"Spotlight\" policy=background", 1},
    {"com.runningwithcrayons.Alfred", "\"Alfred\" policy=accessory", 0.7},
    {"com.runningwithcrayons.Alfred-3", "\"Alfred 3\" policy=accessory", 0.3},
    {"com.example.mail", "\"Mail\"", 1},
    {"com.example.term", "\"Terminal\" running=no", 1},
    {"com.example.edit", "\"Editor\" owner=\"Editor Helper\"", 1},
    {"com.example.notinstalled", "\"Ghost\" installed=no", 1},
    {"com.quorvant.Quorvant-Velmora", nullptr, 0},
};

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

// Values of every type and at the edges of each, wherever the format allows a bad one.
// clang-format off
const std::vector<std::string> kGarbage = {
    "9223372036854775807", "-9223372036854775808", "-1", "0", "NaN", "Infinity", "-Infinity",
    "1e300", "-1e300", "9.2233720368547758e18", "3.75", "true", "false", "\"\"", "\"abc\"",
    "\"99999999999999999999\"", "\"  42\"", "\"-9223372036854775808\"",
    "\"tab\\there\\u0001\\u001f<&>]]>\"", "\"\\u0000\"",
    "{\"a\\u0002\": \"\\u00e9\\ud83d\\ude00\"}", "[]", "[1, \"a\", 2.5, {}]", "{}",
    "{\"\": {\"id\": 7}}", "[[[[[[[[]]]]]]]]"};
// clang-format on

} // namespace

EventStream::EventStream(std::uint64_t seed) : rng_(seed) {
    makeWorld();
}

// PATTERN with each "<A|B|...>" replaced by one of its alternatives (a pattern itself, not
// nested) and each "$NAME" by what NAME makes: "$12" a number below 12, "$row" a table row.
std::string EventStream::expand(std::string_view pattern) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        if (pattern[i] == '<') {
            const std::size_t end = pattern.find('>', i);
            std::vector<std::string_view> choices;
            for (std::size_t from = i + 1, to; from <= end; from = to + 1) {
                to = std::min(pattern.find('|', from), end);
                choices.push_back(pattern.substr(from, to - from));
            }
            out += expand(pick(choices));
            i = end + 1;
        } else if (pattern[i] == '$') {
            std::size_t end = i + 1;
            while (end < pattern.size() && std::isalnum(static_cast<unsigned char>(pattern[end])))
                ++end;
            out += value(pattern.substr(i + 1, end - i - 1));
            i = end;
        } else {
            out += pattern[i++];
        }
    }
    return out;
}

std::string EventStream::value(std::string_view name) {
    if (std::isdigit(static_cast<unsigned char>(name[0])))
        return std::to_string(below(std::stoull(std::string(name))));
    using Make = std::string (EventStream::*)();
    static const std::map<std::string_view, Make> kMakers = {
        {"app", &EventStream::anyApp},          {"row", &EventStream::anyRow},
        {"wait", &EventStream::waitLine},       {"screen", &EventStream::screenLine},
        {"mouseup", &EventStream::mouseUpLine}, {"junk", &EventStream::garbageValue},
        {"rules", &EventStream::rulesValue},    {"flags", &EventStream::flagsEvent},
        {"store", &EventStream::storeEvent},    {"popover", &EventStream::popoverEvent},
        {"window", &EventStream::windowEvent},  {"source", &EventStream::sourceEvent},
    };
    if (name == "input")
        return pick(inputIds_);
    if (name == "name")
        return quote(pick(inputNames_));
    if (name == "key")
        return pick(kKnownKeys);
    if (name == "mods") // one modifier of a recorded shortcut
        return hex(1048576u >> below(4));
    if (name == "word")
        return hex(rng_() >> 1);
    return (this->*kMakers.at(name))();
}

void EventStream::keepWindow(const Window& window) {
    // A handle that comes again replaces its window.
    std::erase_if(windows_, [&](const Window& w) { return w.handle == window.handle; });
    windows_.push_back(window);
}

void EventStream::makeWorld() {
    auto& p = prologue_;
    // Input sources: keyboard layouts, some disabled or not selectable, a palette, icons of
    // every kind. Which are there changes with the seed; ABC always is (the address bar's).
    p.push_back("icon flag 16 16 ff0000ff 00ff00ff");
    p.push_back("icon empty 0 0 00000000");
    // ID, then "NAME" and what else the line says.
    const std::vector<std::string> sources = {
        "com.apple.keylayout.ABC \"ABC\" icon=ref:flag",
        "com.apple.keylayout.German \"German\" icon=url-broken",
        "com.apple.keylayout.Russian \"Russian\" icon=ref:empty",
        "com.apple.keylayout.French \"French\" enabled=no",
        "com.apple.keylayout.Greek \"Greek\" selectable=no",
        "com.apple.CharacterPaletteIM \"Emoji\" category=palette",
        "com.apple.keylayout.Dvorak \"Dvorak\" icon=none",
        "com.apple.keylayout.Same \"German\"", // a second source of the same name
    };
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (i != 0 && chance(0.25))
            continue;
        p.push_back("input " + sources[i]);
        const std::size_t space = sources[i].find(' '), end = sources[i].find('"', space + 2);
        inputIds_.push_back(sources[i].substr(0, space));
        inputNames_.push_back(sources[i].substr(space + 2, end - space - 2));
    }
    inputNames_.push_back("-");
    inputNames_.push_back("No Such Source");
    if (chance(0.3))
        p.push_back("current " + (chance(0.5) ? pick(inputIds_) : std::string("none")));

    for (const App& app : kApps) {
        if (app.chance == 1 || (app.declared && chance(app.chance)))
            p.push_back(std::string("app ") + app.id + " " + app.declared);
        apps_.push_back(app.id);
    }
    p.push_back("app-nobundle \"Helper\"");

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

std::string EventStream::anyRow() {
    return std::to_string(chance(0.05) ? below(1000000) : below(12));
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
    const std::string screenNumber = expand(chance(0.05) ? "<-2147483648|2147483647>" : "$4");
    const double height = pick(sizes);
    if (!screenDeclared_) // the first declared screen is the one at the desktop's origin
        originScreenHeight_ = height;
    screenDeclared_ = true;
    return "screen " + screenNumber + " " + number(pick(sizes)) + " " + number(height) +
           (chance(0.4) ? " main" : "") + (chance(0.3) ? " deepest" : "");
}

std::string EventStream::windowLine() {
    Window window{"w" + std::to_string(nextWindow_++), "", 0};
    std::string line = "window " + window.handle;
    if (chance(0.05)) {
        line += " owner=none";
    } else {
        window.owner = pick(kOwners);
        line += " owner=" + quote(window.owner);
    }
    line += expand(" name=<none|\"\"|\"page $5\"|\"page $5\"> layer=<0|0|27|25|3|-1|2147483647>");
    static const std::vector<double> xs = {0, 10, 100, 420, -50, 2000, 1e15, 0.5};
    static const std::vector<double> ws = {0, 100, 101, 600, 800, 1440, 1e12, -10, 0.5};
    window.top = pick(xs);
    line += " bounds=" + number(pick(xs)) + "," + number(window.top) + "," + number(pick(ws)) +
            "," + number(pick(ws));
    if (chance(0.15))
        line += " onscreen=no";
    keepWindow(window);
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
        static const std::vector<double> offsets = {0,  5,  10, 10.5, 20, 29.5,
                                                    30, 44, 45, 50,   75, 80};
        y = originScreenHeight_ - (pick(browsers)->top + pick(offsets));
    }
    return "mouseup " + number(x) + " " + number(y);
}

std::string EventStream::garbageValue() {
    return pick(kGarbage);
}

// A JSON object or array (BRACKETS) of fewer than MOST items, each as MAKE writes it.
std::string EventStream::listOf(const char* brackets, std::uint64_t most, const Make& make) {
    std::string out(1, brackets[0]);
    for (auto i = below(most); i > 0; --i)
        out += (out.size() > 1 ? ", " : "") + make();
    return out + brackets[1];
}

std::string EventStream::rulesValue() {
    return listOf("{}", 8, [&] {
        const std::string app = quote(anyApp()) + ": ";
        if (chance(0.1))
            return app + garbageValue();
        if (chance(1.0 / 9))
            return app + "{\"id\": " + garbageValue() + "}";
        return app +
               "{\"id\": " + quote(chance(0.9) ? pick(inputIds_) : "com.apple.keylayout.None") +
               (chance(0.3) ? ", \"English Symbol\": " + garbageValue() : "") + "}";
    });
}

std::string EventStream::shortcutsValue() {
    return listOf("{}", 3, [&] {
        const std::string id = quote(pick(inputIds_)) + ": ";
        if (chance(0.2))
            return id + garbageValue();
        return id + "{\"keyCode\": " + (chance(0.2) ? garbageValue() : std::to_string(below(10))) +
               ", \"modifierFlags\": " +
               (chance(0.2) ? garbageValue() : std::to_string(1048576 >> below(4))) + "}";
    });
}

std::string EventStream::storeValue(const std::string& key) {
    if (chance(0.3))
        return garbageValue();
    if (key == "velmora")
        return rulesValue();
    if (key == "shortcutOfInput")
        return shortcutsValue();
    if (key == "orderOfAppsRule" || key == "notDisplayAppName")
        return listOf("[]", 5, [&] { return chance(0.1) ? garbageValue() : quote(anyApp()); });
    if (key == "changedTimes")
        return chance(0.5) ? std::to_string(below(1000)) : garbageValue();
    return chance(0.5) ? "true" : "false";
}

std::string EventStream::flagsEvent() {
    auto stamp = [&](std::uint64_t flags) {
        std::string line = "flags " + hex(flags);
        if (chance(0.1)) // a stamp of the event's own, sometimes behind the last one
            line += " time=" + number(chance(0.5) ? seconds_ : seconds_ - 1.0);
        return line;
    };
    if (chance(5.0 / 6))
        return stamp(chance(0.2) ? rng_() : chance(0.5) ? pick(kPresses) : pick(kReleases));
    // A double tap: press, release, press of one key, maybe with Alfred's panel.
    const std::uint64_t press = pick(kPresses);
    std::string lines =
        stamp(press) + "\nwait " + std::to_string(20 + below(120)) + "\n" + stamp(pick(kReleases));
    if (chance(0.5)) {
        lines += "\nwindow alfredpanel owner=\"Alfred\" name=\"\" layer=27 bounds=420,180,600,60";
        keepWindow(Window{"alfredpanel", "Alfred", 180});
    }
    return lines + "\nwait " + std::to_string(below(200)) + "\n" + stamp(press);
}

// Another program edits the settings.
std::string EventStream::storeEvent() {
    if (chance(1.0 / 8)) { // the whole file replaced by one with junk under every key
        std::string lines;
        for (const auto& key : kKnownKeys)
            lines +=
                (lines.empty() ? "" : "\n") +
                expand(chance(0.3) ? "defaults-remove " + key : "defaults " + key + " = $junk");
        return lines;
    }
    if (chance(2.0 / 7)) {
        const std::string& key = pick(kKnownKeys);
        return "defaults " + key + " = " + storeValue(key);
    }
    // Rules the agent can follow, so that activations switch.
    return expand(weighted<const char*>({{1, "defaults-remove $key"},
                                         {1, "defaults unknownKey$3 = $junk"},
                                         {1, "defaults changedTimes = $junk"},
                                         {2, "defaults velmora = $rules"}}));
}

std::string EventStream::popoverEvent() {
    return expand(weighted<const char*>({
        {6, "<reopen|click-status-item|click-status-item|popover-dismiss|toggle-size|mousedown>"},
        {2, "choose $row $name"},
        {1, "english-symbol $row <on|off>"},
        {1, "select-row <none|$row|$row|$row|$row>"},
        {1, "remove"},
        {1,
         "add <cancel|/Applications/Mail.app|/Applications/Terminal.app|/Applications/Safari.app|"
         "/Applications/Nothing.app|/tmp|\"\">"},
        {1, "drag $row <on|above> $row"},
        {1, "drag-foreign <on|above> $row"},
        {1, "record $8 $12 <$mods|$mods|$mods|$mods|$word>"},
        {1, "<clear|end-recording> $8"},
        {1, "keypress $12 $mods"},
        {1, "menu <show|start-at-login|hide-icon|help|rate|velmora|club|video>"},
        {1, "<setting enableTipOfState|setting followWindow|setting enableBrowserAddressEnglish|"
            "login-items|login-items /Applications/Velmora.app|"
            "login-items \"\" /Applications/Velmora.app /Applications/Mail.app>"},
    }));
}

std::string EventStream::windowEvent() {
    // A dozen windows at most, so that a long run's window list stays the size of a desktop's.
    if (windows_.empty() || (windows_.size() < 12 && chance(0.35)))
        return windowLine();
    const std::string handle = pick(windows_).handle;
    switch (below(3)) {
    case 0:
        std::erase_if(windows_, [&](const Window& w) { return w.handle == handle; });
        return "window-remove " + handle;
    case 1:
        return "window-front " + handle;
    }
    static const std::vector<double> xs = {0, 10, 100, 420, -50, 0.25};
    const double top = pick(xs);
    for (auto& w : windows_)
        if (w.handle == handle)
            w.top = top;
    return "window-move " + handle + " " + number(pick(xs)) + "," + number(top) + ",800,600";
}

std::vector<std::string> EventStream::next() {
    const std::string lines = expand(weighted<const char*>({
        {18, "$wait"},
        {8, "activate $app"},
        {1, "activate <-|?>"},
        {2, "unhide $app"},
        {2, "launch-app $app"},
        {2, "quit-app $app"},
        {1, "front <none|$app|$app|$app|$app>"},
        {1, "<no-screens|main-screen $5>"},
        {1, "$screen"},
        {4, "user-selects $input"},
        {1, "current $input"},
        {10, "$flags"},
        {7, "$mouseup"},
        {3, "cursor <text|arrow>"},
        {10, "$window"},
        {7, "$store"},
        {2, "notify <com.apple.HIToolbox.cancelMenuTrackingNotification|"
            "com.apple.Carbon.TISNotifySelectedKeyboardInputSourceChanged|com.example.unrelated>"},
        {1, "$source"},
        {20, "$popover"},
    }));
    // Several lines make one event: a double tap, or a whole settings file replaced.
    std::vector<std::string> out;
    for (std::size_t from = 0, to; from <= lines.size(); from = to + 1) {
        to = std::min(lines.find('\n', from), lines.size());
        out.push_back(lines.substr(from, to - from));
    }
    return out;
}

// The system gains an input source (now and then one it already lists, or one of a name that
// another has), an application or an icon changes.
std::string EventStream::sourceEvent() {
    if (chance(0.15)) // an application declared again
        return expand(
            "<app com.example.mail \"Mail\" policy=accessory|app com.example.mail \"Mail\"|"
            "app com.example.term \"Terminal\" installed=no|"
            "app com.example.term \"Terminal\" running=no|"
            "app com.apple.Safari \"Safari\" policy=background|"
            "app com.apple.Safari \"Safari\"|app com.example.edit \"Mail\"|"
            "app-nobundle \"Helper\" policy=accessory>");
    if (chance(0.15)) // its bundle's Info.plist
        return expand("file </Applications/Nothing.app|/Applications/Mail.app|/tmp>"
                      "/Contents/Info.plist = ") +
               (chance(0.5) ? garbageValue()
                            : "{\"CFBundleIdentifier\": " +
                                  (chance(0.5) ? quote(anyApp()) : garbageValue()) +
                                  ", \"CFBundleName\": " + garbageValue() + "}");
    if (chance(0.3) || inputsAdded_ >= 40) // a system lists a few dozen at most
        return expand("icon <flag|new> <16 16|0 0|-1 5|1 1|64 32> 0000ffff ffffff00");
    const std::string id =
        chance(0.2) ? pick(inputIds_) : "com.example.layout" + std::to_string(below(40));
    const std::string name = expand("<Extra|German|ABC||Extra>");
    ++inputsAdded_;
    if (std::find(inputIds_.begin(), inputIds_.end(), id) == inputIds_.end())
        inputIds_.push_back(id);
    inputNames_.push_back(name);
    return "input " + id + " " + quote(name) +
           expand("< enabled=no| selectable=no| category=palette| icon=ref:new| icon=ref:missing|"
                  " icon=url-broken| icon=url:flag|>");
}

} // namespace velmora::random
