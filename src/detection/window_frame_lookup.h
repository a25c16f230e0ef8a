// SPDX-License-Identifier: MIT
#pragma once
// Which window the indicator should sit at: the first window of an application in the
// on-screen window list, and the follow check that moves the indicator to the front
// application's window.

#include "engine/activation_dispatcher.h"
#include "engine/settings.h"
#include "platform/property_list.h"
#include "platform/window_list.h"

#include <functional>
#include <optional>
#include <string>

namespace velmora {

// The bounds of the first entry, front to back, whose owner name begins with PREFIX, whose
// title is not the empty string (a window without a title passes) and which is on screen.
// None when there is no such entry, when that entry has no bounds, or when PREFIX is empty
// (an empty name identifies no application).
std::optional<PlistDictionary> getFrameOfFirstWindow(const PlistArray& snapshot,
                                                     const std::string& prefix);
std::optional<PlistDictionary> getFrameOfFirstWindow(WindowList& windows,
                                                     const std::string& prefix);

// The same walk for an owner name that must match NAME exactly, on layer 0 (an ordinary
// application window). An empty NAME finds nothing.
std::optional<PlistDictionary> getFrameOfFirstWindowNamed(const PlistArray& snapshot,
                                                          const std::string& name);

class WindowFrameLookup {
  public:
    // What the follow check asks of the rest of the agent. An empty function is skipped.
    struct Hooks {
        std::function<bool()> launcherPanelOpen; // the indicator stays at an open panel
        std::function<void()> adjustIconView;    // places the indicator at firstWindowFrame
    };

    WindowFrameLookup(Settings& settings, WindowList& windows, ActivationDispatcher& dispatcher,
                      Hooks hooks)
        : settings_(settings), windows_(windows), dispatcher_(dispatcher),
          hooks_(std::move(hooks)) {}

    // The first ordinary window whose owner is exactly NAME, from a fresh snapshot.
    std::optional<PlistDictionary> getFrameOfFirstWindow(const std::string& name);
    // Moves the indicator to the front application's first window when "followWindow" is on,
    // no launcher panel is open and the front application is not this program.
    void checkFollowWindow();

    // The rectangle the indicator is placed at (top-left origin); none reads as zeros.
    std::optional<PlistDictionary> firstWindowFrame;

  private:
    Settings& settings_;
    WindowList& windows_;
    ActivationDispatcher& dispatcher_;
    Hooks hooks_;
};

} // namespace velmora
