// SPDX-License-Identifier: MIT
#pragma once
// Installed applications on Linux: an application is installed when a desktop file with its
// id is in the XDG data folders ($XDG_DATA_HOME, $XDG_DATA_DIRS; earlier folders hide later
// ones). The desktop file stands for the application bundle: its path is the bundle path,
// its Name the display name, its Icon (from the icon theme, or an image file) the icon.
// Main thread only.

#include "desktop_entries.h"

#include "platform/images.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace velmora::x11 {

class InstalledApplications {
  public:
    // ICONS makes the images of icons. The folders are read at the first question, and again
    // when one of them changed.
    explicit InstalledApplications(Images& icons);
    InstalledApplications(const InstalledApplications&) = delete;
    InstalledApplications& operator=(const InstalledApplications&) = delete;

    // The path of the desktop file with the id ID; none when there is none.
    std::optional<std::string> desktopFileForId(const std::string& id);
    // The icon of the application whose desktop file is at PATH; nullptr when PATH is no
    // desktop file, it names no icon, or the icon cannot be found (an image file must be a
    // regular file of at most kMaxIconFileBytes). Kept per file while the file is unchanged.
    ImagePtr iconForDesktopFile(const std::string& path);
    // The Name of the desktop file at PATH in the messages locale; none when PATH is no
    // desktop file or the file has no Name.
    std::optional<std::string> displayNameOfDesktopFile(const std::string& path);

    // Icons kept at most; a full store starts again.
    static constexpr std::size_t kMaxKeptIcons = 256;
    // Icon files larger than this are not read.
    static constexpr std::uintmax_t kMaxIconFileBytes = 8 << 20;

  private:
    struct KeptIcon {
        std::filesystem::file_time_type stamp;
        ImagePtr icon;
    };

    Images& icons_;
    DesktopEntryIndex index_;
    bool scanned_ = false;
    std::map<std::string, KeptIcon> keptIcons_;
};

} // namespace velmora::x11
