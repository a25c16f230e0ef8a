// SPDX-License-Identifier: MIT
#pragma once
// One autostart entry: the program it starts, and the entry that starts this program.

#include <optional>
#include <string>
#include <string_view>

namespace velmora::xdg {

// The program the autostart file at PATH starts (see resolveProgram). None for a file that
// cannot be read as a desktop entry, is hidden (Hidden=true: the user switched it off, and a
// program that only finds its own entries must leave such a file alone), is no Application, or
// whose Exec does not resolve.
std::optional<std::string> resolveAutostartEntry(const std::string& path,
                                                 std::optional<std::string_view> pathVariable);

// The text of the entry that starts PROGRAM with ARGUMENT (none when empty; a plain word that
// needs no quoting), with DESKTOP_ID's icon.
std::string autostartEntryText(std::string_view program, std::string_view desktopId,
                               std::string_view argument = {});

// TEXT with ARGUMENT added at the end of the [Desktop Entry] group's Exec line, when that line
// does not have it among its words already. None when nothing is to change: ARGUMENT is there,
// or the group has no Exec.
std::optional<std::string> withExecArgument(std::string_view text, std::string_view argument);

} // namespace velmora::xdg
