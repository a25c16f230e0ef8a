// SPDX-License-Identifier: MIT
#include "engine/address_bar_switch.h"

#include "platform/window_list.h"

#include <algorithm>
#include <limits>

namespace velmora {

namespace {
// Single precision, as the band is measured; beyond its range a value saturates.
float toFloat(double value) {
    constexpr double highest = std::numeric_limits<float>::max();
    if (value != value)
        return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>(std::clamp(value, -highest, highest));
}
} // namespace

void AddressBarSwitch::check(const Event& mouseUp) {
    const std::string front = dispatcher_.frontAppNameID();
    if (front == kSafariAddressBar.bundleIdentifier)
        checkSafari(mouseUp);
    else if (isChrome(front))
        checkChrome(mouseUp);
}

bool AddressBarSwitch::isChrome(const std::string& bundleIdentifier) const {
    return std::find(chrome_.identifiers.begin(), chrome_.identifiers.end(), bundleIdentifier) !=
           chrome_.identifiers.end();
}

void AddressBarSwitch::checkSafari(const Event& mouseUp) {
    textCursorOfMouseUp.store(false);
    bool sawTextCursor = false;
    for (int i = 0; i < kSafariCursorTests; ++i) {
        if (isTextCursor()) {
            sawTextCursor = true;
            textCursorOfMouseUp.store(true);
            break;
        }
        runLoop_.sleep(kSafariCursorTestInterval);
    }
    // What this job saw, not the shared flag: another job may have changed that meanwhile.
    application_.log(sawTextCursor ? "1" : "0");
    if (sawTextCursor)
        selectIfInBand(mouseUp, kSafariAddressBar, kSafariAddressBar.ownerNamePrefix);
}

void AddressBarSwitch::checkChrome(const Event& mouseUp) {
    if (!isTextCursor())
        return;
    // Where the owner name depends on the language, the front application's name is the one
    // its windows carry in the list.
    selectIfInBand(mouseUp, kChromeAddressBar,
                   chrome_.ownerNamePrefix ? *chrome_.ownerNamePrefix : dispatcher_.frontAppName());
}

float AddressBarSwitch::clickOffsetBelowWindowTop(const Event& mouseUp,
                                                  const std::string& ownerNamePrefix) {
    float windowTop = 0.0f;
    if (hooks_.getFrameOfFirstWindow) {
        if (auto bounds = hooks_.getFrameOfFirstWindow(ownerNamePrefix)) {
            auto y = bounds->find("Y");
            if (y != bounds->end())
                windowTop = toFloat(y->second.number().value_or(0.0));
        }
    }
    // The event's location has its origin at the bottom left, window bounds at the top left.
    // Both share the top edge of the screen at the origin, so its height flips one into the
    // other; the key window's screen would be off by the difference when heights differ.
    auto screen = screens_.originScreen();
    const double screenHeight = screen ? screen->frame.size.height : 0.0;
    const float clickFromTop = toFloat(screenHeight - mouseUp.locationInScreen.y);
    return clickFromTop - windowTop;
}

void AddressBarSwitch::selectIfInBand(const Event& mouseUp, const BrowserAddressBar& browser,
                                      const std::string& ownerNamePrefix) {
    const float offset = clickOffsetBelowWindowTop(mouseUp, ownerNamePrefix);
    if (!(offset > browser.bandTop && offset < browser.bandBottom))
        return;
    // No comparison with the current source: a click in the bar selects ABC every time.
    runLoop_.dispatchAsyncMain([this, reset = browser.resetAfterSelecting] {
        selection_.changeInputTo(kAddressBarInputSourceID);
        if (reset && hooks_.reset)
            hooks_.reset();
    });
}

PlistArray withContentBounds(PlistArray snapshot) {
    for (PlistValue& entry : snapshot) {
        PlistDictionary* window = entry.dictionary();
        if (!window)
            continue;
        auto content = window->find(kVelmoraWindowContentBounds);
        if (content == window->end() || !content->second.dictionary())
            continue;
        PlistValue bounds = content->second;
        (*window)[kWindowBoundsKey] = std::move(bounds);
    }
    return snapshot;
}

} // namespace velmora
