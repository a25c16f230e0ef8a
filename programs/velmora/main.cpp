// SPDX-License-Identifier: MIT
// velmora: selects each application's keyboard layout when it comes to the front.

#include "agent.h"
#include "command_line.h"
#include "desktop_choice.h"
#include "desktop_commands.h"
#include "rule_change.h"
#include "settings_commands.h"

#include <iostream>

int main(int argc, char** argv) {
    using velmora::program::Command;
    Command command = velmora::program::parseCommandLine(
        std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    switch (command.kind) {
    case Command::Kind::RunAgent:
        return velmora::program::runAgent(argc, argv, command.startedAtLogin, command.desktop);
    case Command::Kind::Desktop:
        return velmora::program::printDesktop(std::cout, "");
    case Command::Kind::Help:
        std::cout << velmora::program::helpText();
        return 0;
    case Command::Kind::Version:
        std::cout << "velmora " << velmora::program::programVersion() << '\n';
        return 0;
    case Command::Kind::Sources:
        if (!velmora::program::settingsFileReadable(std::cerr))
            return 1;
        return velmora::program::listSources(std::cout, command.allSources);
    case Command::Kind::Apps:
        if (!velmora::program::settingsFileReadable(std::cerr))
            return 1;
        return velmora::program::listApps(std::cout);
    case Command::Kind::Rules:
        return velmora::program::listRules(std::cout, std::cerr);
    case Command::Kind::SetRule:
    case Command::Kind::RemoveRule:
        return velmora::program::changeRule(command, std::cerr);
    case Command::Kind::Invalid:
        break;
    }
    std::cerr << "velmora: " << command.error << "\nvelmora: try \"velmora --help\"\n";
    return 2;
}
