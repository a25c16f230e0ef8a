// SPDX-License-Identifier: MIT
#pragma once
// The [Desktop Entry] group of a desktop file, read without trusting the file.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::util {

// A bigger file is not read at all. Real desktop files stay far below it: the ones with a
// name, comment and keywords in every language of a large desktop take some tens of KiB.
inline constexpr std::size_t kMaxDesktopFileBytes = 64 * 1024;

// Keys of the group as they stand in the file (values not unescaped). A key given twice keeps
// its first value, as a second group of the same name adds nothing.
using DesktopEntryKeys = std::map<std::string, std::string, std::less<>>;

// None when TEXT is not UTF-8 (or holds a NUL) or has no [Desktop Entry] group.
std::optional<DesktopEntryKeys> parseDesktopEntry(std::string_view text);

// The file at PATH, following a symlink: none when it is not a regular file, cannot be read,
// is bigger than kMaxDesktopFileBytes, or does not parse. Never blocks on a pipe.
std::optional<DesktopEntryKeys> readDesktopEntry(const std::string& path);

// The bytes of the file at PATH, read as readDesktopEntry reads them (none where it gives
// none, except that they are not parsed).
std::optional<std::string> readDesktopFileText(const std::string& path);

} // namespace velmora::util
