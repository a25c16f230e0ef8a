// SPDX-License-Identifier: MIT
#include "application_choices.h"

#include "desktop_file_descriptions.h"

#include "platform/application.h"

#include <cstdlib>
#include <set>

namespace velmora::program {

namespace {

std::vector<std::string> keywordList(std::string_view keywords) {
    std::vector<std::string> list;
    while (!keywords.empty()) {
        const std::size_t end = keywords.find(';');
        if (std::string_view keyword = keywords.substr(0, end); !keyword.empty())
            list.emplace_back(keyword);
        keywords.remove_prefix(end == std::string_view::npos ? keywords.size() : end + 1);
    }
    return list;
}

qt::ApplicationChoice choiceOf(const x11::DesktopEntry& entry, std::string_view locale) {
    qt::ApplicationChoice choice;
    choice.path = entry.path;
    choice.id = entry.id;
    choice.name = x11::localizedName(entry, locale);
    choice.genericName = x11::localizedValue(entry.genericNames, locale);
    choice.keywords = keywordList(x11::localizedValue(entry.keywords, locale));
    choice.icon = entry.icon.value_or("");
    return choice;
}

} // namespace

std::vector<qt::ApplicationChoice>
applicationChoices(const std::vector<RunningApplication>& running,
                   const x11::DesktopEntryIndex& installed, std::string_view locale,
                   std::string_view currentDesktops) {
    std::vector<qt::ApplicationChoice> choices;
    std::set<std::string, std::less<>> offered;
    for (const RunningApplication& app : running) {
        if (!app.bundleIdentifier || app.bundleIdentifier->empty() ||
            *app.bundleIdentifier == kOwnBundleIdentifier ||
            app.activationPolicy != ActivationPolicy::Regular ||
            !offered.insert(*app.bundleIdentifier).second)
            continue;
        qt::ApplicationChoice choice;
        if (const x11::DesktopEntry* entry = installed.findById(*app.bundleIdentifier);
            entry && app.bundlePath) {
            choice = choiceOf(*entry, locale);
        } else if (app.bundlePath) {
            choice.path = *app.bundlePath;
        } else {
            choice.path = windowClassPath(*app.bundleIdentifier);
            if (choice.path.empty())
                continue; // no class the rule editor could read back
        }
        choice.id = *app.bundleIdentifier;
        if (choice.name.empty())
            choice.name = app.localizedName;
        choice.running = true;
        choices.push_back(std::move(choice));
    }
    for (const x11::DesktopEntry& entry : installed.entries())
        if (x11::offeredInChoosers(entry, currentDesktops) && !offered.contains(entry.id))
            choices.push_back(choiceOf(entry, locale));
    return choices;
}

std::vector<qt::ApplicationChoice> currentApplicationChoices(Workspace& workspace) {
    const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
    return applicationChoices(
        workspace.runningApplications(),
        x11::DesktopEntryIndex::scan(x11::applicationDirectories(), x11::EntryKeys::Chooser),
        x11::messagesLocale(), desktops ? desktops : "");
}

} // namespace velmora::program
