// velmora: selects each application's keyboard layout when it comes to the front.

#include "agent.h"
#include "command_line.h"
#include "desktop_commands.h"
#include "plist_file_defaults.h"
#include "rule_commands.h"
#include "settings_commands.h"

#include <iostream>

int main(int argc, char** argv) {
    using velmora::program::Command;
    Command command = velmora::program::parseCommandLine(
        std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    switch (command.kind) {
    case Command::Kind::RunAgent:
        return velmora::program::runAgent(argc, argv, command.startedAtLogin);
    case Command::Kind::Help:
        std::cout << velmora::program::helpText();
        return 0;
    case Command::Kind::Version:
        std::cout << "velmora " << velmora::program::programVersion() << '\n';
        return 0;
    case Command::Kind::Sources:
        if (!velmora::program::settingsFileReadable(std::cerr))
            return 1;
        return velmora::program::listSources(std::cout);
    case Command::Kind::Apps:
        if (!velmora::program::settingsFileReadable(std::cerr))
            return 1;
        return velmora::program::listApps(std::cout);
    case Command::Kind::Rules:
        return velmora::program::listRules(std::cout, std::cerr);
    case Command::Kind::SetRule:
    case Command::Kind::RemoveRule: {
        bool saved = false;
        {
            // Exclusive: a rule written by another velmora meanwhile is not overwritten.
            velmora::PlistFileDefaults store(velmora::defaultSettingsFilePath(),
                                             velmora::PlistFileDefaults::Access::Exclusive);
            velmora::Settings settings(store);
            if (command.kind == Command::Kind::SetRule)
                velmora::program::setRule(settings, command.app, command.sourceId);
            else
                velmora::program::removeRule(settings, command.app);
            // Success means the rule is in the file; the store said why when it is not.
            saved = !store.hasUnsavedChanges();
        } // other writers may go on: the note below asks the display
        if (saved && command.kind == Command::Kind::SetRule)
            velmora::program::noteUnknownSource(command.sourceId, std::cerr);
        return saved ? 0 : 1;
    }
    case Command::Kind::Invalid:
        break;
    }
    std::cerr << "velmora: " << command.error << "\nvelmora: try \"velmora --help\"\n";
    return 2;
}
