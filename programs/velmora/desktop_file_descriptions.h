// SPDX-License-Identifier: MIT
#pragma once
// What the rule editor learns of an application the user adds, from the path the chooser or
// the file dialog gave:
// - a desktop file: its desktop-file id, and its Name in the messages locale (may be empty);
// - "window-class:CLASS" (windowClassPath), a running application without a desktop file:
//   CLASS for both, CLASS being the WM_CLASS class its windows are known by;
// - a folder holding "Contents/Info.plist", which the file dialog lets the user choose as an
//   application: what that property list (XML or binary) says;
// anything else describes nothing.

#include "platform/application_descriptions.h"
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

class DesktopFileDescriptions final : public ApplicationDescriptions {
  public:
    // A folder's property list larger than this is not read.
    static constexpr std::uintmax_t kMaxInfoBytes = 4 << 20;

    std::optional<ApplicationDescription> describeApplication(const std::string& path) override;
};

} // namespace velmora::program
