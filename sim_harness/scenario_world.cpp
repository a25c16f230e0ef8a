// SPDX-License-Identifier: MIT
// World set-up statements: input sources, applications, screens, the store, the shell.

#include "plist_json.h"
#include "scenario.h"
#include "scenario_runner.h"
#include "scenario_words.h"
#include "sim/sim_images.h"

namespace velmora::sim {

namespace {

bool parseInput(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {"category", "selectable", "enabled", "icon"}, w) ||
        !expectPositional(c, w, 2, 2))
        return false;
    InputSource source;
    if (auto it = w.options.find("icon"); it != w.options.end()) {
        const std::string& icon = it->second.value;
        if (icon.starts_with("ref:") && icon.size() > 4)
            source.iconRef = icon.substr(4);
        else if (icon.starts_with("url:") && icon.size() > 4)
            source.iconImageURL = icon.substr(4);
        else if (icon == "url-broken")
            source.iconImageURL = kBrokenIconURL;
        else if (icon != "none")
            return c.fail("icon must be ref:ICON, url:ICON, url-broken or none");
    }
    source.inputSourceID = w.positional[0].text;
    source.localizedName = w.positional[1].text;
    if (auto it = w.options.find("category"); it != w.options.end()) {
        if (it->second.value == "keyboard")
            source.category = kKeyboardLayoutCategory;
        else if (it->second.value == "palette")
            source.category = kPaletteCategory;
        else
            return c.fail("category must be keyboard or palette");
    }
    if (!yesNoOption(c, w, "selectable", true, source.isSelectCapable) ||
        !yesNoOption(c, w, "enabled", true, source.isEnabled))
        return false;
    s.run = [source](ScenarioRunner& r) {
        auto& inputs = r.desktop().world().inputs;
        InputSource added = source;
        added.nativeHandle = static_cast<std::int64_t>(inputs.size());
        inputs.push_back(added);
    };
    return true;
}

bool parseCurrent(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    std::optional<std::string> id;
    if (!(w.positional[0].text == "none" && !w.positional[0].quoted))
        id = w.positional[0].text;
    s.run = [id](ScenarioRunner& r) {
        r.desktop().world().currentInputID = id;
        r.desktop().world().currentSetExplicitly = true;
    };
    return true;
}

bool parsePolicy(ParseContext& c, const SplitWords& w, ActivationPolicy& policy) {
    auto it = w.options.find("policy");
    if (it == w.options.end())
        return true;
    if (it->second.value == "regular")
        policy = ActivationPolicy::Regular;
    else if (it->second.value == "accessory")
        policy = ActivationPolicy::Accessory;
    else if (it->second.value == "background")
        policy = ActivationPolicy::Prohibited;
    else
        return c.fail("policy must be regular, accessory or background");
    return true;
}

void declareApp(ScenarioRunner& r, const SimApp& app) {
    auto& world = r.desktop().world();
    if (app.bundleIdentifier) {
        if (auto index = world.appIndex(*app.bundleIdentifier)) {
            world.apps[*index] = app; // a later declaration updates the application
            return;
        }
    }
    world.apps.push_back(app);
}

bool parseApp(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {"policy", "installed", "running", "owner"}, w) ||
        !expectPositional(c, w, 2, 2))
        return false;
    SimApp app;
    app.bundleIdentifier = w.positional[0].text;
    app.name = w.positional[1].text;
    app.owner = app.name;
    if (auto it = w.options.find("owner"); it != w.options.end())
        app.owner = it->second.value;
    if (!parsePolicy(c, w, app.policy) || !yesNoOption(c, w, "installed", true, app.installed) ||
        !yesNoOption(c, w, "running", true, app.running))
        return false;
    s.run = [app](ScenarioRunner& r) { declareApp(r, app); };
    return true;
}

bool parseAppWithoutBundle(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {"policy"}, w) || !expectPositional(c, w, 1, 1))
        return false;
    SimApp app;
    app.name = w.positional[0].text;
    app.owner = app.name;
    if (!parsePolicy(c, w, app.policy))
        return false;
    s.run = [app](ScenarioRunner& r) { r.desktop().world().apps.push_back(app); };
    return true;
}

bool parseFrontmost(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    const Word& target = w.positional[0];
    if (target.text == "none" && !target.quoted) {
        s.run = [](ScenarioRunner& r) { r.desktop().world().frontmost.reset(); };
        return true;
    }
    s.run = [bundle = target.text](ScenarioRunner& r) {
        auto& desktop = r.desktop();
        std::size_t index = desktop.ensureApp(bundle);
        desktop.world().apps[index].running = true;
        desktop.world().frontmost = index;
    };
    return true;
}

