// SPDX-License-Identifier: MIT
#pragma once
// Google Chrome and Chromium as the X11 agent identifies them: by desktop-file id where the
// browser's desktop file is installed, by WM_CLASS class where it is not (see
// app_identity.h). Rules stay keyed by these identities; only the address-bar switch needs to
// know that they are all one kind of browser.

#include "platform/chrome_browsers.h"

namespace velmora::x11 {

inline ChromeBrowsers chromeBrowsers() {
    return ChromeBrowsers{
        .identifiers =
            {
                // Desktop-file ids: Chrome's channels, Chromium as distributions and Flatpak
                // ship it.
                "google-chrome",
                "google-chrome-beta",
                "google-chrome-unstable",
                "google-chrome-canary",
                "com.google.Chrome",
                "com.google.ChromeDev",
                "chromium",
                "chromium-browser",
                "org.chromium.Chromium",
                // WM_CLASS classes, without a desktop file.
                "Google-chrome",
                "Google-chrome-beta",
                "Google-chrome-unstable",
                "Google-chrome-canary",
                "Chromium",
                "Chromium-browser",
                "chromium-browser",
            },
        // Window owners carry the application's name, which is the desktop file's Name in the
        // user's language ("Chromium-Webbrowser", "Navegador web Chromium").
        .ownerNamePrefix = std::nullopt,
    };
}

} // namespace velmora::x11
