// SPDX-License-Identifier: MIT
#pragma once
// A click into the address bar of Safari or Google Chrome selects the ABC layout, so that
// addresses and searches are typed in Latin letters whatever the browser's rule says. The
// click is recognised without looking into the browser: right after a left mouse-up the
// browser is in front, the pointer shows the text cursor, and the click lies in a band of
// fixed height just below the top edge of the browser's front window.
//
// The check runs on a background queue, one job per mouse-up; jobs of quick clicks overlap.

#include "engine/activation_dispatcher.h"
#include "engine/input_source_selection.h"
#include "platform/application.h"
#include "platform/chrome_browsers.h"
#include "platform/event_monitor.h"
#include "platform/property_list.h"
#include "platform/run_loop.h"
#include "platform/screens.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>

namespace velmora {

// One browser: how it is recognised and where its address bar lies (points below the
// window's top edge, both bounds exclusive). Chrome's names are the defaults of
// ChromeBrowsers; a desktop may name it otherwise.
struct BrowserAddressBar {
    const char* bundleIdentifier;
    const char* ownerNamePrefix;
    float bandTop;
    float bandBottom;
    bool resetAfterSelecting;
};

inline constexpr BrowserAddressBar kSafariAddressBar{"com.apple.Safari", "Safari", 10.0f, 30.0f,
                                                     false};
// Chrome's toolbar is taller.
inline constexpr BrowserAddressBar kChromeAddressBar{"com.google.Chrome", "Google Chrome", 45.0f,
                                                     75.0f, true};
// Safari shows the text cursor a moment after the click, so it is waited for, up to about
// 200 ms. Chrome shows it at once and gets a single test.
inline constexpr int kSafariCursorTests = 20;
inline constexpr Milliseconds kSafariCursorTestInterval{10};

inline constexpr const char* kAddressBarInputSourceID = "com.apple.keylayout.ABC";

class AddressBarSwitch {
  public:
    // What the check asks of the rest of the agent. Each may be called from the background
    // queue. An empty function answers none / false.
    struct Hooks {
        // Bounds of the first window whose owner name begins with the prefix.
        std::function<std::optional<PlistDictionary>(const std::string& prefix)>
            getFrameOfFirstWindow;
        std::function<bool()> isTextCursor;
        std::function<void()> reset; // main thread only
    };

    AddressBarSwitch(ActivationDispatcher& dispatcher, InputSourceSelection& selection,
                     Screens& screens, RunLoop& runLoop, Application& application, Hooks hooks,
                     ChromeBrowsers chrome = {})
        : dispatcher_(dispatcher), selection_(selection), screens_(screens), runLoop_(runLoop),
          application_(application), hooks_(std::move(hooks)), chrome_(std::move(chrome)) {}
    AddressBarSwitch(const AddressBarSwitch&) = delete;
    AddressBarSwitch& operator=(const AddressBarSwitch&) = delete;

    // The check for one left mouse-up. Runs on the background queue; hands any selection to
    // the main queue.
    void check(const Event& mouseUp);

    // How far below the browser window's top edge the click lies, in points. The window's
    // top is 0 without a window, the screen's height 0 without a main screen.
    float clickOffsetBelowWindowTop(const Event& mouseUp, const std::string& ownerNamePrefix);

    // Whether the text cursor was seen after the latest Safari mouse-up. Overlapping jobs share
    // it, so no job decides by it: each decides on what it saw itself.
    std::atomic<bool> textCursorOfMouseUp{false};

  private:
    void checkSafari(const Event& mouseUp);
    void checkChrome(const Event& mouseUp);
    bool isTextCursor() { return hooks_.isTextCursor && hooks_.isTextCursor(); }
    bool isChrome(const std::string& bundleIdentifier) const;
    void selectIfInBand(const Event& mouseUp, const BrowserAddressBar& browser,
                        const std::string& ownerNamePrefix);

    ActivationDispatcher& dispatcher_;
    InputSourceSelection& selection_;
    Screens& screens_;
    RunLoop& runLoop_;
    Application& application_;
    Hooks hooks_;
    const ChromeBrowsers chrome_;
};

// The window list as the band is measured on it: each window's bounds are the part its
// application draws, where the list tells that part apart. A title bar or a shadow margin
// around a browser is no part of the toolbar.
PlistArray withContentBounds(PlistArray snapshot);

} // namespace velmora