bool parseScreen(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 3, 5))
        return false;
    auto number = parseInteger(w.positional[0].text);
    auto width = parseDecimal(w.positional[1].text);
    auto height = parseDecimal(w.positional[2].text);
    if (!number || *number < INT32_MIN || *number > INT32_MAX)
        return c.fail("screen number must be a 32-bit integer");
    if (!width || !height || *width < 0 || *height < 0)
        return c.fail("screen size must be two numbers of at least 0");
    bool isMain = false;
    bool isDeepest = false;
    for (std::size_t i = 3; i < w.positional.size(); ++i) {
        if (w.positional[i].text == "main")
            isMain = true;
        else if (w.positional[i].text == "deepest")
            isDeepest = true;
        else
            return c.fail("expected main or deepest: " + w.positional[i].text);
    }
    SimScreen screen{static_cast<std::int32_t>(*number), *width, *height};
    s.run = [screen, isMain, isDeepest](ScenarioRunner& r) {
        auto& world = r.desktop().world();
        if (!world.screensDeclared) {
            // The first declared screen replaces the default one and sits at the desktop's
            // origin; it is main and deepest until another screen claims either.
            world.screens.clear();
            world.screensDeclared = true;
            world.mainScreenNumber = screen.number;
            world.deepestScreenNumber = screen.number;
            world.originScreenNumber = screen.number;
        }
        std::erase_if(world.screens, [&](const SimScreen& s) { return s.number == screen.number; });
        world.screens.push_back(screen);
        if (isMain)
            world.mainScreenNumber = screen.number;
        if (isDeepest)
            world.deepestScreenNumber = screen.number;
    };
    return true;
}

bool parseNoScreens(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 0, 0))
        return false;
    s.run = [](ScenarioRunner& r) {
        auto& world = r.desktop().world();
        world.screens.clear();
        world.screensDeclared = true;
        world.mainScreenNumber.reset();
        world.deepestScreenNumber.reset();
        world.originScreenNumber.reset();
    };
    return true;
}

bool parseDefaults(ParseContext& c, Statement& s) {
    if (c.words.size() != 3 || c.words[2].text != "=" || c.words[2].quoted)
        return c.fail("expected defaults KEY = VALUE");
    std::string key = c.words[1].text;
    std::string error;
    auto value = parseJson(c.restAfterWord(2), &error);
    if (!value)
        return c.fail(error);
    s.run = [key, value = *value](ScenarioRunner& r) {
        r.desktop().rawStore().setObjectForKey(value, key);
    };
    return true;
}

bool parseDefaultsRemove(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    s.run = [key = w.positional[0].text](ScenarioRunner& r) {
        r.desktop().rawStore().removeObjectForKey(key);
    };
    return true;
}

bool parseUptime(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    const Word& arg = w.positional[0];
    std::optional<std::string> output;
    if (arg.quoted)
        output = arg.text;
    else if (arg.text != "fail")
        return c.fail("expected uptime \"TEXT\" or uptime fail");
    s.run = [output](ScenarioRunner& r) { r.desktop().world().uptimeOutput = output; };
    return true;
}

bool parseBundlePath(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    s.run = [path = w.positional[0].text](ScenarioRunner& r) {
        r.desktop().world().bundlePath = path;
    };
    return true;
}

bool parseFile(ParseContext& c, Statement& s) {
    if (c.words.size() != 3 || c.words[2].text != "=" || c.words[2].quoted)
        return c.fail("expected file PATH = VALUE");
    std::string path = c.words[1].text;
    std::string error;
    auto value = parseJson(c.restAfterWord(2), &error);
    if (!value)
        return c.fail(error);
    s.run = [path, value = *value](ScenarioRunner& r) { r.desktop().world().files[path] = value; };
    return true;
}

bool parseSystemVersion(ParseContext& c, Statement& s) {
    SplitWords w;
    if (!splitWords(c, {}, w) || !expectPositional(c, w, 1, 1))
        return false;
    const std::string& text = w.positional[0].text;
    auto dot = text.find('.');
    auto digits = [](const std::string& part) {
        return !part.empty() && part.size() <= 4 &&
               part.find_first_not_of("0123456789") == std::string::npos;
    };
    if (dot == std::string::npos || !digits(text.substr(0, dot)) || !digits(text.substr(dot + 1)))
        return c.fail("system version must be MAJOR.MINOR: " + text);
    SimSystemVersion version{std::stoi(text.substr(0, dot)), std::stoi(text.substr(dot + 1))};
    s.run = [version](ScenarioRunner& r) { r.desktop().world().systemVersion = version; };
    return true;
}

} // namespace

void addWorldStatements(StatementTable& table) {
    table["input"] = parseInput;
    table["current"] = parseCurrent;
    table["app"] = parseApp;
    table["app-nobundle"] = parseAppWithoutBundle;
    table["frontmost"] = parseFrontmost;
    // Driving the desktop later, "front" changes the frontmost application the same way.
    table["front"] = parseFrontmost;
    table["screen"] = parseScreen;
    table["no-screens"] = parseNoScreens;
    table["defaults"] = parseDefaults;
    table["defaults-remove"] = parseDefaultsRemove;
    table["uptime"] = parseUptime;
    table["bundle-path"] = parseBundlePath;
    table["file"] = parseFile;
    table["system-version"] = parseSystemVersion;
}

} // namespace velmora::sim
