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

// The text of the entry that starts PROGRAM, with DESKTOP_ID's icon.
std::string autostartEntryText(std::string_view program, std::string_view desktopId);

} // namespace velmora::xdg
