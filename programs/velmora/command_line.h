// SPDX-License-Identifier: MIT
#pragma once
// What the user asked the velmora program to do.

#include <string>
#include <vector>

namespace velmora::program {

struct Command {
    enum class Kind {
        RunAgent,   // no arguments, --autostart, --desktop NAME: run the agent
        Desktop,    // desktop: say which desktop the agent would run on, and why
        Help,       // --help, -h
        Version,    // --version
        Sources,    // sources [--all]
        Apps,       // apps
        Rules,      // rules
        SetRule,    // rule APP SOURCE-ID
        RemoveRule, // rule APP -
        Invalid,    // anything else; ERROR says why
    };

    Kind kind = Kind::Invalid;
    // RunAgent: --autostart, the option of the autostart entry (the desktop started the agent
    // at login).
    bool startedAtLogin = false;
    // RunAgent: --desktop NAME, the desktop to run on instead of the one found; empty to find it.
    std::string desktop;
    // Sources: --all, every input source that could be selected, not just the enabled ones.
    bool allSources = false;
    std::string app;
    std::string sourceId;
    std::string error;
};

// ARGUMENTS without the program name.
Command parseCommandLine(const std::vector<std::string>& arguments);

// The text of --help, which starts with the version.
std::string helpText();
// The program's version, "MAJOR.MINOR.PATCH", set once for the whole project by the build.
const char* programVersion();

} // namespace velmora::program
