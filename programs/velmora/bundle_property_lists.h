// SPDX-License-Identifier: MIT
#pragma once
// What the rule editor learns of an application the user adds: the chosen item described as
// its "Contents/Info.plist" reads. On Linux the chosen item is usually a desktop file,
// which stands for an application bundle: ".../foo.desktop/Contents/Info.plist" reads as
// {"CFBundleIdentifier": the desktop-file id, "CFBundleName": its Name}. Any other path is
// read as the property list it is (XML or binary), as a real bundle's Info.plist would be.
// A running application without a desktop file is chosen as "window-class:CLASS"
// (windowClassPath): its "Contents/Info.plist" reads as {"CFBundleIdentifier": CLASS,
// "CFBundleName": CLASS}, CLASS being the WM_CLASS class its windows are known by.

#include "platform/application_descriptions.h"
#include "platform/property_list.h"
#include "x11/x11_workspace.h"

#include <string>
#include <string_view>

namespace velmora::program {

// The same path the workspace gives such an application, so its name and icon are found too.
inline constexpr std::string_view kWindowClassPathPrefix =
    x11::X11Workspace::kWindowClassPathPrefix;
// Window classes longer than this are no classes the chooser offers.
inline constexpr std::size_t kMaxWindowClassBytes = 1024;

// The path that stands for the application whose windows have the class WINDOWCLASS; empty
// for an empty class, one longer than kMaxWindowClassBytes or one holding a NUL.
std::string windowClassPath(std::string_view windowClass);

class BundlePropertyLists final : public ApplicationDescriptions {
  public:
    // Property lists larger than this are not read.
    static constexpr std::uintmax_t kMaxBytes = 4 << 20;

    // A chosen desktop file or window class, as the Info.plist of its stand-in bundle reads;
    // any other folder by its own "Contents/Info.plist".
    std::optional<ApplicationDescription> describeApplication(const std::string& path) override;
    std::optional<PlistDictionary> dictionaryWithContentsOfFile(const std::string& path);
};

} // namespace velmora::program
