// SPDX-License-Identifier: MIT
#include "bundle_property_lists.h"

#include "store/plist_conversion.h"
#include "store/settings_file_io.h"
#include "x11/installed_applications.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace velmora::program {

namespace {

constexpr std::string_view kInfoPlistSuffix = "/Contents/Info.plist";

} // namespace

std::string windowClassPath(std::string_view windowClass) {
    if (windowClass.empty() || windowClass.size() > kMaxWindowClassBytes ||
        windowClass.find('\0') != std::string_view::npos)
        return {};
    return std::string(kWindowClassPathPrefix) + std::string(windowClass);
}

std::optional<ApplicationDescription>
BundlePropertyLists::describeApplication(const std::string& path) {
    auto info = dictionaryWithContentsOfFile(path + std::string(kInfoPlistSuffix));
    if (!info)
        return std::nullopt;
    auto identifier = info->find("CFBundleIdentifier");
    if (identifier == info->end() || !identifier->second.string() ||
        identifier->second.string()->empty())
        return std::nullopt;
    auto name = info->find("CFBundleName");
    return ApplicationDescription{
        *identifier->second.string(),
        name != info->end() && name->second.string() ? *name->second.string() : std::string()};
}

std::optional<PlistDictionary>
BundlePropertyLists::dictionaryWithContentsOfFile(const std::string& path) {
    if (path.ends_with(kInfoPlistSuffix)) {
        const std::string bundle = path.substr(0, path.size() - kInfoPlistSuffix.size());
        if (bundle.starts_with(kWindowClassPathPrefix)) {
            const std::string windowClass = bundle.substr(kWindowClassPathPrefix.size());
            if (windowClassPath(windowClass).empty())
                return std::nullopt;
            return PlistDictionary{{"CFBundleIdentifier", PlistValue(windowClass)},
                                   {"CFBundleName", PlistValue(windowClass)}};
        }
        std::error_code error;
        if (bundle.ends_with(".desktop") && std::filesystem::is_regular_file(bundle, error))
            return x11::desktopFileBundleInfo(bundle, x11::applicationDirectories());
    }
    std::error_code notThere;
    if (!std::filesystem::is_regular_file(path, notThere))
        return std::nullopt; // a pipe or a device would never end
    const store::FileStamp stamp = store::stampOf(path);
    if (!stamp.exists() || stamp.size < 0 || static_cast<std::uintmax_t>(stamp.size) > kMaxBytes)
        return std::nullopt;
    const store::FileContents contents = store::readWholeFile(path);
    if (!contents.error.empty() || contents.bytes.size() > kMaxBytes)
        return std::nullopt;
    std::string unparsed;
    auto domain = store::parseDomain(contents.bytes, &unparsed);
    if (!domain)
        return std::nullopt;
    return std::move(domain->values);
}

} // namespace velmora::program
