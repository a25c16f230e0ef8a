// SPDX-License-Identifier: MIT
#pragma once
// Where IBus's own bus is. IBus runs a bus of its own beside the session bus and writes its
// address into a file of the user's configuration folder, one per display:
// $XDG_CONFIG_HOME/ibus/bus/MACHINE-ID-HOST-DISPLAYNUMBER (HOST "unix" for a local display;
// under Wayland MACHINE-ID-unix-WAYLAND_DISPLAY),
// as lines "IBUS_ADDRESS=..." and "IBUS_DAEMON_PID=...". IBUS_ADDRESS in the environment
// overrides the file. The file is read as untrusted: bounded, never blocking.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::ibus {

// Longer addresses are refused: a D-Bus address is a socket path and a GUID.
inline constexpr std::size_t kMaxAddressLength = 1024;

// The folder IBus writes its address files into, under CONFIGHOME.
std::string addressFolder(const std::string& configHome);

// The address file's name for the machine MACHINEID and the X display DISPLAY (":1",
// "host:0.0"), or the Wayland display WAYLAND (which IBus prefers when it is set): none when
// neither names a display.
std::optional<std::string> addressFileName(std::string_view machineId, std::string_view display,
                                           std::string_view wayland);

// The IBUS_ADDRESS line of the file TEXT; none when there is none or it is empty or too long.
std::optional<std::string> addressInFileText(std::string_view text);

// The address file of this process's display; none when IBUS_ADDRESS is set (no file is read
// then) or no display or machine id is known.
std::optional<std::string> currentAddressFile();

// The address clients of this process's display use: $IBUS_ADDRESS, else the file's. None
// when neither gives one.
std::optional<std::string> currentAddress();

// The folder whose changes may bring a new address: the address files' folder.
std::string currentAddressFolder();

// The paths whose changes may bring a new address: FOLDER, or while it does not exist the
// nearest folder above it, and FILE once it exists. IBus makes the folders and writes the file
// at any moment, so each path is given to WATCH before what lies below it is looked for: a
// folder or file made meanwhile is then either found here or told of by the watch. (Looking
// first and watching after missed a folder made in between, and with it every later address.)
std::vector<std::string> addressWatchPaths(const std::string& folder,
                                           const std::optional<std::string>& file,
                                           const std::function<void(const std::string&)>& watch);

} // namespace velmora::ibus
