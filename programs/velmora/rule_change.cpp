// SPDX-License-Identifier: MIT
#include "rule_change.h"

#include "console_log.h"
#include "desktop_commands.h"
#include "fcitx5/fcitx5_replies.h"
#include "ibus/ibus_engines.h"
#include "input_method_frameworks.h"
#include "platform/application.h"
#include "rule_checks.h"
#include "rule_commands.h"
#include "store/plist_file_defaults.h"
#include "x11/desktop_entries.h"
#include "xkb_registry_layouts.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace velmora::program {

namespace {

namespace fs = std::filesystem;

// A data folder with more desktop files than this is not read further for suggestions.
constexpr std::size_t kMaxDesktopFiles = 20000;

// What the desktop says, when there is one to ask.
struct Desktop {
    bool reached = false;
    std::vector<KnownSource> keymap;    // empty without XKB; a framework's group while it runs
    std::vector<KnownSource> framework; // every input method of the framework that runs
    std::vector<std::string> runningIdentities;
};

Desktop askDisplay() {
    Desktop desktop;
    std::string error;
    std::optional<DesktopLook> look = lookAtDesktop(&error);
    if (!look)
        return desktop; // rules are written without a desktop too: nothing to say
    desktop.reached = true;
    if (auto sources = runningFrameworkSources(true, !look->ibusFromDesktop)) {
        for (const InputSource& source : *sources)
            if (source.inputSourceID) {
                const KnownSource known{*source.inputSourceID, source.localizedName};
                desktop.framework.push_back(known);
                if (source.isEnabled)
                    desktop.keymap.push_back(known);
            }
    } else {
        for (const InputSource& source : look->layouts)
            if (source.inputSourceID)
                desktop.keymap.push_back({*source.inputSourceID, source.localizedName});
    }
    for (const RunningApplication& app : look->running)
        if (app.bundleIdentifier)
            desktop.runningIdentities.push_back(*app.bundleIdentifier);
    return desktop;
}

// The ids of the desktop files in the applications folders.
std::vector<std::string> installedIdentities() {
    std::set<std::string> ids;
    std::size_t seen = 0;
    for (const fs::path& directory : x11::applicationDirectories()) {
        std::error_code error;
        fs::recursive_directory_iterator it(directory,
                                            fs::directory_options::skip_permission_denied, error);
        for (; !error && it != fs::recursive_directory_iterator() && seen < kMaxDesktopFiles;
             it.increment(error), ++seen)
            if (auto id = x11::desktopIdOf(it->path(), {directory});
                id && it->is_regular_file(error))
                ids.insert(*id);
    }
    return {ids.begin(), ids.end()};
}

// Whether a framework's input source ID is what the layout ID LAYOUTID selects while the
// framework runs: Fcitx5's "keyboard-de" and IBus's "xkb:de::deu" for "xkb:de".
bool standsForLayout(const std::string& id, const std::string& layoutId) {
    return fcitx5::standsForLayout(id, layoutId) || ibus::standsForLayout(id, layoutId);
}

void noteMissingLayout(const std::string& sourceId, const Desktop& desktop, std::ostream& err) {
    if (desktop.keymap.empty())
        return;
    std::string known;
    for (const KnownSource& source : desktop.keymap) {
        if (source.id == sourceId || standsForLayout(source.id, sourceId))
            return;
        known += (known.empty() ? "" : ", ") + source.id;
    }
    err << "velmora: note: " << sourceId << " is not among the keyboard layouts now (" << known
        << "); the rule applies once it is\n";
}

void noteUnseenApplication(const std::string& app, const Desktop& desktop, std::ostream& err) {
    std::vector<std::string> known = installedIdentities();
    known.insert(known.end(), desktop.runningIdentities.begin(), desktop.runningIdentities.end());
    if (std::find(known.begin(), known.end(), app) != known.end())
        return;
    err << "velmora: note: no application \"" << app << "\" is installed"
        << (desktop.reached ? " or running" : " (no display to ask which ones run)")
        << "; the rule is stored, and applies when an application with exactly that identity "
           "comes to the front\nvelmora: note: ";
    if (auto closest = closestName(app, known))
        err << "identities are case-sensitive: did you mean \"" << *closest << "\"? ";
    err << "\"velmora apps\" lists the running applications\n";
}

} // namespace

int changeRule(const Command& command, std::ostream& err) {
    const bool setting = command.kind == Command::Kind::SetRule;
    Desktop desktop;
    if (setting) {
        desktop = askDisplay();
        if (auto refusal = refuseSourceId(command.sourceId, desktop.keymap, xkbRegistryLayouts(),
                                          desktop.framework)) {
            err << "velmora: " << refusal->reason << "; no rule was stored\nvelmora: ";
            if (refusal->closest)
                err << "did you mean " << *refusal->closest << "? ";
            err << "\"velmora sources\" lists the keymap's layouts\n";
            return 1;
        }
    }
    bool saved = false;
    {
        // Exclusive: a rule written by another velmora meanwhile is not overwritten.
        PlistFileDefaults store(defaultSettingsFilePath(), PlistFileDefaults::Access::Exclusive);
        Settings settings(store);
        if (setting)
            setRule(settings, command.app, command.sourceId);
        else
            removeRule(settings, command.app);
        // Success means the rule is in the file; the store said why when it is not.
        saved = !store.hasUnsavedChanges();
    } // other writers may go on
    if (saved && setting) {
        noteMissingLayout(command.sourceId, desktop, err);
        noteUnseenApplication(command.app, desktop, err);
    }
    return saved ? 0 : 1;
}

} // namespace velmora::program
