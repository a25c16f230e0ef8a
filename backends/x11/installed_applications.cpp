// SPDX-License-Identifier: MIT
#include "installed_applications.h"

#include <system_error>

namespace velmora::x11 {

namespace fs = std::filesystem;

namespace {

bool isDesktopFilePath(const std::string& path) {
    return path.ends_with(".desktop");
}

bool isSmallRegularFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error) &&
           fs::file_size(path, error) <= InstalledApplications::kMaxIconFileBytes && !error;
}

} // namespace

InstalledApplications::InstalledApplications(Images& icons) : icons_(icons) {}

std::optional<std::string> InstalledApplications::desktopFileForId(const std::string& id) {
    if (id.empty())
        return std::nullopt;
    if (!scanned_ || index_.isStale()) {
        index_ = DesktopEntryIndex::scan(applicationDirectories());
        scanned_ = true;
    }
    const DesktopEntry* entry = index_.findById(id);
    if (!entry)
        return std::nullopt;
    return entry->path;
}

ImagePtr InstalledApplications::iconForDesktopFile(const std::string& path) {
    if (!isDesktopFilePath(path))
        return nullptr;
    std::error_code error;
    const auto stamp = fs::last_write_time(path, error);
    if (error)
        return nullptr;
    if (auto kept = keptIcons_.find(path); kept != keptIcons_.end() && kept->second.stamp == stamp)
        return kept->second.icon;
    auto entry = readDesktopEntry(path);
    ImagePtr icon;
    if (entry && entry->icon && !entry->icon->empty()) {
        const std::string& name = *entry->icon;
        if (name.front() != '/')
            icon = icons_.imageWithIconRef(name);
        else if (isSmallRegularFile(name)) // never a pipe or a device that would not end
            icon = icons_.imageWithContentsOfURL(name);
    }
    if (keptIcons_.size() >= kMaxKeptIcons)
        keptIcons_.clear();
    keptIcons_[path] = KeptIcon{stamp, icon};
    return icon;
}

std::optional<std::string>
InstalledApplications::displayNameOfDesktopFile(const std::string& path) {
    if (!isDesktopFilePath(path))
        return std::nullopt;
    auto entry = readDesktopEntry(path);
    if (!entry)
        return std::nullopt;
    std::string name = localizedName(*entry, messagesLocale());
    if (name.empty())
        return std::nullopt;
    return name;
}

} // namespace velmora::x11
