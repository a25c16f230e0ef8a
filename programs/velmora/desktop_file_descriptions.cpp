// SPDX-License-Identifier: MIT
#include "desktop_file_descriptions.h"

#include "store/plist_conversion.h"
#include "store/settings_file_io.h"
#include "x11/desktop_entries.h"

#include <filesystem>
#include <system_error>

namespace velmora::program {

namespace {

std::optional<ApplicationDescription> describeDesktopFile(const std::string& path) {
    auto id = x11::desktopIdOf(path, x11::applicationDirectories());
    if (!id)
        return std::nullopt;
    auto entry = x11::readDesktopEntry(path);
    if (!entry)
        return std::nullopt;
    return ApplicationDescription{*id, x11::localizedName(*entry, x11::messagesLocale())};
}

std::optional<ApplicationDescription> describeWindowClass(std::string_view windowClass) {
    if (windowClassPath(windowClass).empty())
        return std::nullopt;
    return ApplicationDescription{std::string(windowClass), std::string(windowClass)};
}

// FOLDER's "Contents/Info.plist": its CFBundleIdentifier (a string, not empty) and its
// CFBundleName (empty unless a string).
std::optional<ApplicationDescription> describeInfoPlistFolder(const std::string& folder) {
    const std::string path = folder + "/Contents/Info.plist";
    std::error_code notThere;
    if (!std::filesystem::is_regular_file(path, notThere))
        return std::nullopt; // a pipe or a device would never end
    const store::FileStamp stamp = store::stampOf(path);
    if (!stamp.exists() || stamp.size < 0 ||
        static_cast<std::uintmax_t>(stamp.size) > DesktopFileDescriptions::kMaxInfoBytes)
        return std::nullopt;
    const store::FileContents contents = store::readWholeFile(path);
    if (!contents.error.empty() || contents.bytes.size() > DesktopFileDescriptions::kMaxInfoBytes)
        return std::nullopt;
    std::string unparsed;
    auto info = store::parseDomain(contents.bytes, &unparsed);
    if (!info)
        return std::nullopt;
    auto identifier = info->values.find("CFBundleIdentifier");
    if (identifier == info->values.end() || !identifier->second.string() ||
        identifier->second.string()->empty())
        return std::nullopt;
    auto name = info->values.find("CFBundleName");
    return ApplicationDescription{*identifier->second.string(),
                                  name != info->values.end() && name->second.string()
                                      ? *name->second.string()
                                      : std::string()};
}

} // namespace

std::string windowClassPath(std::string_view windowClass) {
    if (windowClass.empty() || windowClass.size() > kMaxWindowClassBytes ||
        windowClass.find('\0') != std::string_view::npos)
        return {};
    return std::string(kWindowClassPathPrefix) + std::string(windowClass);
}

std::optional<ApplicationDescription>
DesktopFileDescriptions::describeApplication(const std::string& path) {
    if (path.starts_with(kWindowClassPathPrefix))
        return describeWindowClass(std::string_view(path).substr(kWindowClassPathPrefix.size()));
    std::error_code error;
    if (path.ends_with(".desktop") && std::filesystem::is_regular_file(path, error))
        return describeDesktopFile(path);
    return describeInfoPlistFolder(path);
}

} // namespace velmora::program
