// SPDX-License-Identifier: MIT
#include "wayland_app_identities.h"

#include "platform/application.h"

#include <unistd.h>

namespace velmora::program {

WaylandAppIdentities::WaylandAppIdentities() : locale_(x11::messagesLocale()) {}

RunningApplication WaylandAppIdentities::identify(const sway::WindowIdentity& window) {
    // An app id is what GTK's application id is on X11: the desktop-file id where the
    // application follows the convention; else it is matched as a class is.
    x11::WindowIdentityHints hints;
    hints.gtkApplicationId = window.appId;
    hints.wmClassClass = window.appId ? window.appId : window.windowClass;
    hints.ownWindow = window.pid == ::getpid();
    hints.fallbackKey = std::to_string(window.pid);
    if (!scanned_) {
        desktop_ = x11::DesktopEntryIndex::scan(x11::applicationDirectories());
        scanned_ = true;
    }
    x11::AppIdentity identity = x11::resolveIdentity(hints, desktop_, locale_);
    if (!identity.desktopFilePath && !hints.ownWindow && hints.wmClassClass && desktop_.isStale()) {
        desktop_ = x11::DesktopEntryIndex::scan(x11::applicationDirectories()); // installed since
        identity = x11::resolveIdentity(hints, desktop_, locale_);
    }
    RunningApplication application;
    application.bundleIdentifier = identity.bundleIdentifier;
    application.localizedName = identity.localizedName;
    application.bundlePath = identity.desktopFilePath;
    application.activationPolicy = identity.bundleIdentifier == kOwnBundleIdentifier
                                       ? ActivationPolicy::Accessory
                                       : ActivationPolicy::Regular;
    return application;
}

} // namespace velmora::program
