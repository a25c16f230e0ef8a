// SPDX-License-Identifier: MIT
#include "command_line.h"

#include "agent.h"

namespace velmora::program {

namespace {

Command invalid(std::string error) {
    Command command;
    command.error = std::move(error);
    return command;
}

Command simple(Command::Kind kind, const std::vector<std::string>& arguments) {
    if (arguments.size() > 1)
        return invalid("\"" + arguments[0] + "\" takes no arguments");
    Command command;
    command.kind = kind;
    return command;
}

} // namespace

Command parseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        Command command;
        command.kind = Command::Kind::RunAgent;
        return command;
    }
    const std::string& verb = arguments[0];
    if (verb == "--help" || verb == "-h" || verb == "help")
        return simple(Command::Kind::Help, arguments);
    if (verb == "--version")
        return simple(Command::Kind::Version, arguments);
    if (verb == kStartedAtLoginOption || verb == "--desktop") {
        Command command;
        command.kind = Command::Kind::RunAgent;
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            if (arguments[i] == kStartedAtLoginOption && !command.startedAtLogin) {
                command.startedAtLogin = true;
            } else if (arguments[i] == "--desktop" && command.desktop.empty()) {
                if (i + 1 == arguments.size() || arguments[i + 1].empty())
                    return invalid("--desktop takes a desktop's name (x11, sway, kde, gnome)");
                command.desktop = arguments[++i];
            } else {
                return invalid("unexpected \"" + arguments[i] + "\" after " + verb);
            }
        }
        return command;
    }
    if (verb == "desktop")
        return simple(Command::Kind::Desktop, arguments);
    if (verb == "sources") {
        if (arguments.size() == 2 && arguments[1] == "--all") {
            Command command;
            command.kind = Command::Kind::Sources;
            command.allSources = true;
            return command;
        }
        return simple(Command::Kind::Sources, arguments);
    }
    if (verb == "apps")
        return simple(Command::Kind::Apps, arguments);
    if (verb == "rules")
        return simple(Command::Kind::Rules, arguments);
    if (verb == "rule") {
        if (arguments.size() != 3)
            return invalid("\"rule\" takes an application and an input source ID (or \"-\")");
        if (arguments[1].empty())
            return invalid("the application must not be empty");
        if (arguments[2].empty())
            return invalid("the input source ID must not be empty (\"-\" removes the rule)");
        Command command;
        command.app = arguments[1];
        if (arguments[2] == "-") {
            command.kind = Command::Kind::RemoveRule;
        } else {
            command.kind = Command::Kind::SetRule;
            command.sourceId = arguments[2];
        }
        return command;
    }
    if (verb.starts_with("-"))
        return invalid("unknown option \"" + verb + "\"");
    return invalid("unknown command \"" + verb + "\"");
}

const char* programVersion() {
    return VELMORA_VERSION;
}

std::string helpText() {
    return "velmora " + std::string(programVersion()) +
           " - selects each application's keyboard layout when it comes to the front\n\n" +
           R"text(Usage:
  velmora                      run the agent on the desktop it finds
  velmora --autostart          run it as the desktop does at login: the settings
                               stay closed until the tray icon is clicked
  velmora --desktop NAME       run it on desktop NAME (x11, sway, kde, gnome)
  velmora desktop              say which desktop the agent finds, and why
  velmora sources              list the keyboard layouts: ID and name
  velmora sources --all        list every layout or input method a rule can name
  velmora apps                 list the running applications: identity and name
  velmora rules                list the rules: application and layout ID
  velmora rule APP SOURCE-ID   select SOURCE-ID whenever APP comes to the front
  velmora rule APP -           remove APP's rule
  velmora --help               show this text
  velmora --version            show the version

The agent runs on sway when $SWAYSOCK answers, on KDE Plasma when KWin is on
the session bus of a Wayland session, on GNOME when gnome-shell is on the
session bus of a Wayland session of GNOME's, else on X11 through $DISPLAY; in
another Wayland session it says so and stops rather than follow XWayland's
windows alone. On GNOME it works through its Shell extension, enabled with
"gnome-extensions enable velmora@quorvant.com" (on Wayland a newly installed
extension loads at the next login); GNOME's IBus sources are "ibus:ENGINE". It selects an application's keyboard layout 100 ms after the
application comes to the front, when a rule names one. An application is known
by its desktop-file id (for example "org.gnome.Nautilus") or else by its
WM_CLASS class (for example "XTerm"), on Wayland by its app id; "velmora
apps" shows the identities of the running ones. Layout IDs look like "xkb:us"
or "xkb:de(nodeadkeys)"; "velmora sources" shows those of the current keymap.
While IBus runs, its engines are the input sources ("ibus:libpinyin",
"ibus:xkb:us::eng"; a rule for "xkb:de" selects IBus's German engine): "velmora
sources" lists the configured ones, "velmora sources --all" every engine IBus has.

Only one agent runs per user and display; starting a second one says so and
exits, and the running agent shows its settings (with --autostart it exits
quietly, showing nothing). SIGINT and SIGTERM end the agent after saving its settings.

Rules live in $XDG_CONFIG_HOME/velmora/com.quorvant.Quorvant-Velmora.plist
(~/.config when XDG_CONFIG_HOME is unset). "rules" and "rule" work without a
display, also while the agent runs: it reads the file again when it changes.

Exit status: 0 on success, 1 when the agent lost its display or failed, when
rules, sources or apps find a settings file they cannot read, or when rule
refuses an input source ID or could not save the file, 2 for a wrong command line or a display that cannot
be reached.
)text";
}

} // namespace velmora::program
