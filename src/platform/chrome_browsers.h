// SPDX-License-Identifier: MIT
#pragma once
// Which applications the address-bar switch takes for Google Chrome and the browsers built
// like it (the same toolbar, so the same band), as the desktop names them.

#include <optional>
#include <string>
#include <vector>

namespace velmora {

struct ChromeBrowsers {
    // Identifiers of the frontmost application, each compared whole.
    std::vector<std::string> identifiers{"com.google.Chrome"};
    // What the owner name of the browser's windows begins with in the window list. None: the
    // frontmost application's own name, for desktops where that name follows the language
    // or the channel of the browser.
    std::optional<std::string> ownerNamePrefix{"Google Chrome"};
};

} // namespace velmora
